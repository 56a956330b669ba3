// What comes from outside while the window works: a kill at any moment of a
// load, other writers on the same store, a disk with no room left,
// the store's folder removed.
#include "support/BackupTest.h"

#include "app/Controls.h"

#include <QElapsedTimer>
#include <QProcess>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>
#include <thread>

#include <sys/resource.h>
#include <sys/stat.h>

namespace zelkar::test {
namespace {

constexpr int kCuts = 100;
constexpr const char* kReady = "zelkar-child-ready";
constexpr const char* kDone = "zelkar-child-done";

// The test program started again to run KilledChild.LoadList on this process's
// store and `file`.
class ChildProcess {
 public:
  explicit ChildProcess(const QString& file) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ZELKAR_FAULT_REGISTRY", qEnvironmentVariable("ZELKAR_REGISTRY"));
    env.insert("ZELKAR_FAULT_FILE", file);
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start("/proc/self/exe", {"--gtest_filter=KilledChild.LoadList"});
  }
  ~ChildProcess() {
    process_.kill();
    process_.waitForFinished(30000);
  }
  // Waits for the line; false when the child ended or took too long.
  bool waitFor(const char* line) {
    while (!output_.contains(line)) {
      if (!process_.waitForReadyRead(60000)) return false;
      output_ += process_.readAll();
    }
    return true;
  }
  std::string output() const { return output_.toStdString(); }

 private:
  QProcess process_;
  QByteArray output_;
};

using Killed = BackupTest;

// Whatever the moment of the kill, the store holds the keywords of before or
// those of the list. (That a save killed or
// failing midway leaves the old file whole, the full disk shows.)
TEST_F(Killed, LoadListLeavesTheKeywordsOfBeforeOrOfAfter) {
  const Keywords before = Entries(40, "before", "/srv/before");
  PutAll(before);
  const QString list = Backup("lists/Big.zkb", 5000, "loaded", "/srv/loaded");
  // The store's files as they are now, closed, so that every run starts from them.
  store::RegistryStore::resetCurrent();
  const QStringList storeFiles = FilesIn("registry");
  QDir().mkpath(path("kept"));
  for (const QString& name : storeFiles) ASSERT_TRUE(QFile::copy(path("registry/" + name), path("kept/" + name)));

  std::int64_t length = 0;  // microseconds from the ready line to the done line
  {
    ChildProcess child(list);
    ASSERT_TRUE(child.waitFor(kReady)) << child.output();
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(child.waitFor(kDone)) << child.output();
    length = timer.nsecsElapsed() / 1000;
  }
  const Keywords after = Entries(5000, "loaded", "/srv/loaded");
  ASSERT_EQ(OnDisk(), after);

  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::int64_t> moment(0, length);
  for (int cut = 0; cut < kCuts && !HasFailure(); ++cut) {
    ASSERT_TRUE(QDir(path("registry")).removeRecursively() && QDir().mkpath(path("registry")));
    for (const QString& name : storeFiles) ASSERT_TRUE(QFile::copy(path("kept/" + name), path("registry/" + name)));
    const std::int64_t at = moment(random);
    SCOPED_TRACE("killed " + std::to_string(at) + " us into the load, run " + std::to_string(cut));
    {
      ChildProcess child(list);
      ASSERT_TRUE(child.waitFor(kReady)) << child.output();
      std::this_thread::sleep_for(std::chrono::microseconds(at));
    }
    const Keywords now = OnDisk();
    EXPECT_TRUE(now == before || now == after) << now.size() << " keywords";
    EXPECT_EQ(FilesIn("registry"), storeFiles);
  }
}

class KilledChild : public BackupTest {};

TEST_F(KilledChild, LoadList) {
  if (!qEnvironmentVariableIsSet("ZELKAR_FAULT_FILE")) GTEST_SKIP() << "runs as a child of Killed";
  qputenv("ZELKAR_REGISTRY", qgetenv("ZELKAR_FAULT_REGISTRY"));
  store::RegistryStore::resetCurrent();
  const QString list = qEnvironmentVariable("ZELKAR_FAULT_FILE");
  std::unique_ptr<frmMain> form = Window();
  ScriptedDialogs dialogs;
  ExpectLoadQuestion(dialogs, list, answer::Yes);
  std::printf("%s\n", kReady);
  std::fflush(stdout);
  EXPECT_TRUE(form->LoadList(list));
  std::printf("%s\n", kDone);
  std::fflush(stdout);
}

// The one target each keyword of any writer ever has.
QString TargetFor(const QString& keyword) { return "/srv/" + keyword; }
QString Numbered(const char* prefix, int i) { return prefix + QStringLiteral("%1.exe").arg(i, 4, 10, QChar('0')); }

using OtherWriter = BackupTest;

TEST_F(OtherWriter, WindowAndZelkarRegShareTheStore) {
  // Two other programs at once (the evens and the odds), each adding keywords
  // and deleting every fourth again: 1,000 runs of zelkar-reg ($0) in all. No
  // one has made the store yet: they and the window set it up at once.
  const QString others = "for i in $(seq $1 2 799); do k=$(printf other%04d.exe $i);"
                         " \"$0\" add \"$2$k\" --default --data \"/srv/$k\" || exit 1;"
                         " [ $((i % 4)) -ne 0 ] || \"$0\" delete \"$2$k\" || exit 1; done";
  QProcess evens, odds;
  evens.start("sh", {"-c", others, ZELKAR_REG_BINARY, "0", kAppPathsFull});
  odds.start("sh", {"-c", others, ZELKAR_REG_BINARY, "1", kAppPathsFull});

  std::unique_ptr<frmMain> form = Window();
  ScriptedDialogs dialogs;  // any box fails the test
  Keywords expected;
  int rounds = 0;
  const auto running = [](QProcess& p) { return p.state() != QProcess::NotRunning && !p.waitForFinished(0); };
  while ((running(evens) || running(odds)) && !HasFailure()) {
    ++rounds;
    // Every keyword the tree and a saved list show has its one target.
    form->LoadTVW(false);
    for (const auto& [keyword, target] : Tree(*form)) EXPECT_EQ(target, TargetFor(keyword));
    const QString saved = path("saved.zkb");
    dialogs.expectSave(saved);
    ASSERT_TRUE(form->SaveList());
    const Keywords backup = ReadEntriesOf(saved);
    EXPECT_EQ(backup, Tree(*form));
    EXPECT_TRUE(modINI::ReadINI("Keywords", QString::number(backup.size() + 1), saved).isEmpty());

    for (int i = 0; i < 5; ++i) {
      const QString keyword = Numbered("mine", rounds * 5 + i);
      EXPECT_TRUE(form->SaveKeyword(keyword, TargetFor(keyword), false));
      expected[keyword] = TargetFor(keyword);
    }
    EXPECT_TRUE(form->DeleteKeyword(Numbered("mine", rounds * 5), false));
    expected.erase(Numbered("mine", rounds * 5));
  }
  for (QProcess* other : {&evens, &odds}) {
    other->waitForFinished(600000);  // false too when it had ended already
    EXPECT_EQ(other->exitCode(), 0) << other->readAllStandardError().toStdString();
  }
  EXPECT_GT(rounds, 1);

  for (int i = 0; i < 800; ++i)
    if (i % 4 != 0) expected[Numbered("other", i)] = TargetFor(Numbered("other", i));
  EXPECT_EQ(Registered(), expected);
  form.reset();
  EXPECT_EQ(OnDisk(), expected);
}

// Files of this process cannot grow past `bytes` while it lives: a write past
// that fails as on a full disk instead of raising a signal.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : signal_(std::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, signal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*signal_)(int);
};

using FullDisk = BackupTest;

TEST_F(FullDisk, WritesThatFindNoRoomChangeNothingAndSaySo) {
  const Keywords kept = Entries(150, "kept", "/srv/a/rather/long/target/folder/for/keyword");
  PutAll(kept);
  const QString small = Backup("lists/small.zkb", 1, "small", "/srv/small");
  const QByteArray smallBytes = Bytes(small);
  store::RegistryStore::resetCurrent();
  std::unique_ptr<frmMain> form = Window();
  {
    const FileSizeLimit limit(8192);
    ScriptedDialogs dialogs;
    dialogs.expectSave(small).expectSave(path("lists/new.zkb"));
    EXPECT_FALSE(form->SaveList());
    EXPECT_FALSE(form->SaveList());
  }
  EXPECT_EQ(Bytes(small), smallBytes);
  EXPECT_EQ(FilesIn("lists"), QStringList{"small.zkb"});

  // A store write that finds no room.
  form.reset();
  store::RegistryStore::resetCurrent();
  QString err;
  {
    const FileSizeLimit limit(QFileInfo(path("registry/machine.sqlite")).size() + 1234);
    EXPECT_EQ(RunZelkarReg({"add", "HKLM\\Big", "--default", "--data", QString(60000, 'x')}, nullptr, &err), 6);
  }
  EXPECT_TRUE(err.contains("the disk is full")) << err.toStdString();
  EXPECT_EQ(OnDisk(), kept);
}

using StorePlace = BackupTest;

// An open database goes on writing its file whatever happens to the folder;
// the store must notice so that it does not lose what it writes into a
// removed file. Before a command that writes one keyword, and before a whole
// load, the folder goes; after each the tree and the store hold its work.
TEST_F(StorePlace, FolderRemovedWhileTheWindowRuns) {
  const QString list = Backup("lists/two.zkb", 2, "loaded", "/srv/loaded");
  Keywords expected = Entries(3, "kept", "/srv/kept");
  PutAll(expected);
  std::unique_ptr<frmMain> form = Window();
  ScriptedDialogs dialogs;
  const QString registry = path("registry");
  const auto checkAndRemove = [&](const char* step) {
    EXPECT_EQ(Tree(*form), Registered()) << step;
    EXPECT_EQ(Registered(), expected) << step;
    ASSERT_TRUE(QDir(registry).removeRecursively());
  };

  checkAndRemove("start");
  form->txtExe->setText("fresh");
  form->lblPath->setCaption("/srv/fresh");
  form->cmdSave_Click();
  expected["fresh.exe"] = "/srv/fresh";
  checkAndRemove("register");

  ExpectLoadQuestion(dialogs, list, answer::Yes);
  EXPECT_TRUE(form->LoadList(list));
  expected = Entries(2, "loaded", "/srv/loaded");
  EXPECT_EQ(Tree(*form), expected);

  // The folder and the hive come back as private as they were made at first.
  store::RegistryStore::resetCurrent();
  EXPECT_EQ(OnDisk(), expected);
  struct stat folder {}, user {};
  ASSERT_EQ(::stat(QFile::encodeName(registry).constData(), &folder), 0);
  ASSERT_EQ(::stat(QFile::encodeName(registry + "/user.sqlite").constData(), &user), 0);
  EXPECT_EQ(folder.st_mode & 07777, 0700u);
  EXPECT_EQ(user.st_mode & 07777, 0600u);
}

}  // namespace
}  // namespace zelkar::test
