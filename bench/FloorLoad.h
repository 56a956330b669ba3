#pragma once

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QIcon>
#include <QMainWindow>
#include <QMimeDatabase>
#include <QStyle>
#include <QTreeWidget>

#include <sqlite3.h>
#include <sys/stat.h>

// The least work a tree load can do, to measure the program's load against:
// one query over the store file, a stat of each target, and the tree's rows
// with icons from a per-type cache.
class FloorLoad {
 public:
  explicit FloorLoad(const QString& storeFile) {
    sqlite3_open_v2(QFile::encodeName(storeFile).constData(), &db_, SQLITE_OPEN_READONLY, nullptr);
  }
  ~FloorLoad() { sqlite3_close(db_); }
  FloorLoad(const FloorLoad&) = delete;
  FloorLoad& operator=(const FloorLoad&) = delete;

  // Fills the tree; returns the number of keywords.
  int Load(QTreeWidget& tree) {
    tree.setUpdatesEnabled(false);
    tree.clear();
    icons_.clear();
    auto* root = new QTreeWidgetItem(&tree, QStringList(QStringLiteral("Run Keywords")));
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db_,
                       "SELECT c.name, v.data FROM regkey p JOIN regkey c ON c.parent = p.id "
                       "LEFT JOIN regvalue v ON v.key = c.id AND v.folded = '' "
                       "WHERE p.path = 'software\\microsoft\\windows\\currentversion\\app paths' ORDER BY c.folded",
                       -1, &query, nullptr);
    int count = 0;
    while (sqlite3_step(query) == SQLITE_ROW) {
      const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query, 0)),
                                             sqlite3_column_bytes(query, 0));
      const auto* data = static_cast<const char*>(sqlite3_column_blob(query, 1));
      const QString target = QString::fromUtf8(data, qstrnlen(data, sqlite3_column_bytes(query, 1)));
      if (target.isEmpty()) continue;
      struct stat info {};
      const bool file = ::stat(QFile::encodeName(target).constData(), &info) == 0 && S_ISREG(info.st_mode);
      auto* keyword = new QTreeWidgetItem(QStringList(name.toLower()));
      keyword->setIcon(0, file ? FileIcon(target) : folder_);
      keyword->addChild(new QTreeWidgetItem(QStringList(target)));
      root->addChild(keyword);
      ++count;
    }
    sqlite3_finalize(query);
    tree.setUpdatesEnabled(true);
    return count;
  }

 private:
  QIcon FileIcon(const QString& path) {
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString suffix = dot < 0 ? QString() : name.mid(dot + 1);
    auto it = icons_.find(suffix);
    if (it == icons_.end()) {
      const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("x.") + suffix,
                                                             QMimeDatabase::MatchExtension);
      QIcon icon = QIcon::fromTheme(type.iconName(), QApplication::style()->standardIcon(QStyle::SP_FileIcon));
      it = icons_.insert(suffix, QIcon(icon.pixmap(16, 16)));
    }
    return *it;
  }

  sqlite3* db_ = nullptr;
  QHash<QString, QIcon> icons_;
  QIcon folder_ = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
};

// The floor's window: a plain tree filling a window of the program's size.
inline QTreeWidget* FloorWindow(QMainWindow& window) {
  auto* tree = new QTreeWidget(&window);
  tree->setHeaderHidden(true);
  tree->setUniformRowHeights(true);
  window.setCentralWidget(tree);
  window.resize(506, 330);
  return tree;
}
