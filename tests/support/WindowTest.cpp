#include "support/WindowTest.h"

#include "launch/modShellExe.h"
#include "shell/TrayIcon.h"
#include "shell/frmAbout.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QThread>
#include <QUrl>

namespace zelkar::test {

void WindowTest::TearDown() {
  TrayIcon::setAvailableForTests(-1);
  frmAbout::setProgramFolderForTests(QString());
  if (!savedTheme_.isNull()) {
    QIcon::setThemeSearchPaths(savedThemePaths_);
    QIcon::setThemeName(savedTheme_);
  }
  StoreTest::TearDown();
}

std::unique_ptr<frmMain> WindowTest::Window() {
  auto form = std::make_unique<frmMain>();
  form->show();
  form->LoadTVW(false);
  return form;
}

int WindowTest::Node(const frmMain& f, const QString& text) {
  for (int i = 2; i <= f.tvw->Count(); i += 2)
    if (f.tvw->Text(i) == text) return i;
  return 0;
}

QString WindowTest::MakeScript(const QString& name, const QByteArray& body) {
  const QString file = MakeFile(name, "#!/bin/sh\n" + body);
  QFile::setPermissions(file, QFile::permissions(file) | QFile::ExeOwner);
  return file;
}

QString WindowTest::MakeRecorder(const QString& name) {
  return MakeScript(name, "printf '%s\\0' \"$0\" \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.argv\"\n");
}

QStringList WindowTest::ArgsOf(const QString& recorder, int waitMs) {
  QFile file(recorder + QStringLiteral(".argv"));
  const QDeadlineTimer deadline(waitMs);
  while (!file.exists() && !deadline.hasExpired()) QThread::msleep(20);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QStringList words = QString::fromUtf8(file.readAll()).split(QChar(u'\0'));
  words.removeLast();  // after the last terminator
  file.remove();
  return words;
}

std::unique_ptr<QMimeData> WindowTest::FileList(const QStringList& files) {
  auto data = std::make_unique<QMimeData>();
  QList<QUrl> urls;
  for (const QString& f : files) urls.append(QUrl::fromLocalFile(f));
  data->setUrls(urls);
  return data;
}

bool WindowTest::Drop(QWidget* target, const QMimeData* data) {
  QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDragMoveEvent move(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &move);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return true;
}

std::int32_t WindowTest::Run(const QString& text, bool showErrors) {
  return modShellExe::ExecuteFile(text, showErrors, 10, QString(), QString(), QStringLiteral("open"), 0);
}

std::string WindowTest::Recorded() const {
  QStringList lines;
  for (const LaunchRequest& r : backend.requests())
    lines << (r.kind == LaunchRequest::Open ? "open " + r.urlText()
                                            : "start " + (QStringList{r.program} + r.arguments).join(u'|'));
  return lines.isEmpty() ? "none" : lines.join(u'\n').toStdString();
}

std::string WindowTest::Launch(const QString& text) {
  backend.clear();
  const std::int32_t result = Run(text);
  return (result > 32 ? "" : "failed ") + Recorded();
}

void WindowTest::UseIconTheme(const std::vector<std::pair<QString, QColor>>& icons) {
  savedThemePaths_ = QIcon::themeSearchPaths();
  savedTheme_ = QIcon::themeName();
  const QString root = path(QStringLiteral("icons/zelkartest"));
  QString dirs, sections;
  for (const auto& [file, colour] : icons) {
    const QString sub = QFileInfo(file).path();
    ASSERT_TRUE(QDir().mkpath(root + u'/' + sub));
    if (!dirs.split(u',').contains(sub)) {
      dirs += (dirs.isEmpty() ? "" : ",") + sub;
      sections += "[" + sub + "]\nSize=16\nType=Fixed\n";
    }
    QImage square(16, 16, QImage::Format_ARGB32);
    square.fill(colour);
    ASSERT_TRUE(square.save(root + u'/' + file + QStringLiteral(".png")));
  }
  WriteFile(root + QStringLiteral("/index.theme"),
            ("[Icon Theme]\nName=zelkartest\nDirectories=" + dirs + "\n" + sections).toUtf8());
  QIcon::setThemeSearchPaths({path(QStringLiteral("icons"))});
  QIcon::setThemeName(QStringLiteral("zelkartest"));
}

}  // namespace zelkar::test
