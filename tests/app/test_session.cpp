// Zelkar in the user's session: one instance per user that nobody else can
// block, later starts that hand their file to it, and the files written for
// the desktop at every start.
#include "app/Pictures.h"
#include "app/SingleInstance.h"
#include "app/core/DesktopIntegration.h"
#include "app/modMain.h"
#include "support/BackupTest.h"
#include "store/FileReplace.h"

#include <QElapsedTimer>
#include <QProcess>

#include <future>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelkar::test {
namespace {

// Sets an environment variable for the scope (an empty value unsets it).
class Env {
 public:
  Env(const char* name, const QString& value) : name_(name), saved_(qgetenv(name)) {
    value.isEmpty() ? qunsetenv(name) : qputenv(name, QFile::encodeName(value));
  }
  ~Env() { saved_.isNull() ? qunsetenv(name_) : qputenv(name_, saved_); }
  Env(const Env&) = delete;
  Env& operator=(const Env&) = delete;

 private:
  const char* name_;
  QByteArray saved_;
};

bool IsPrivateFolder(const QString& folder) {
  struct stat st {};
  return ::lstat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
         st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

unsigned Mode(const QString& file) {
  struct stat st {};
  return ::lstat(QFile::encodeName(file).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

QStringList NamesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

class SessionTest : public BackupTest {
 protected:
  void SetUp() override {
    BackupTest::SetUp();
    const QString run = path(QStringLiteral("run"));
    ASSERT_TRUE(QDir().mkpath(run));
    ASSERT_EQ(::chmod(QFile::encodeName(run).constData(), 0700), 0);
    runtime_ = std::make_unique<Env>("XDG_RUNTIME_DIR", run);
    // What start-up registers for the backup file type.
    modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\.zkb\\", "Zelkar.File", 0);
    modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\Zelkar.File\\", "Zelkar Backup File", 0);
    backup = Sample("windows-crlf.zkb", "my backup.zkb");
    Pictures::ProgramIcon();  // registers the resources the desktop's icon is taken from
  }
  void TearDown() override {
    runtime_.reset();
    BackupTest::TearDown();
  }
  QString data(const char* relative) const { return path(QStringLiteral("home/.local/share/")) + QLatin1String(relative); }
  QString socketName() const { return SingleInstance::ServerNameFor(path(QStringLiteral("registry"))); }

  QString backup;

 private:
  std::unique_ptr<Env> runtime_;
};

TEST_F(SessionTest, WithoutARuntimeFolderNoSquatterBlocksTheStart) {
  const Env noRuntime("XDG_RUNTIME_DIR", QString());
  const QString user = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
  const QString bait = path(QStringLiteral("bait"));
  ASSERT_TRUE(QDir().mkpath(bait));
  ASSERT_EQ(::chmod(QFile::encodeName(bait).constData(), 0777), 0);
  const QString cwd = path(QStringLiteral("cwd"));
  ASSERT_TRUE(QDir().mkpath(cwd));
  const QString previous = QDir::currentPath();
  QDir::setCurrent(cwd);

  enum Squat { Nothing, PlainFile, LinkToBait, OpenFolder, OthersFolder };
  for (const Squat squat : {Nothing, PlainFile, LinkToBait, OpenFolder, OthersFolder}) {
    SCOPED_TRACE(int(squat));
    if (squat == OthersFolder && ::geteuid() != 0) continue;  // only the superuser can give a folder away
    const QString tmp = path(QStringLiteral("tmp%1").arg(int(squat)));
    ASSERT_TRUE(QDir().mkpath(tmp));
    const Env temporary("TMPDIR", tmp);
    // The names a start would try in the temporary folder, taken first.
    for (const QString& name : {QStringLiteral("zelkar-%1").arg(::geteuid()), QStringLiteral("runtime-") + user}) {
      const QByteArray at = QFile::encodeName(QDir(tmp).filePath(name));
      bool planted = true;
      if (squat == PlainFile) planted = QFile(QFile::decodeName(at)).open(QIODevice::WriteOnly);
      if (squat == LinkToBait) planted = ::symlink(QFile::encodeName(bait).constData(), at.constData()) == 0;
      if (squat == OpenFolder || squat == OthersFolder)
        planted = ::mkdir(at.constData(), 0777) == 0 && ::chmod(at.constData(), 0777) == 0;
      if (squat == OthersFolder) planted = planted && ::chown(at.constData(), 65534, 65534) == 0;
      ASSERT_TRUE(planted) << at.constData();
    }

    const QString name = socketName();
    ASSERT_FALSE(name.isEmpty());
    EXPECT_TRUE(IsPrivateFolder(QFileInfo(name).path())) << qPrintable(name);
    SingleInstance first(name);
    EXPECT_TRUE(first.claim());
    EXPECT_TRUE(first.isFirst());
    EXPECT_FALSE(SingleInstance(socketName()).claim());
    EXPECT_EQ(NamesIn(cwd), QStringList());
    EXPECT_EQ(NamesIn(bait), QStringList());
  }
  QDir::setCurrent(previous);
}

TEST_F(SessionTest, TheRunningWindowActsOnAHandedOverCommandLineAsAtItsStart) {
  SingleInstance first(socketName());
  ASSERT_TRUE(first.claim());
  auto handOver = [this](const QString& commandLine) {
    auto sent = std::async(std::launch::async, [name = socketName(), commandLine] {
      return SingleInstance(name).handOver(commandLine);
    });
    QElapsedTimer clock;
    clock.start();
    while (sent.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready && clock.elapsed() < 10000)
      QCoreApplication::processEvents();
    const bool taken = sent.get();
    QCoreApplication::processEvents();  // the window acts once the sender is answered
    return taken;
  };

  ScriptedDialogs dialogs;
  EXPECT_FALSE(handOver(backup));  // no window takes it yet: the second start says so itself
  first.setCommandLineHandler(&modMain::TakeCommandLine);
  EXPECT_FALSE(handOver(backup));

  Put("keep.exe", "/usr/bin/keep");
  const std::unique_ptr<frmMain> form = Window();
  form->showMinimized();
  ExpectLoadQuestion(dialogs, backup, answer::Yes);
  EXPECT_TRUE(handOver(backup));
  EXPECT_FALSE(form->isMinimized());
  EXPECT_EQ(Registered().size(), 3u);
  EXPECT_EQ(Registered().count("keep.exe"), 0u);

  Put("keep.exe", "/usr/bin/keep");
  dialogs.expectBox("Import?", "Import keywords from '" + backup + "'?", answer::Yes, kAsk);
  EXPECT_TRUE(handOver(backup + " -I"));
  EXPECT_EQ(Registered().size(), 4u);

  // The desktop entry's Import action from a dock passes no file.
  dialogs.expectOpen(std::nullopt);
  EXPECT_TRUE(handOver(QStringLiteral("-I")));
  ASSERT_EQ(dialogs.dialogs().size(), 1u);
  EXPECT_EQ(dialogs.dialogs()[0].request.title, "Import keywords from backup file");
  EXPECT_EQ(dialogs.boxes().size(), 2u);
}

TEST_F(SessionTest, ASecondProgramWithAFileHandsItOverAndEndsAtOnce) {
  QProcess running;
  ASSERT_TRUE(StartRunningProgram(running, socketName(), dir()));

  // A box in the second program would wait for a click that never comes.
  for (const QStringList& args : {QStringList{backup}, QStringList{QStringLiteral("-I")}}) {
    SCOPED_TRACE(qPrintable(args.join(' ')));
    QProcess second;
    second.start(QStringLiteral(ZELKAR_BINARY), args);
    const bool ended = second.waitForFinished(10000);
    if (!ended) second.kill();
    second.waitForFinished();
    EXPECT_TRUE(ended);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(running.state(), QProcess::Running);
  }
  running.kill();
  running.waitForFinished();
}

TEST_F(SessionTest, StartFilesAreRenamedIntoPlaceWithFixedModesNeverWrittenThroughLinks) {
  const QString exe = QStringLiteral("/opt/zelkar/zelkar");
  const char* const written[] = {desktop::kDesktopEntryFile, desktop::kMimePackageFile, desktop::kIconFile};
  const mode_t umask = ::umask(0);
  desktop::Integrate(exe, desktop::Refresh::Wait);
  for (const char* file : written) {
    SCOPED_TRACE(file);
    EXPECT_TRUE(files::IsPlainFile(data(file), 0644));
    for (QString folder = QFileInfo(data(file)).path(); folder != path(QStringLiteral("home/.local/share"));
         folder = QFileInfo(folder).path())
      EXPECT_EQ(Mode(folder), 0755u) << qPrintable(folder);
  }

  // Links planted in their place: one to somebody's file, one dangling.
  const QString victim = Write("victim", "keep me");
  const QString nowhere = path(QStringLiteral("elsewhere/created"));
  ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("elsewhere"))));
  for (const char* file : written) {
    const QByteArray content = Bytes(data(file));
    ASSERT_TRUE(QFile::remove(data(file)));
    ASSERT_TRUE(QFile::link(file == written[1] ? nowhere : victim, data(file)));
    desktop::Integrate(exe, desktop::Refresh::Wait);
    SCOPED_TRACE(file);
    EXPECT_TRUE(files::IsPlainFile(data(file), 0644));
    EXPECT_EQ(Bytes(data(file)), content);
  }
  ::umask(umask);
  EXPECT_EQ(Bytes(victim), "keep me");
  EXPECT_FALSE(QFileInfo::exists(nowhere));
}

TEST_F(SessionTest, AnInstalledEntryThatStartsTheRunningProgramIsNotHidden) {
  const QString bin = path(QStringLiteral("sys bin"));
  const QString exe = Write("sys bin/zelkar", "#!/bin/sh\n");
  ASSERT_EQ(::chmod(QFile::encodeName(exe).constData(), 0755), 0);
  const QString other = path(QStringLiteral("build/zelkar"));
  const Env dataDirs("XDG_DATA_DIRS", path(QStringLiteral("sys")));
  const Env programs("PATH", bin + QLatin1Char(':') + qEnvironmentVariable("PATH"));
  const QString installed = QStringLiteral("sys/") + QLatin1String(desktop::kDesktopEntryFile);
  const QString own = data(desktop::kDesktopEntryFile);
  const QString ownRelative = QStringLiteral("home/.local/share/") + QLatin1String(desktop::kDesktopEntryFile);

  for (const QString& exec : {QStringLiteral("zelkar %f"), desktop::ExecArgument(exe) + QStringLiteral(" %f")}) {
    SCOPED_TRACE(qPrintable(exec));
    Write(installed, "[Desktop Entry]\nType=Application\nName=Zelkar\nExec=" + exec.toUtf8() + "\n");
    // Another build of the program has its own entry; the installed one does not.
    desktop::Outcome outcome = desktop::Integrate(other, desktop::Refresh::Wait);
    EXPECT_TRUE(QFileInfo::exists(own));
    outcome = desktop::Integrate(exe, desktop::Refresh::Wait);
    EXPECT_TRUE(outcome.desktopEntryRemoved);
    EXPECT_FALSE(outcome.desktopEntryWritten);
    EXPECT_FALSE(QFileInfo::exists(own));
    // An entry the user wrote is left alone.
    Write(ownRelative, "[Desktop Entry]\nName=My Zelkar\n");
    outcome = desktop::Integrate(exe, desktop::Refresh::Wait);
    EXPECT_FALSE(outcome.desktopEntryRemoved || outcome.desktopEntryWritten);
    EXPECT_EQ(Bytes(own), "[Desktop Entry]\nName=My Zelkar\n");
    QFile::remove(own);
  }
  EXPECT_TRUE(desktop::DesktopEntry(exe).contains("\nStartupWMClass=Zelkar\n"));
}

}  // namespace
}  // namespace zelkar::test
