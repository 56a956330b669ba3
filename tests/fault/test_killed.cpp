// The program killed at any moment of a load or a save.
#include "support/BackupTest.h"

#include <QElapsedTimer>
#include <QProcess>

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

namespace zelkar::test {
namespace {

constexpr int kCuts = 100;
constexpr const char* kReady = "zelkar-child-ready";
constexpr const char* kDone = "zelkar-child-done";

// The test program started again to run KilledChild.Work, told by
// ZELKAR_FAULT_WORK what to do on this process's store and on `file`.
class ChildProcess {
 public:
  ChildProcess(const char* work, const QString& file) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ZELKAR_FAULT_WORK", work);
    env.insert("ZELKAR_FAULT_REGISTRY", qEnvironmentVariable("ZELKAR_REGISTRY"));
    env.insert("ZELKAR_FAULT_FILE", file);
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start("/proc/self/exe", {"--gtest_filter=KilledChild.Work"});
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
  bool passes() {
    return process_.waitForFinished(60000) && process_.exitCode() == 0 &&
           (output_ += process_.readAll()).contains("[  PASSED  ] 1 test");
  }
  std::string output() const { return output_.toStdString(); }

 private:
  QProcess process_;
  QByteArray output_;
};

struct KilledCase {
  const char* work;
  int stored;  // keywords in the store before
  int listed;  // keywords in the backup file
};

class Killed : public BackupTest, public ::testing::WithParamInterface<KilledCase> {};

// Whatever the moment of the kill, the store holds the keywords of before or
// of after, and the file is the old one or the whole new one.
TEST_P(Killed, LeavesTheStoreAndTheFileOfBeforeOrOfAfter) {
  const KilledCase& row = GetParam();
  const Keywords before = Entries(row.stored, "before", "/srv/before");
  PutAll(before);
  const QString file = Backup("lists/Backup.zkb", row.listed, "listed", "/srv/listed");
  const QByteArray old = Bytes(file);
  // The store's files as they are now, closed, so that every run starts from them.
  store::RegistryStore::resetCurrent();
  const QStringList storeFiles = FilesIn("registry");
  QDir().mkpath(path("kept"));
  for (const QString& name : storeFiles) ASSERT_TRUE(QFile::copy(path("registry/" + name), path("kept/" + name)));
  const auto reset = [&] {
    ASSERT_TRUE(QDir(path("registry")).removeRecursively() && QDir(path("lists")).removeRecursively());
    QDir().mkpath(path("registry"));
    for (const QString& name : storeFiles) ASSERT_TRUE(QFile::copy(path("kept/" + name), path("registry/" + name)));
    Write("lists/Backup.zkb", old);
  };

  std::int64_t length = 0;  // microseconds from the ready line to the done line
  {
    ChildProcess child(row.work, file);
    ASSERT_TRUE(child.waitFor(kReady)) << child.output();
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(child.waitFor(kDone)) << child.output();
    length = timer.nsecsElapsed() / 1000;
    ASSERT_TRUE(child.passes()) << child.output();
  }
  const Keywords after = OnDisk();
  const QByteArray fresh = Bytes(file);
  const Keywords expected = row.stored > row.listed ? before : Entries(row.listed, "listed", "/srv/listed");
  ASSERT_EQ(after, expected);
  ASSERT_EQ(ReadEntriesOf(file), expected);

  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::int64_t> moment(0, length);
  for (int cut = 0; cut < kCuts && !HasFailure(); ++cut) {
    reset();
    const std::int64_t at = moment(random);
    SCOPED_TRACE("killed " + std::to_string(at) + " us into the work, run " + std::to_string(cut));
    {
      ChildProcess child(row.work, file);
      ASSERT_TRUE(child.waitFor(kReady)) << child.output();
      std::this_thread::sleep_for(std::chrono::microseconds(at));
    }
    const Keywords now = OnDisk();
    EXPECT_TRUE(now == before || now == after) << now.size() << " keywords";
    EXPECT_EQ(FilesIn("registry"), storeFiles);
    const QByteArray bytes = Bytes(file);
    EXPECT_TRUE(bytes == old || bytes == fresh) << bytes.size() << " bytes";
    // A kill between naming the finished work file and renaming it over the
    // backup may leave that hidden, complete copy; nothing else may stay.
    for (const QString& name : FilesIn("lists"))
      EXPECT_TRUE(name == "Backup.zkb" || (name.startsWith(".Backup.zkb.") && Bytes(path("lists/" + name)) == fresh))
          << name.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Killed, ::testing::Values(KilledCase{"LoadList", 40, 5000}, KilledCase{"SaveList", 1000, 3}),
                         [](const auto& info) { return std::string(info.param.work); });

class KilledChild : public BackupTest {};

TEST_F(KilledChild, Work) {
  const QByteArray work = qgetenv("ZELKAR_FAULT_WORK");
  if (work.isEmpty()) GTEST_SKIP() << "runs as a child of Killed";
  qputenv("ZELKAR_REGISTRY", qgetenv("ZELKAR_FAULT_REGISTRY"));
  store::RegistryStore::resetCurrent();
  const QString file = qEnvironmentVariable("ZELKAR_FAULT_FILE");
  std::unique_ptr<frmMain> form = Window();
  ScriptedDialogs dialogs;
  if (work == "LoadList")
    ExpectLoadQuestion(dialogs, file, answer::Yes);
  else
    dialogs.expectSave(file);
  std::printf("%s\n", kReady);
  std::fflush(stdout);
  EXPECT_TRUE(work == "LoadList" ? form->LoadList(file) : form->SaveList());
  std::printf("%s\n", kDone);
  std::fflush(stdout);
}

}  // namespace
}  // namespace zelkar::test
