// A store that is damaged, or that may not be written: what each way in says.
#include <linux/capability.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "app/frmMain.h"
#include "app/modMain.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"
#include "support/ScriptedDialogs.h"
#include "support/StoreTest.h"

namespace zelkar::test {
namespace {

using store::Hive;
using store::RegistryStore;

const QString kAdministrator = "Please log on under a user account with administrative privileges.";

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

QByteArray BytesOf(const QString& file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Each way in meets a hive file that is not a store: it names the file and
// leaves it as it was.
struct DamagedCase {
  const char* name;
  bool foreignDatabase;  // else bytes that are no database at all
  std::function<void(const QString& hive)> meet;
};

class DamagedStore : public StoreTest, public ::testing::WithParamInterface<DamagedCase> {};

void ProgramSays(const QString& program, const QStringList& args, const QString& start, const QString& hive) {
  const Ran ran = RunProgram(program, args);
  EXPECT_EQ(ran.code, 3) << qPrintable(ran.err);
  EXPECT_TRUE(ran.err.startsWith(start)) << qPrintable(ran.err);
  EXPECT_TRUE(ran.err.contains(hive)) << qPrintable(ran.err);
  EXPECT_EQ(ran.err.count('\n'), 1) << qPrintable(ran.err);
}

TEST_P(DamagedStore, IsNamedAndLeftAlone) {
  const QString hive = path("registry/machine.sqlite");
  ASSERT_TRUE(QDir().mkpath(path("registry")));
  if (GetParam().foreignDatabase) {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(hive).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "CREATE TABLE notes(text); INSERT INTO notes VALUES('mine');", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(other);
  } else {
    QFile junk(hive);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray("somebody's notes, not a store \x01\x02\x03", 33).repeated(100));
  }
  const QByteArray before = BytesOf(hive);
  GetParam().meet(hive);
  EXPECT_EQ(BytesOf(hive), before);
}

const DamagedCase kDamaged[] = {
    {"Store", false,
     [](const QString& hive) {
       try {
         RegistryStore::current();
         ADD_FAILURE() << "a damaged store was opened";
       } catch (const store::StoreError& error) {
         EXPECT_EQ(error.file(), hive);
         EXPECT_NE(std::string(error.what()).find(hive.toStdString()), std::string::npos);
       }
     }},
    {"WindowStart", false,
     [](const QString& hive) {
       ScriptedDialogs dialogs;
       dialogs.expectBox("Zelkar", QString(), answer::OK, 16);
       EXPECT_FALSE(modMain::OpenStore());
       ASSERT_EQ(dialogs.boxes().size(), 1u);
       EXPECT_TRUE(dialogs.boxes()[0].text.contains(hive));
     }},
    {"AccessLayerStopsTheProgram", false,
     [](const QString&) {
       GTEST_FLAG_SET(death_test_style, "threadsafe");
       // The dying child runs the test afresh in a folder of its own.
       EXPECT_EXIT(
           {
             ScriptedDialogs dialogs;
             dialogs.expectBoxTitled("Zelkar", answer::OK);
             EchoDialogs echo(dialogs);
             modRegEdit::GetDWord(Hive::CurrentUser, kSettingsKey, "Left", 0);
           },
           ::testing::ExitedWithCode(1), "box \\[Zelkar\\] \\[The registry file \"[^\"]*/registry/machine\\.sqlite\"");
     }},
    {"ZelkarReg", false,
     [](const QString& hive) { ProgramSays(ZELKAR_REG_BINARY, {"query", "HKLM"}, "zelkar-reg: ", hive); }},
    {"ZelkarOpen", false,
     [](const QString& hive) {
       ProgramSays(ZELKAR_OPEN_BINARY, {"kw"}, "zelkar-open: the keyword store " + hive, hive);
       ProgramSays(ZELKAR_OPEN_BINARY, {"--list"}, "zelkar-open: the keyword store " + hive, hive);
     }},
    {"StoreOfAnotherProgram", true,
     [](const QString& hive) {
       EXPECT_THROW(RegistryStore::current(), store::StoreError);
       ProgramSays(ZELKAR_OPEN_BINARY, {"--list"}, "zelkar-open: the keyword store " + hive, hive);
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, DamagedStore, ::testing::ValuesIn(kDamaged),
                         [](const auto& info) { return std::string(info.param.name); });

// A write the store refuses where the program cannot go on: the administrator
// message, then the end, and the store as it was.
struct RefusedCase {
  const char* name;
  std::function<void(const QString& dir)> arrange;  // in the test's folder, before the child
  std::function<void()> write;              // in the dying child
  std::function<void()> check;              // after it
};

class RefusedWrite : public StoreTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedWrite, EndsWithTheAdministratorMessage) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  GetParam().arrange(dir());
  EXPECT_EXIT(
      {
        GiveUpFileRightsForGood();
        ScriptedDialogs dialogs;
        dialogs.expectBox("Error", kAdministrator, answer::OK, 16);
        EchoDialogs echo(dialogs);
        GetParam().write();
        std::fprintf(stderr, "the program went on\n");
      },
      ::testing::ExitedWithCode(1),
      "box \\[Error\\] \\[Please log on under a user account with administrative privileges\\.\\] 16\n$");
  GetParam().check();
}

const RefusedCase kRefused[] = {
    {"ReadOnlyStore",
     [](const QString& dir) {
       modRegEdit::RegWriteValue(kAppPathsFull + "Zelkar.exe\\", "/old", 1);
       store::StoreLocation location = store::StoreLocation::inDirectory(dir + "/registry");
       location.readOnly = true;
       RegistryStore::useLocation(location);
     },
     [] { modRegEdit::RegWriteValue(kAppPathsFull + "Zelkar.exe\\", "/new", 1); },
     [] { EXPECT_EQ(modRegEdit::RegReadValue(kAppPathsFull + "Zelkar.exe\\"), "/old"); }},
    // A shared machine hive, set up by an administrator and then closed to others: the start ends.
    {"MachineHiveClosedToTheUser",
     [](const QString& dir) {
       const QString folder = dir + "/shared";
       ASSERT_TRUE(QDir().mkpath(folder));
       qputenv("ZELKAR_MACHINE_HIVE", QFile::encodeName(folder + "/machine.sqlite"));
       RegistryStore::resetCurrent();
       modRegEdit::RegWriteValue(kAppPathsFull + "notes.exe\\", "/usr/bin/notes", 0);
       RegistryStore::resetCurrent();
       ASSERT_EQ(::chmod(QFile::encodeName(folder + "/machine.sqlite").constData(), 0444), 0);
       ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
     },
     [] {
       RegistryStore::resetCurrent();
       if (RegistryStore::current().writable(Hive::LocalMachine)) std::_Exit(2);
       frmMain form;
       form.Form_Load();
     },
     [] {
       EXPECT_EQ(modRegEdit::RegReadValue(kAppPathsFull + "notes.exe\\"), "/usr/bin/notes");
       ::chmod(QFile::encodeName(QFileInfo(qEnvironmentVariable("ZELKAR_MACHINE_HIVE")).path()).constData(), 0755);
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, RefusedWrite, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

// Runs `work` in a process of its own as the user and group `id`.
void AsUser(unsigned id, const std::function<void()>& work) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(id) != 0 || ::setuid(id) != 0) ::_exit(99);
    work();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
}

using StorePermissionsDeathTest = StoreTest;

TEST_F(StorePermissionsDeathTest, AReadWhileTheHiveMayNotBeWrittenLeavesNothingThatStopsALaterWrite) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  modRegEdit::RegWriteValue(kAppPathsFull + "notes.exe\\", "/usr/bin/notes", 0);
  RegistryStore::resetCurrent();
  const QString registry = path("registry");
  const QByteArray hive = QFile::encodeName(registry + "/machine.sqlite");
  EXPECT_EXIT(
      {
        GiveUpFileRightsForGood();
        // A read-only moment: the window or zelkar-open --list reads meanwhile,
        // with the log's files beside the hive and without them.
        const auto files = [&] { return QDir(registry).entryList(QDir::Files, QDir::Name).join(' '); };
        QStringList said;
        for (const bool logGone : {false, true}) {
          const QString before = files();
          ::chmod(hive.constData(), 0444);
          for (const char* side : {"-wal", "-shm"})
            if (logGone) QFile::remove(registry + "/machine.sqlite" + side);
          RegistryStore::resetCurrent();
          said << "read " + modRegEdit::RegReadValue(kAppPathsFull + "notes.exe\\");
          RegistryStore::resetCurrent();
          if (!logGone && files() != before) said << "made " + files();
          // Writable again: that alone is enough.
          ::chmod(hive.constData(), 0644);
          modRegEdit::RegWriteValue(kAppPathsFull + "later.exe\\", QString::number(logGone), 0);
          RegistryStore::resetCurrent();
          said << "wrote " + modRegEdit::RegReadValue(kAppPathsFull + "later.exe\\");
        }
        std::fprintf(stderr, "%s\n", qUtf8Printable(said.join("; ")));
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "read /usr/bin/notes; wrote 0; read /usr/bin/notes; wrote 1\n");
}

TEST_F(StorePermissionsDeathTest, AnotherUsersReadNeverStopsTheOwnerOfASharedHive) {
  if (::geteuid() != 0) GTEST_SKIP() << "two users are needed";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // A machine hive in a sticky folder that everyone may write, as under /tmp.
  const QString shared = path("shared");
  EXPECT_EXIT(
      {
        // The other users pass through the test's folders (a death test's child
        // has its own inside its parent's) to reach the shared one.
        for (QDir up(dir());; up.cdUp()) {
          struct stat st {};
          const QByteArray at = QFile::encodeName(up.path());
          if (::stat(at.constData(), &st) == 0 && !(st.st_mode & S_IXOTH)) ::chmod(at.constData(), (st.st_mode & 07777) | 011);
          if (up.isRoot()) break;
        }
        QDir().mkpath(shared);
        ::chmod(QFile::encodeName(shared).constData(), 01777);
        qputenv("ZELKAR_MACHINE_HIVE", QFile::encodeName(shared + "/machine.sqlite"));
        const auto session = [&](unsigned user, const std::function<void()>& work) {
          RegistryStore::resetCurrent();
          AsUser(user, [&] {
            qputenv("ZELKAR_REGISTRY", QFile::encodeName(shared + "/user" + QString::number(user)));
            work();
            RegistryStore::resetCurrent();
          });
        };
        const QString notes = kAppPathsFull + "notes.exe\\";
        const QString later = kAppPathsFull + "later.exe\\";
        session(1001, [&] { modRegEdit::RegWriteValue(notes, "/usr/bin/notes", 0); });
        session(1002, [&] { std::fprintf(stderr, "other read %s\n", qUtf8Printable(modRegEdit::RegReadValue(notes))); });
        session(1001, [&] {
          modRegEdit::RegWriteValue(later, "/usr/bin/later", 0);
          std::fprintf(stderr, "owner wrote %s\n", qUtf8Printable(modRegEdit::RegReadValue(later)));
        });
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "other read /usr/bin/notes\nowner wrote /usr/bin/later\n");
}

}  // namespace
}  // namespace zelkar::test
