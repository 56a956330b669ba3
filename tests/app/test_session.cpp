// Zelkar in the user's session: one instance per user and store that nobody
// else can block, and later starts that hand their file to it or bring it to
// the front.
#include "app/SingleInstance.h"
#include "app/modMain.h"
#include "shell/TrayIcon.h"
#include "support/BackupTest.h"

#include <QDeadlineTimer>
#include <QProcess>

#include <future>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelkar::test {
namespace {

// Runs `work` in another thread while this one, the first instance, keeps answering.
template <class Work>
auto WhileAnswering(Work work) {
  auto done = std::async(std::launch::async, work);
  const QDeadlineTimer deadline(10000);
  while (done.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready && !deadline.hasExpired())
    QCoreApplication::processEvents();
  auto result = done.get();
  QCoreApplication::processEvents();  // the window acts once the sender is answered
  return result;
}

class SessionTest : public BackupTest {
 protected:
  // Sockets go to a private runtime folder of the test's own.
  void SetUp() override {
    BackupTest::SetUp();
    ASSERT_EQ(::mkdir(QFile::encodeName(path("run")).constData(), 0700), 0);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path("run")));
  }
  void TearDown() override {
    savedRuntime_.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", savedRuntime_);
    BackupTest::TearDown();
  }
  QString socketName() const { return SingleInstance::ServerNameFor(path(QStringLiteral("registry"))); }

 private:
  const QByteArray savedRuntime_ = qgetenv("XDG_RUNTIME_DIR");
};

TEST_F(SessionTest, OneInstancePerStoreWhoeverLeftOrSquatsItsSocket) {
  ASSERT_TRUE(QFile(socketName()).open(QIODevice::WriteOnly));  // left by an instance that vanished
  EXPECT_TRUE(socketName().startsWith(path(QStringLiteral("run/"))));
  SingleInstance first(socketName());
  EXPECT_TRUE(first.claim());
  EXPECT_TRUE(SingleInstance(SingleInstance::ServerNameFor(path(QStringLiteral("other")))).claim());

  // Without a runtime folder, the names a start would try in the temporary
  // folder, taken first: in a private folder of its own all the same.
  qunsetenv("XDG_RUNTIME_DIR");
  const QString user = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
  const QString bait = path(QStringLiteral("bait"));
  ASSERT_TRUE(QDir().mkpath(bait) && QDir().mkpath(path("cwd")));
  ASSERT_EQ(::chmod(QFile::encodeName(bait).constData(), 0777), 0);
  const CurrentFolder inCwd(path("cwd"));
  enum Squat { Nothing, PlainFile, LinkToBait, OpenFolder, OthersFolder };
  for (const Squat squat : {Nothing, PlainFile, LinkToBait, OpenFolder, OthersFolder}) {
    SCOPED_TRACE(int(squat));
    if (squat == OthersFolder && ::geteuid() != 0) continue;  // only the superuser can give a folder away
    const QString tmp = path(QStringLiteral("tmp%1").arg(int(squat)));
    ASSERT_TRUE(QDir().mkpath(tmp));
    qputenv("TMPDIR", QFile::encodeName(tmp));
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
    struct stat folder {};
    ASSERT_EQ(::lstat(QFile::encodeName(QFileInfo(socketName()).path()).constData(), &folder), 0);
    EXPECT_TRUE(S_ISDIR(folder.st_mode) && folder.st_uid == ::geteuid() && (folder.st_mode & 077) == 0);
    SingleInstance instance(socketName());
    EXPECT_TRUE(instance.claim());
    EXPECT_TRUE(instance.isFirst());
    EXPECT_FALSE(SingleInstance(socketName()).claim());
    for (const QString& untouched : {path("cwd"), bait})
      EXPECT_EQ(QDir(untouched).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                QStringList());
  }
}

// A second start without a file: the first comes to the front, and only when
// it cannot does the second say so a second time.
TEST_F(SessionTest, ASecondStartBringsTheFirstToTheFrontOrSaysItCannot) {
  SingleInstance first(socketName());
  ASSERT_TRUE(first.claim());
  for (const bool activated : {true, false}) {
    ScriptedDialogs dialogs;
    int asked = 0;
    first.setActivationHandler([&] { return ++asked && activated; });
    dialogs.expectBox("Zelkar", "Another instance of Zelkar is already running.", answer::OK, 48);
    if (!activated) dialogs.expectBox("Zelkar", "Zelkar is already running", answer::OK, 64);
    WhileAnswering([name = socketName()] {
      SingleInstance(name).yieldToFirst();
      return true;
    });
    EXPECT_EQ(asked, 1) << activated;
  }

  // The window comes back from the tray too (from minimised: below).
  ScriptedDialogs dialogs;
  frmMain form;
  TrayIcon::setAvailableForTests(1);
  form.SetTrayMode(true);
  EXPECT_TRUE(modMain::BringToFront());
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(form.tray()->shown());
}

TEST_F(SessionTest, TheRunningWindowActsOnAHandedOverCommandLineAsAtItsStart) {
  // What start-up registers for the backup file type.
  modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\.zkb\\", "Zelkar.File", 0);
  modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\Zelkar.File\\", "Zelkar Backup File", 0);
  const QString backup = Sample("windows-crlf.zkb", "my backup.zkb");
  {
    SingleInstance first(socketName());
    ASSERT_TRUE(first.claim());
    const auto handOver = [this](const QString& commandLine) {
      return WhileAnswering([name = socketName(), commandLine] { return SingleInstance(name).handOver(commandLine); });
    };

    ScriptedDialogs dialogs;
    EXPECT_FALSE(handOver(backup));  // no one takes it yet: the second start says so itself
    first.setCommandLineHandler(&modMain::TakeCommandLine);
    EXPECT_FALSE(handOver(backup));

    const std::unique_ptr<frmMain> form = Window();
    form->showMinimized();
    ExpectLoadQuestion(dialogs, backup, answer::Yes);
    EXPECT_TRUE(handOver(backup));
    EXPECT_FALSE(form->isMinimized());
    EXPECT_EQ(Registered().size(), 3u);
  }

  // A real second program: a box there would wait for a click that never comes.
  QProcess running;
  ASSERT_TRUE(StartRunningProgram(running, socketName(), dir()));
  EXPECT_EQ(RunProgram(QStringLiteral(ZELKAR_BINARY), {backup}).code, 0);
  EXPECT_EQ(running.state(), QProcess::Running);
  running.kill();
  running.waitForFinished();
}

}  // namespace
}  // namespace zelkar::test
