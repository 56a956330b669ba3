// A store that is damaged, may not be written, is busy or cannot be read: what
// each way in says, and with which status.
#include <linux/capability.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>

#include "app/frmMain.h"
#include "app/modMain.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"
#include "support/ScriptedDialogs.h"
#include "support/StoreTest.h"

namespace zelkar::test {
namespace {

using store::Hive;
using store::Outcome;
using store::RegistryStore;

const QString kNotes = kAppPathsFull + "notes.exe\\";

// Makes file permissions count for this process from now on, even for root.
void GiveUpFileRightsForGood() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2]{};
  if (::syscall(SYS_capget, &header, data) != 0) return;
  const unsigned rights = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);
  data[0].effective &= ~rights;
  data[0].permitted &= ~rights;
  data[0].inheritable &= ~rights;
  ::syscall(SYS_capset, &header, data);
}

void Chmod(const QString& file, mode_t mode) { ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), mode), 0); }

// Each way in meets a hive file that is not a store (bytes that are no
// database, or another program's database): it names the file and leaves it
// as it was.
class DamagedStore : public StoreTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DamagedStore, IsNamedByEveryWayInAndLeftAlone) {
  const QString hive = path("registry/machine.sqlite");
  ASSERT_TRUE(QDir().mkpath(path("registry")));
  if (GetParam() == std::string("AnotherProgramsDatabase")) {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(hive).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "CREATE TABLE notes(text); INSERT INTO notes VALUES('mine');", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(other);
  } else {
    WriteFile(hive, QByteArray("somebody's notes, not a store \x01\x02\x03", 33).repeated(100));
  }
  const QByteArray before = ReadFile(hive);
  // The access layer cannot go on without its store: the program ends.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ScriptedDialogs dying;
        dying.echo = true;
        dying.expectBoxTitled("Zelkar", answer::OK);
        modRegEdit::GetDWord(Hive::CurrentUser, kSettingsKey, "Left", 0);
      },
      ::testing::ExitedWithCode(1), "box \\[Zelkar\\] \\[The registry file \"[^\"]*/registry/machine\\.sqlite\"");

  ScriptedDialogs dialogs;
  dialogs.expectBox("Zelkar", QString(), answer::OK, 16);
  EXPECT_FALSE(modMain::OpenStore());
  EXPECT_TRUE(dialogs.boxes().size() == 1 && dialogs.boxes()[0].text.contains(hive));

  for (const auto& [program, args, says] :
       {std::tuple{ZELKAR_REG_BINARY, QStringList{"query", "HKLM"}, "zelkar-reg: "},
        std::tuple{ZELKAR_OPEN_BINARY, QStringList{"--list"}, "zelkar-open: the keyword store "}}) {
    const Ran ran = RunProgram(program, args);
    EXPECT_EQ(ran.code, 3) << qPrintable(ran.err);
    EXPECT_TRUE(ran.err.startsWith(says) && ran.err.contains(hive)) << qPrintable(ran.err);
    EXPECT_EQ(ran.err.count('\n'), 1) << qPrintable(ran.err);
  }

  EXPECT_EQ(ReadFile(hive), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedStore, ::testing::Values("NoDatabase", "AnotherProgramsDatabase"),
                         [](const auto& info) { return std::string(info.param); });

// A store closed to writes, each way: the store's own calls refuse, the
// program's ordinary writes pass without a word, and a write that must not
// fail ends the program with the administrator message. Run in a child whose
// file rights are only its own (the child runs the test afresh in a folder of
// its own, so what it finds is what it prints).
struct RefusedCase {
  const char* name;
  std::function<void(const QString& dir)> close;
  const char* kept;                  // what notes.exe reads then
  std::function<void()> mustNotFail;  // else a write of notes.exe
  bool whileOpen = false;             // the store may still think itself writable
};

class RefusedWrite : public StoreTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedWrite, IsSilentUntilAWriteMustNotFail) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  modRegEdit::RegWriteValue(kNotes, "/usr/bin/notes", 0);
  RegistryStore::resetCurrent();
  EXPECT_EXIT(
      {
        GiveUpFileRightsForGood();
        GetParam().close(dir());
        ScriptedDialogs dialogs;
        dialogs.echo = true;
        dialogs.expectBoxTitled("Error", answer::OK);  // its words and style: below
        RegistryStore& store = RegistryStore::current();
        // Once a write found the store closed, it says so (unless it closed while open).
        const bool refused = store.createKey(Hive::LocalMachine, kAppPathsKey + "new.exe") == Outcome::Refused &&
                             store.deleteKey(Hive::LocalMachine, kAppPathsKey + "notes.exe") != Outcome::Done;
        const bool saysSo = GetParam().whileOpen || !(store.writable(Hive::LocalMachine) ||
                                                      RegistryStore::Transaction(store, Hive::LocalMachine).active());
        modRegEdit::RegWriteValue(kNotes, "/usr/bin/changed", 0);
        modRegEdit::RegWriteValue(kAppPathsFull + "new.exe\\", "/usr/bin/new", 0);
        modRegEdit::DeleteKey(Hive::LocalMachine, kAppPathsKey + "notes.exe");
        std::fprintf(stderr, "refused %d, read %s, keys %s, boxes %zu, made %d\n", refused && saysSo,
                     qUtf8Printable(modRegEdit::RegReadValue(kNotes)),
                     qUtf8Printable(modRegEdit::EnumKeys(Hive::LocalMachine, kAppPathsKey).join(' ')),
                     dialogs.boxes().size(), QFileInfo::exists(dir() + "/missing"));
        if (GetParam().mustNotFail)
          GetParam().mustNotFail();
        else
          modRegEdit::RegWriteValue(kNotes, "/usr/bin/new", 1);
        std::fprintf(stderr, "the program went on\n");
      },
      ::testing::ExitedWithCode(1),
      "refused 1, read " + std::string(GetParam().kept) + ", keys " + (*GetParam().kept ? "notes.exe" : "") +
          ", boxes 0, made 0\nbox \\[Error\\] \\[Please log on under a user account with administrative "
          "privileges\\.\\] 16\n$");
}

const RefusedCase kRefused[] = {
    {"HiveFileReadOnly",
     [](const QString& dir) {
       Chmod(dir + "/registry/machine.sqlite", 0444);
       RegistryStore::resetCurrent();
     },
     "/usr/bin/notes", nullptr},
    {"HiveFileTurnsReadOnlyWhileOpen",
     [](const QString& dir) {
       RegistryStore::current();
       Chmod(dir + "/registry/machine.sqlite", 0444);
     },
     "/usr/bin/notes", nullptr, true},
    {"SharedMachineHiveMissing",
     [](const QString& dir) {
       qputenv("ZELKAR_MACHINE_HIVE", QFile::encodeName(dir + "/missing/machine.sqlite"));
       RegistryStore::resetCurrent();
     },
     "", nullptr},
    // A shared machine hive, set up by an administrator and then closed to others: the start ends.
    {"SharedMachineHiveClosedToTheUser",
     [](const QString& dir) {
       QDir().mkpath(dir + "/shared");
       qputenv("ZELKAR_MACHINE_HIVE", QFile::encodeName(dir + "/shared/machine.sqlite"));
       RegistryStore::resetCurrent();
       modRegEdit::RegWriteValue(kNotes, "/usr/bin/notes", 0);
       RegistryStore::resetCurrent();
       Chmod(dir + "/shared/machine.sqlite", 0444);
       Chmod(dir + "/shared", 0555);
     },
     "/usr/bin/notes",
     [] {
       frmMain form;
       form.Form_Load();
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, RefusedWrite, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

using StorePermissionsDeathTest = StoreTest;

TEST_F(StorePermissionsDeathTest, AReadWhileTheHiveMayNotBeWrittenLeavesNothingThatStopsALaterWrite) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  modRegEdit::RegWriteValue(kNotes, "/usr/bin/notes", 0);
  RegistryStore::resetCurrent();
  const QString registry = path("registry");
  EXPECT_EXIT(
      {
        GiveUpFileRightsForGood();
        // A read-only moment: the window or zelkar-open --list reads meanwhile,
        // with the log's files beside the hive and without them.
        const auto files = [&] { return QDir(registry).entryList(QDir::Files, QDir::Name).join(' '); };
        QStringList said;
        for (const bool logGone : {false, true}) {
          const QString before = files();
          Chmod(registry + "/machine.sqlite", 0444);
          for (const char* side : {"-wal", "-shm"})
            if (logGone) QFile::remove(registry + "/machine.sqlite" + side);
          RegistryStore::resetCurrent();
          said << "read " + modRegEdit::RegReadValue(kNotes);
          RegistryStore::resetCurrent();
          if (!logGone && files() != before) said << "made " + files();
          // Writable again: that alone is enough.
          Chmod(registry + "/machine.sqlite", 0644);
          modRegEdit::RegWriteValue(kAppPathsFull + "later.exe\\", QString::number(logGone), 0);
          RegistryStore::resetCurrent();
          said << "wrote " + modRegEdit::RegReadValue(kAppPathsFull + "later.exe\\");
        }
        std::fprintf(stderr, "%s\n", qUtf8Printable(said.join("; ")));
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "read /usr/bin/notes; wrote 0; read /usr/bin/notes; wrote 1\n");
}

using UnusableStoreDeathTest = StoreTest;

// The hive file held locked, as by another program in the middle of a long
// write: for writers only, or (taking the file for itself) for readers too.
std::unique_ptr<sqlite3, int (*)(sqlite3*)> Locked(const QString& file, const char* begin) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
  std::unique_ptr<sqlite3, int (*)(sqlite3*)> held(db, sqlite3_close_v2);
  EXPECT_EQ(sqlite3_exec(db, begin, nullptr, nullptr, nullptr), SQLITE_OK);
  return held;
}

TEST_F(UnusableStoreDeathTest, ProgramsSayInWordsThatTheStoreIsBusyOrCannotBeRead) {
  modRegEdit::RegWriteValue(kNotes, "/usr/bin/notes", 0);
  {
    // The window's start meets a store that takes no writes: it says the store
    // is busy, and gives no advice about rights.
    const auto other = Locked(path("registry/machine.sqlite"), "BEGIN IMMEDIATE; UPDATE regkey SET name = name");
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
          ScriptedDialogs dialogs;
          dialogs.echo = true;
          dialogs.expectBoxTitled("Zelkar", answer::OK);
          frmMain form;
          form.Form_Load();
        },
        ::testing::ExitedWithCode(1),
        "box \\[Zelkar\\] \\[The keyword store is busy: another program has kept it locked for more than five "
        "seconds\\.\r\n\r\nPlease start Zelkar again when that program has finished\\.\\] 16\n");
    // Readers are not held up by a writer.
    const Ran list = RunProgram(ZELKAR_OPEN_BINARY, {"--list"});
    EXPECT_EQ(list.code, 0) << qPrintable(list.err);
    EXPECT_EQ(list.out, "notes\t/usr/bin/notes\n");
  }
  store::RegistryStore::resetCurrent();
  const std::pair<const char*, QStringList> rows[] = {
      {ZELKAR_REG_BINARY, {"add", "HKLM\\SOFTWARE\\x", "--value", "v", "--data", "d"}},
      {ZELKAR_REG_BINARY, {"query", "HKLM\\SOFTWARE"}},
      {ZELKAR_OPEN_BINARY, {"--list"}},
      {ZELKAR_OPEN_BINARY, {"notes"}},
  };
  {
    // The busy timeout runs for every row at once.
    const auto other = Locked(path("registry/machine.sqlite"), "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;");
    std::vector<std::future<Ran>> running;
    for (const auto& row : rows)
      running.push_back(std::async(std::launch::async, [&row] { return RunProgram(row.first, row.second); }));
    for (std::size_t i = 0; i < running.size(); ++i) {
      const Ran ran = running[i].get();
      SCOPED_TRACE(rows[i].second.join(' ').toStdString());
      EXPECT_EQ(ran.code, 4) << ran.err.toStdString();
      EXPECT_TRUE(ran.err.contains("busy") && ran.err.contains("five seconds")) << ran.err.toStdString();
    }
  }
  // Run by someone who cannot enter the store's folder: this user when its
  // rights bind it, else (for root) nobody.
  const QByteArray folder = QFile::encodeName(path("registry"));
  ::chmod(folder.constData(), 0);
  for (const auto& [program, args] : rows) {
    SCOPED_TRACE(args.join(' ').toStdString());
    QProcess process;
    if (::geteuid() == 0)
      process.setChildProcessModifier([] {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(99);
      });
    process.start(program, args);
    process.waitForFinished(30000);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitCode(), 3) << err.toStdString();
    EXPECT_TRUE(err.contains("cannot be read (Permission denied)")) << err.toStdString();
  }
  ::chmod(folder.constData(), 0700);
}

}  // namespace
}  // namespace zelkar::test
