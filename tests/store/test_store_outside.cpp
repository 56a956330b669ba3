// What the tools and the window say of a store they cannot use, and with
// which status: a missing, busy or unreadable store.
#include "app/frmMain.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"
#include "support/ScriptedDialogs.h"
#include "support/StoreTest.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <sqlite3.h>

#include <future>

#include <sys/stat.h>
#include <unistd.h>

namespace zelkar::test {
namespace {

// Holds the hive file locked, as another program in the middle of a long
// write: for writers only, or (taking the file for itself) for readers too.
class Locker {
 public:
  Locker(const QString& file, const char* begin) {
    sqlite3_open_v2(QFile::encodeName(file).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    locked_ = sqlite3_exec(db_, begin, nullptr, nullptr, nullptr) == SQLITE_OK;
  }
  ~Locker() { sqlite3_close_v2(db_); }
  Locker(const Locker&) = delete;
  Locker& operator=(const Locker&) = delete;
  bool locked() const { return locked_; }

 private:
  sqlite3* db_ = nullptr;
  bool locked_ = false;
};

// A program run by someone who cannot enter `folder`: this user when the
// folder's rights bind it, else (for root) nobody.
Ran RunLockedOut(const QString& program, const QStringList& args, const QString& folder) {
  ::chmod(QFile::encodeName(folder).constData(), 0);
  QProcess process;
  if (::geteuid() == 0)
    process.setChildProcessModifier([] {
      if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(99);
    });
  process.start(program, args);
  process.waitForFinished(30000);
  ::chmod(QFile::encodeName(folder).constData(), 0700);
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

class StoreOutsideTest : public StoreTest {
 protected:
  QString machineFile() const { return path("registry/machine.sqlite"); }
};
using StoreOutsideDeathTest = StoreOutsideTest;

TEST_F(StoreOutsideTest, AQueryNeverCreatesTheStore) {
  qputenv("ZELKAR_REGISTRY", QFile::encodeName(path("none/registry")));
  QString err;
  EXPECT_EQ(RunZelkarReg({"query", "HKLM\\SOFTWARE"}, nullptr, &err), 2) << err.toStdString();
  EXPECT_TRUE(err.contains("key not found")) << err.toStdString();
  EXPECT_FALSE(QFileInfo::exists(path("none")));
}

TEST_F(StoreOutsideTest, ToolsSayInWordsThatTheStoreIsBusyOrCannotBeRead) {
  modRegEdit::RegWriteValue(kAppPathsFull + "notes.exe\\", "/usr/bin/notes", 0);
  store::RegistryStore::resetCurrent();
  struct Row {
    const char* program;
    QStringList args;
  };
  const Row rows[] = {
      {ZELKAR_REG_BINARY, {"add", "HKLM\\SOFTWARE\\x", "--value", "v", "--data", "d"}},
      {ZELKAR_REG_BINARY, {"query", "HKLM\\SOFTWARE"}},
      {ZELKAR_OPEN_BINARY, {"--list"}},
      {ZELKAR_OPEN_BINARY, {"notes"}},
  };
  {
    // The busy timeout runs for every row at once.
    Locker other(machineFile(), "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;");
    ASSERT_TRUE(other.locked());
    std::vector<std::future<Ran>> running;
    for (const Row& row : rows)
      running.push_back(std::async(std::launch::async, [&row] { return RunProgram(row.program, row.args); }));
    for (std::size_t i = 0; i < running.size(); ++i) {
      const Ran ran = running[i].get();
      SCOPED_TRACE(rows[i].args.join(' ').toStdString());
      EXPECT_EQ(ran.code, 4) << ran.err.toStdString();
      EXPECT_TRUE(ran.err.contains("busy") && ran.err.contains("five seconds")) << ran.err.toStdString();
    }
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args.join(' ').toStdString());
    const Ran ran = RunLockedOut(row.program, row.args, path("registry"));
    EXPECT_EQ(ran.code, 3) << ran.err.toStdString();
    EXPECT_TRUE(ran.err.contains("cannot be read (Permission denied)")) << ran.err.toStdString();
  }
}

TEST_F(StoreOutsideDeathTest, TheWindowSaysABusyStoreIsBusyAndGivesNoAdviceAboutRights) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  modRegEdit::RegWriteValue(kAppPathsFull + "notes.exe\\", "/usr/bin/notes", 0);
  Locker other(machineFile(), "BEGIN IMMEDIATE");
  ASSERT_TRUE(other.locked());
  EXPECT_EXIT(
      {
        ScriptedDialogs dialogs;
        dialogs.expectBoxTitled("Zelkar", answer::OK);
        EchoDialogs echo(dialogs);
        frmMain form;
        form.Form_Load();
      },
      ::testing::ExitedWithCode(1),
      "box \\[Zelkar\\] \\[The keyword store is busy: another program has kept it locked for more than five "
      "seconds\\.\r\n\r\nPlease start Zelkar again when that program has finished\\.\\] 16\n");
}

}  // namespace
}  // namespace zelkar::test
