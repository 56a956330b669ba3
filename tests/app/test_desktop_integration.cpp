// The files written for the desktop at every start: the backup file type, the
// desktop entry and the icon.
#include "app/Pictures.h"
#include "app/core/DesktopIntegration.h"
#include "store/FileReplace.h"
#include "support/WindowTest.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>

namespace zelkar::test {
namespace {

using desktop::Integrate;
using desktop::Refresh;

QString Packaging(const QString& name) { return QStringLiteral(ZELKAR_SOURCE_DIR "/packaging/") + name; }

// Sets an environment variable for the scope.
struct Env {
  Env(const char* name, const QString& value) : name(name), saved(qgetenv(name)) {
    qputenv(name, QFile::encodeName(value));
  }
  ~Env() { saved.isNull() ? qunsetenv(name) : qputenv(name, saved); }
  const char* name;
  QByteArray saved;
};

class DesktopTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Pictures::ProgramIcon();  // registers the resources the icon is taken from
  }
  QString data(const char* relative) const { return path("home/.local/share/") + QLatin1String(relative); }
  QString package() const { return data(desktop::kMimePackageFile); }
  QString entry() const { return data(desktop::kDesktopEntryFile); }
  QString icon() const { return data(desktop::kIconFile); }
  static inline const QDateTime kLongAgo = QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5));
};

// Renamed into place with fixed modes whatever the umask, never written
// through a link planted in their place; the commands quoted for the desktop.
TEST_F(DesktopTest, WritesTheFileTypeTheEntryAndTheIconAsTheInstallationHasThem) {
  const QString exe = QStringLiteral("/opt/My Tools/zelkar");
  const mode_t umask = ::umask(0);
  const desktop::Outcome outcome = Integrate(exe, Refresh::Wait);
  EXPECT_TRUE(outcome.mimePackageWritten && outcome.desktopEntryWritten && outcome.iconWritten);
  EXPECT_EQ(ReadFile(package()), ReadFile(Packaging(QStringLiteral("zelkar-mime.xml"))));
  EXPECT_EQ(ReadFile(icon()), ReadFile(QString::fromLatin1(desktop::kIconResource)));
  // The entry is the installed one but for the running program's commands.
  const QString written = QString::fromUtf8(ReadFile(entry()));
  QString generic = written;
  generic.remove(QStringLiteral("TryExec=/opt/My Tools/zelkar\n"));
  generic.replace(QStringLiteral("\"/opt/My Tools/zelkar\""), QStringLiteral("zelkar"));
  EXPECT_EQ(generic, QString::fromUtf8(ReadFile(Packaging(QStringLiteral("example.orbrin.zelkar.desktop")))));
  const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
  EXPECT_TRUE(validator.isEmpty() || RunProgram(validator, {entry()}).code == 0);

  const QString victim = MakeFile("victim", "keep me");
  const QString nowhere = path(QStringLiteral("elsewhere/created"));
  ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("elsewhere"))));
  for (const QString& file : {package(), entry(), icon()}) {
    SCOPED_TRACE(qPrintable(file));
    for (QString folder = QFileInfo(file).path(); folder != path("home/.local/share");
         folder = QFileInfo(folder).path())
      EXPECT_EQ(QFile::permissions(folder) & 0x7077, 0x7055) << qPrintable(folder);  // 0755
    // Links planted in their place: one to somebody's file, one dangling.
    const QByteArray content = ReadFile(file);
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QFile::link(file == entry() ? nowhere : victim, file));
    Integrate(exe, Refresh::Wait);
    EXPECT_TRUE(files::IsPlainFile(file, 0644));
    EXPECT_EQ(ReadFile(file), content);
  }
  ::umask(umask);
  EXPECT_EQ(ReadFile(victim), "keep me");
  EXPECT_FALSE(QFileInfo::exists(nowhere));

  // Exec quotes what the desktop would otherwise split or expand (a plain path: below).
  EXPECT_EQ(desktop::ExecArgument("/opt/100%/zelkar"), "/opt/100%%/zelkar");
  EXPECT_EQ(desktop::ExecArgument("/$HOME/\"x\"/`y`/z\\w"), "\"/\\$HOME/\\\"x\\\"/\\`y\\`/z\\\\w\"");
  // In the file the backslashes are doubled once more by the value's own escapes.
  const QString quoted = QString::fromUtf8(desktop::DesktopEntry(QStringLiteral("/a\\b c/z")));
  EXPECT_TRUE(quoted.contains("\nExec=\"/a\\\\\\\\b c/z\" %f\n")) << quoted.toStdString();
}

// The window's load writes the files, also on a desktop without the cache
// programs; later starts rewrite only what is stale, and nothing where they cannot.
TEST_F(DesktopTest, TheLoadWritesTheFilesAndLaterStartsOnlyWhatIsStale) {
  ASSERT_TRUE(QDir().mkpath(path("bare")));
  {
    const Env bare("PATH", path("bare"));
    ScriptedDialogs dialogs;
    frmMain().Form_Load();
  }
  EXPECT_FALSE(QFile::exists(data("mime/mime.cache")));
  const QString exe = QCoreApplication::applicationFilePath();
  EXPECT_TRUE(ReadFile(entry()).contains(("\nExec=" + desktop::ExecArgument(exe) + " %f -I\n").toUtf8()));
  for (const QString& file : {package(), entry(), icon()}) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.setFileTime(kLongAgo, QFileDevice::FileModificationTime));
  }
  Integrate(exe, Refresh::Wait);  // builds the caches the bare desktop could not
  // The next start finds everything fresh: nothing is written, no cache rebuilt.
  const desktop::Outcome again = Integrate(exe, Refresh::Wait);
  EXPECT_FALSE(again.mimePackageWritten || again.desktopEntryWritten || again.iconWritten);
  EXPECT_TRUE(again.toolsStarted.isEmpty()) << again.toolsStarted.join(QLatin1Char(' ')).toStdString();

  // The program moved, and a damaged package: those two are rewritten.
  WriteFile(package(), "<?xml");
  const desktop::Outcome moved = Integrate(QStringLiteral("/opt/zelkar/zelkar"), Refresh::Wait);
  EXPECT_TRUE(moved.mimePackageWritten && moved.desktopEntryWritten);
  EXPECT_FALSE(moved.iconWritten);
  EXPECT_EQ(ReadFile(package()), desktop::MimePackage());
  EXPECT_TRUE(ReadFile(entry()).contains("\nExec=/opt/zelkar/zelkar %f -I\n"));
  const QString tool = QStringLiteral("update-desktop-database");
  EXPECT_TRUE(QStandardPaths::findExecutable(tool).isEmpty() || moved.toolsStarted.contains(tool));

  // A file where the folders should be: no permission bits help past that.
  const QString blocked = MakeFile("blocked", "x");
  const Env dataHome("XDG_DATA_HOME", blocked + QStringLiteral("/share"));
  const desktop::Outcome outcome = Integrate(exe, Refresh::Wait);
  EXPECT_FALSE(outcome.mimePackageWritten || outcome.desktopEntryWritten || outcome.iconWritten);
  EXPECT_TRUE(outcome.toolsStarted.isEmpty());
  EXPECT_EQ(ReadFile(blocked), "x");
}

TEST_F(DesktopTest, AnInstalledEntryThatStartsTheRunningProgramIsNotHidden) {
  ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("sys bin"))));
  const QString exe = MakeScript("sys bin/zelkar");
  const Env dataDirs("XDG_DATA_DIRS", path(QStringLiteral("sys")));
  const Env programs("PATH", path(QStringLiteral("sys bin")) + QLatin1Char(':') + qEnvironmentVariable("PATH"));
  const QString installed = path(QStringLiteral("sys/")) + QLatin1String(desktop::kDesktopEntryFile);
  ASSERT_TRUE(QDir().mkpath(QFileInfo(installed).path()));
  for (const QString& exec : {QStringLiteral("zelkar %f"), desktop::ExecArgument(exe) + QStringLiteral(" %f")}) {
    SCOPED_TRACE(qPrintable(exec));
    WriteFile(installed, "[Desktop Entry]\nType=Application\nName=Zelkar\nExec=" + exec.toUtf8() + "\n");
    // Another build of the program has its own entry; the installed one does not.
    Integrate(path(QStringLiteral("build/zelkar")), Refresh::Wait);
    EXPECT_TRUE(QFileInfo::exists(entry()));
    desktop::Outcome outcome = Integrate(exe, Refresh::Wait);
    EXPECT_TRUE(outcome.desktopEntryRemoved && !outcome.desktopEntryWritten);
    EXPECT_FALSE(QFileInfo::exists(entry()));
    // An entry the user wrote is left alone.
    WriteFile(entry(), "[Desktop Entry]\nName=My Zelkar\n");
    outcome = Integrate(exe, Refresh::Wait);
    EXPECT_FALSE(outcome.desktopEntryRemoved || outcome.desktopEntryWritten);
    EXPECT_EQ(ReadFile(entry()), "[Desktop Entry]\nName=My Zelkar\n");
    QFile::remove(entry());
  }
}

}  // namespace
}  // namespace zelkar::test
