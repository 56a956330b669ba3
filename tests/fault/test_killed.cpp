// The program killed at any moment of a load or a save.
#include "fault/FaultTest.h"

#include <QElapsedTimer>

#include <chrono>
#include <random>
#include <thread>

namespace zelkar::test {
namespace {

constexpr int kCuts = 100;

class Killed : public FaultTest {
 protected:
  // The store's files as they are now, closed, so that every run starts from them.
  void KeepStore() {
    store::RegistryStore::resetCurrent();
    QDir().mkpath(path("kept"));
    for (const QString& name : FilesIn("registry"))
      ASSERT_TRUE(QFile::copy(path("registry/" + name), path("kept/" + name)));
  }
  void RestoreStore() {
    ASSERT_TRUE(QDir(path("registry")).removeRecursively());
    QDir().mkpath(path("registry"));
    for (const QString& name : FilesIn("kept"))
      ASSERT_TRUE(QFile::copy(path("kept/" + name), path("registry/" + name)));
  }
  // Runs the work to its end; its length in microseconds, from the ready line to the done line.
  std::int64_t Uncut(const char* test, const QStringList& env) {
    ChildProcess child(test, env);
    EXPECT_TRUE(child.waitFor(kReadyLine)) << child.output().toStdString();
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(child.waitFor(kDoneLine)) << child.output().toStdString();
    const std::int64_t length = timer.nsecsElapsed() / 1000;
    EXPECT_EQ(child.finish(), 0) << child.output().toStdString();
    EXPECT_TRUE(child.passed()) << child.output().toStdString();
    return length;
  }
  // Runs the work `kCuts` times, each killed at a moment drawn over `length`,
  // and checks the files after each by `check`.
  template <typename Check>
  void CutShort(const char* test, const QStringList& env, std::int64_t length, const std::function<void()>& reset,
                Check check) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::int64_t> moment(0, length);
    for (int cut = 0; cut < kCuts && !HasFailure(); ++cut) {
      reset();
      const std::int64_t at = moment(random);
      SCOPED_TRACE("killed " + std::to_string(at) + " us into the work, run " + std::to_string(cut));
      {
        ChildProcess child(test, env);
        ASSERT_TRUE(child.waitFor(kReadyLine)) << child.output().toStdString();
        std::this_thread::sleep_for(std::chrono::microseconds(at));
        child.kill();
      }
      check();
    }
  }
};

TEST_F(Killed, LoadListLeavesTheKeywordsOfBeforeOrOfAfter) {
  const Keywords before = Entries(40, "before", "/srv/before");
  PutAll(before);
  const QString list = Backup("lists/Big.zkb", 5000, "loaded", "/srv/loaded");
  const QByteArray listBytes = Bytes(list);
  const Keywords after = Entries(5000, "loaded", "/srv/loaded");
  KeepStore();
  const QStringList env{"ZELKAR_FAULT_FILE=" + list};
  const std::int64_t length = Uncut("KilledChild.LoadList", env);
  ASSERT_EQ(OnDisk(), after);
  const QStringList storeFiles = FilesIn("registry");
  CutShort("KilledChild.LoadList", env, length, [&] { RestoreStore(); }, [&] {
    const Keywords now = OnDisk();
    EXPECT_TRUE(now == before || now == after) << now.size() << " keywords";
    EXPECT_EQ(FilesIn("registry"), storeFiles);
    EXPECT_EQ(Bytes(list), listBytes);
    EXPECT_EQ(FilesIn("lists"), QStringList{"Big.zkb"});
  });
}

TEST_F(Killed, SaveListLeavesTheOldFileOrTheWholeNewOne) {
  const Keywords kept = Entries(1000, "kept", "/srv/kept");
  PutAll(kept);
  const QString file = Backup("lists/Backup.zkb", 3, "old", "/srv/old");
  const QByteArray old = Bytes(file);
  store::RegistryStore::resetCurrent();
  const QStringList env{"ZELKAR_FAULT_FILE=" + file};
  const std::int64_t length = Uncut("KilledChild.SaveList", env);
  const QByteArray fresh = Bytes(file);
  ASSERT_EQ(ReadEntriesOf(file), kept);
  const auto reset = [&] {
    for (const QString& name : FilesIn("lists")) QFile::remove(path("lists/" + name));
    Write("lists/Backup.zkb", old);
  };
  CutShort("KilledChild.SaveList", env, length, reset, [&] {
    const QByteArray now = Bytes(file);
    EXPECT_TRUE(now == old || now == fresh) << now.size() << " bytes";
    // A kill between naming the finished work file and renaming it over the
    // backup may leave that hidden, complete copy; nothing else may stay.
    for (const QString& name : FilesIn("lists"))
      if (name != "Backup.zkb") {
        EXPECT_TRUE(name.startsWith(".Backup.zkb.")) << name.toStdString();
        EXPECT_EQ(Bytes(path("lists/" + name)), fresh) << name.toStdString();
      }
    EXPECT_EQ(OnDisk(), kept);
  });
}

class KilledChild : public FaultTest {};

TEST_F(KilledChild, LoadList) {
  if (!IsChild("KilledChild.LoadList")) GTEST_SKIP() << "runs as a child of Killed.LoadList...";
  UseParentStore();
  const QString list = qEnvironmentVariable("ZELKAR_FAULT_FILE");
  std::unique_ptr<frmMain> form = Window();
  ScriptedDialogs dialogs;
  ExpectLoadQuestion(dialogs, list, answer::Yes);
  Say(kReadyLine);
  EXPECT_TRUE(form->LoadList(list));
  Say(kDoneLine);
}

TEST_F(KilledChild, SaveList) {
  if (!IsChild("KilledChild.SaveList")) GTEST_SKIP() << "runs as a child of Killed.SaveList...";
  UseParentStore();
  std::unique_ptr<frmMain> form = Window();
  ScriptedDialogs dialogs;
  dialogs.expectSave(qEnvironmentVariable("ZELKAR_FAULT_FILE"));
  Say(kReadyLine);
  EXPECT_TRUE(form->SaveList());
  Say(kDoneLine);
}

}  // namespace
}  // namespace zelkar::test
