#include "app/Pictures.h"
#include "app/core/DesktopIntegration.h"
#include "app/frmMain.h"
#include "support/ScriptedDialogs.h"
#include "support/StoreTest.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

namespace zelkar::test {
namespace {

using desktop::Integrate;
using desktop::Refresh;

QByteArray Read(const QString& file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool Write(const QString& file, const QByteArray& content) {
  QFile f(file);
  return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

QString Packaging(const QString& name) { return QStringLiteral(ZELKAR_SOURCE_DIR "/packaging/") + name; }

class DesktopTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    Pictures::ProgramIcon();  // registers the resources the icon is taken from
  }
  QString data(const char* relative) const { return path(QStringLiteral("home/.local/share/")) + QLatin1String(relative); }
  QString package() const { return data(desktop::kMimePackageFile); }
  QString entry() const { return data(desktop::kDesktopEntryFile); }
  QString icon() const { return data(desktop::kIconFile); }

  // Sets a file's time far back, so that a rewrite shows.
  static void Age(const QString& file) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(kLongAgo, QFileDevice::FileModificationTime));
  }
  static QDateTime Modified(const QString& file) { return QFileInfo(file).lastModified(); }
  static inline const QDateTime kLongAgo = QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5));
};

TEST_F(DesktopTest, WritesTheFileTypeTheEntryAndTheIconAsTheInstallationHasThem) {
  const QString exe = QStringLiteral("/opt/My Tools/zelkar");
  const desktop::Outcome outcome = Integrate(exe, Refresh::Wait);
  EXPECT_TRUE(outcome.mimePackageWritten);
  EXPECT_TRUE(outcome.desktopEntryWritten);
  EXPECT_TRUE(outcome.iconWritten);

  EXPECT_EQ(Read(package()), Read(Packaging(QStringLiteral("zelkar-mime.xml"))));
  QFile resource(QString::fromLatin1(desktop::kIconResource));
  ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
  EXPECT_EQ(Read(icon()), resource.readAll());

  // The entry is the installed one but for the running program's commands.
  const QString written = QString::fromUtf8(Read(entry()));
  EXPECT_TRUE(written.contains(QStringLiteral("\nTryExec=/opt/My Tools/zelkar\nExec=\"/opt/My Tools/zelkar\" %f\n")));
  EXPECT_TRUE(written.contains(QStringLiteral("[Desktop Action Load]\nName=Load Keywords\nExec=\"/opt/My Tools/zelkar\" %f\n")));
  EXPECT_TRUE(written.endsWith(QStringLiteral("[Desktop Action Import]\nName=Import Keywords\nExec=\"/opt/My Tools/zelkar\" %f -I\n")));
  QString generic = written;
  generic.remove(QStringLiteral("TryExec=/opt/My Tools/zelkar\n"));
  generic.replace(QStringLiteral("\"/opt/My Tools/zelkar\""), QStringLiteral("zelkar"));
  EXPECT_EQ(generic, QString::fromUtf8(Read(Packaging(QStringLiteral("example.orbrin.zelkar.desktop")))));

  const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
  if (!validator.isEmpty()) {
    QProcess check;
    check.start(validator, {entry()});
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().constData();
  }
}

TEST_F(DesktopTest, ExecQuotesWhatTheDesktopWouldOtherwiseSplitOrExpand) {
  using desktop::ExecArgument;
  EXPECT_EQ(ExecArgument(QStringLiteral("/usr/bin/zelkar")), QStringLiteral("/usr/bin/zelkar"));
  EXPECT_EQ(ExecArgument(QStringLiteral("/opt/100%/zelkar")), QStringLiteral("/opt/100%%/zelkar"));
  EXPECT_EQ(ExecArgument(QStringLiteral("/a b/z")), QStringLiteral("\"/a b/z\""));
  EXPECT_EQ(ExecArgument(QStringLiteral("/a'b/z")), QStringLiteral("\"/a'b/z\""));
  EXPECT_EQ(ExecArgument(QStringLiteral("/$HOME/\"x\"/`y`/z\\w")),
            QStringLiteral("\"/\\$HOME/\\\"x\\\"/\\`y\\`/z\\\\w\""));
  // In the file the backslashes are doubled once more by the value's own escapes.
  const QString entry = QString::fromUtf8(desktop::DesktopEntry(QStringLiteral("/a\\b c/z")));
  EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=\"/a\\\\\\\\b c/z\" %f\n"))) << entry.toStdString();
  EXPECT_TRUE(entry.contains(QStringLiteral("\nTryExec=/a\\\\b c/z\n"))) << entry.toStdString();
}

// What a double click does: the desktop starts the entry's command with the
// file. A program whose path holds blanks, quotes and a dollar gets exactly the
// file's path as its one argument.
TEST_F(DesktopTest, TheDesktopStartsTheRunningProgramWithTheFilesPath) {
  const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
  if (gio.isEmpty()) GTEST_SKIP() << "gio is not installed";
  const QString folder = path(QStringLiteral("it's a $folder \"here\""));
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString program = folder + QStringLiteral("/zelkar (1)");
  const QString seen = path(QStringLiteral("arguments.txt"));
  ASSERT_TRUE(Write(program, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$ZELKAR_SEEN\"\n"));
  QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  Integrate(program, Refresh::Wait);

  const QString backup = path(QStringLiteral("my keywords.zkb"));
  ASSERT_TRUE(Write(backup, "[Zelkar]\n"));
  QProcess launch;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("ZELKAR_SEEN"), seen);
  launch.setProcessEnvironment(env);
  launch.start(gio, {QStringLiteral("launch"), entry(), backup});
  ASSERT_TRUE(launch.waitForFinished(30000));
  ASSERT_EQ(launch.exitCode(), 0) << launch.readAllStandardError().constData();
  for (int i = 0; i < 200 && Read(seen).isEmpty(); ++i) QThread::msleep(25);
  EXPECT_EQ(QString::fromUtf8(Read(seen)), backup + QLatin1Char('\n'));
}

TEST_F(DesktopTest, RewritesOnlyWhatIsStale) {
  const QString exe = QStringLiteral("/usr/bin/zelkar");
  Integrate(exe, Refresh::Wait);
  for (const QString& file : {package(), entry(), icon()}) Age(file);

  // A second start finds everything fresh: nothing is written, no cache rebuilt.
  desktop::Outcome again = Integrate(exe, Refresh::Wait);
  EXPECT_FALSE(again.mimePackageWritten || again.desktopEntryWritten || again.iconWritten);
  EXPECT_TRUE(again.toolsStarted.isEmpty()) << again.toolsStarted.join(QLatin1Char(' ')).toStdString();
  for (const QString& file : {package(), entry(), icon()}) EXPECT_EQ(Modified(file), kLongAgo) << file.toStdString();

  // The program moved, and a damaged package: those two are rewritten.
  ASSERT_TRUE(Write(package(), "<?xml"));
  const desktop::Outcome moved = Integrate(QStringLiteral("/opt/zelkar/zelkar"), Refresh::Wait);
  EXPECT_TRUE(moved.mimePackageWritten);
  EXPECT_TRUE(moved.desktopEntryWritten);
  EXPECT_FALSE(moved.iconWritten);
  EXPECT_EQ(Modified(icon()), kLongAgo);
  EXPECT_EQ(Read(package()), desktop::MimePackage());
  EXPECT_TRUE(Read(entry()).contains("\nExec=/opt/zelkar/zelkar %f -I\n"));
  for (const QString& tool : {QStringLiteral("update-mime-database"), QStringLiteral("update-desktop-database")}) {
    if (!QStandardPaths::findExecutable(tool).isEmpty()) {
      EXPECT_TRUE(moved.toolsStarted.contains(tool)) << tool.toStdString();
    }
  }
}

TEST_F(DesktopTest, AnUnwritableDataFolderChangesNothingAndFailsNothing) {
  // A file where the folders should be: no permission bits help past that.
  ASSERT_TRUE(Write(path(QStringLiteral("blocked")), "x"));
  qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("blocked/share"))));
  const desktop::Outcome outcome = Integrate(QStringLiteral("/usr/bin/zelkar"), Refresh::Wait);
  EXPECT_FALSE(outcome.mimePackageWritten || outcome.desktopEntryWritten || outcome.iconWritten);
  EXPECT_TRUE(outcome.toolsStarted.isEmpty());
  EXPECT_EQ(Read(path(QStringLiteral("blocked"))), QByteArray("x"));
}

TEST_F(DesktopTest, AfterOneRunTheDesktopNamesTheBackupType) {
  const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
  if (xdgMime.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty())
    GTEST_SKIP() << "xdg-mime or update-mime-database is not installed";
  // xdg-mime asks gio on GNOME and mimetype elsewhere; without either it
  // guesses from the content alone and never reads the desktop's database.
  QProcessEnvironment env;
  env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
  env.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
  if (!QStandardPaths::findExecutable(QStringLiteral("mimetype")).isEmpty()) {
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("X-Generic"));
  } else if (!QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty()) {
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
  } else {
    GTEST_SKIP() << "xdg-mime has neither mimetype nor gio to read the database with";
  }

  Integrate(QStringLiteral("/usr/bin/zelkar"), Refresh::Wait);
  ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("system"))));
  env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("home/.local/share")));
  env.insert(QStringLiteral("XDG_DATA_DIRS"), path(QStringLiteral("system")));
  const QString backup = path(QStringLiteral("x.zkb"));
  ASSERT_TRUE(Write(backup, "[Zelkar]\nVersion=1.8\n"));
  QProcess query;
  query.setProcessEnvironment(env);
  query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("filetype"), backup});
  ASSERT_TRUE(query.waitForFinished(30000));
  EXPECT_EQ(QString::fromUtf8(query.readAllStandardOutput()).trimmed(), QStringLiteral("application/x-zelkar-backup"))
      << query.readAllStandardError().constData();
}

// A desktop without the cache programs still gets the files; the window's load
// goes on as ever.
TEST_F(DesktopTest, TheWindowsLoadTeachesTheDesktopTheTypeEvenWithoutCachePrograms) {
  const QByteArray savedPath = qgetenv("PATH");
  ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("bare"))));
  qputenv("PATH", QFile::encodeName(path(QStringLiteral("bare"))));
  ScriptedDialogs dialogs;
  frmMain form;
  form.Form_Load();
  qputenv("PATH", savedPath);
  EXPECT_FALSE(QFile::exists(data("mime/mime.cache")));
  const QByteArray written = Read(entry());
  EXPECT_TRUE(written.contains(
      ("\nExec=" + desktop::ExecArgument(QCoreApplication::applicationFilePath()) + " %f -I\n").toUtf8()));
  EXPECT_EQ(Read(package()), desktop::MimePackage());
}

}  // namespace
}  // namespace zelkar::test
