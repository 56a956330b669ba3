#include "app/frmMain.h"

#include "list/TreeView.h"
#include "list/modICO.h"
#include "store/Keywords.h"
#include "store/PathHelpers.h"
#include "store/modRegEdit.h"

#include <QProgressBar>

#include <exception>

namespace zelkar {
namespace {

const QString kListedKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\");
const QString kListedFull =
    QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\");

// Keeps the tree from repainting while it is rebuilt.
class FrozenTree {
 public:
  explicit FrozenTree(TreeView& tree) : tree_(tree), wasEnabled_(tree.updatesEnabled()) {
    tree_.setUpdatesEnabled(false);
  }
  ~FrozenTree() { tree_.setUpdatesEnabled(wasEnabled_); }
  FrozenTree(const FrozenTree&) = delete;
  FrozenTree& operator=(const FrozenTree&) = delete;

 private:
  TreeView& tree_;
  bool wasEnabled_;
};

QString ImageOfKind(TargetKind kind) {
  switch (kind) {
    case TargetKind::Broken:
      return QStringLiteral("uk");
    case TargetKind::InternetAddress:
      return QStringLiteral("url");
    case TargetKind::Directory:
    case TargetKind::File:
      break;
  }
  return QStringLiteral("fld");
}

}  // namespace

void frmMain::LoadTVW(bool KillEmptyKeys) {
  // Marks live only in the tree: the user may keep them by cancelling.
  if (RegisterKeyWords() == 2) return;
  if (ExportKeywords() == 2) return;

  {
    const FrozenTree frozen(*tvw);
    QStringList keys;
    try {
      tvw->Clear();
      tvw->Add(0, 0, QStringLiteral("Run Keywords"), QStringLiteral("key"));
      for (int i = imlTVW->Count(); i >= 1; --i)
        if (imlTVW->Key(i).toLower().startsWith(QLatin1String("tmp"))) imlTVW->Remove(i);
      // Icons are looked up afresh at each load, so that a changed program shows its new one.
      imlTVW->ClearTypePictures();
      keys = modRegEdit::EnumKeys(store::Hive::LocalMachine, kListedKey);
    } catch (const std::exception&) {
      keys.clear();
    }

    pb->setRange(0, static_cast<int>(keys.size()) - 1);
    pb->setValue(0);
    pb->setVisible(true);
    for (int i = 0; i < keys.size(); ++i) {
      const QString& k = keys.at(i);
      try {
        const QString full = kListedFull + k + QLatin1Char('\\');
        QString t = modRegEdit::RegReadValue(full);
        if (t.isEmpty()) {
          if (KillEmptyKeys) modRegEdit::DeleteKey(store::Hive::LocalMachine, kListedKey + k + QLatin1Char('\\'));
          continue;
        }
        t = ClearQuotes(k, t);
        if (FixVarPath(k, t)) t = modRegEdit::RegReadValue(full);

        const TargetKind kind = KindOfTarget(t);
        QString image = ImageOfKind(kind);
        if (kind == TargetKind::File) {
          const QString key = QStringLiteral("tmp") + QString::number(i);
          modICO::AddFileIcon(*imlTVW, t, key);
          if (imlTVW->Contains(key)) image = key;
        }
        // The target as stored: on this platform its letter case is part of it.
        const QString shown = modMain::FileProperty(t, modMain::property::LongPath);
        // The keyword node and its target node go in together or not at all.
        const int keyword = tvw->Add(1, tvwChild, k.toLower(), image);
        if (keyword != 0 && tvw->Add(keyword, tvwChild, shown, QStringLiteral("path")) == 0) tvw->Remove(keyword);
      } catch (const std::exception&) {
        // This entry is left out; the others are listed.
      }
      pb->setValue(i);
    }
    pb->setVisible(false);
  }

  SetCaption();
  tvw->Select(1);
  txtExe_Change();
}

void frmMain::SetCaption() {
  const int count = KeywordCount();
  setWindowTitle(QStringLiteral("Zelkar - ") + QString::number(count) +
                 (count == 1 ? QStringLiteral(" Keyword") : QStringLiteral(" Keywords")));
  setAccessibleName(windowTitle());  // a screen reader says the count as well
}

int frmMain::KeywordCount() const { return (tvw->Count() - 1) / 2; }

}  // namespace zelkar
