// zelkar-reg on the store, and what the tools and the window say, with which
// status, of a store they cannot use: missing, busy or unreadable.
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <future>

#include "app/frmMain.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"
#include "support/ScriptedDialogs.h"
#include "support/StoreTest.h"

namespace zelkar::test {
namespace {

using store::Hive;

const QString kKey = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const QString kLong = kAppPathsFull.chopped(1);

using ZelkarRegTest = StoreTest;
using ZelkarRegDeathTest = StoreTest;

TEST_F(ZelkarRegTest, AddsQueriesAndDeletes) {
  QString out, err;
  ASSERT_EQ(RunZelkarReg({"add", kKey + "\\Gedit.exe", "--default", "--data", "/usr/bin/gedit"}, &out, &err), 0)
      << err.toStdString();
  ASSERT_EQ(RunZelkarReg({"add", kKey + "\\gedit.EXE", "--value", "Flags", "--type", "REG_DWORD", "--data", "31"}), 0);
  ASSERT_EQ(RunZelkarReg({"add", kKey + "\\gedit.exe\\Sub"}), 0);
  ASSERT_EQ(RunZelkarReg({"add", kKey + "\\b.exe", "--default", "--type", "REG_EXPAND_SZ", "--data", "%HOME%"}), 0);
  // Seen by the program's own layer, as written.
  EXPECT_EQ(modRegEdit::EnumKeys(Hive::LocalMachine, kAppPathsKey), (QStringList{"b.exe", "Gedit.exe"}));
  EXPECT_EQ(modRegEdit::GetDWord(Hive::LocalMachine, kAppPathsKey + "gedit.exe", "flags", 0), 31);
  store().writeValue(Hive::LocalMachine, kAppPathsKey + "gedit.exe", "Odd", store::Value{77, QByteArray("\x0a\xff", 2)});

  const QString gedit = kLong + "\\Gedit.exe\n    (Default)    REG_SZ    /usr/bin/gedit\n    Flags    REG_DWORD    0x1f\n"
                                "    Odd    REG_77    0AFF\n\n";
  ASSERT_EQ(RunZelkarReg({"query", kKey.toLower() + "\\GEDIT.EXE"}, &out, &err), 0) << err.toStdString();
  EXPECT_EQ(out, gedit + kLong + "\\Gedit.exe\\Sub\n");
  ASSERT_EQ(RunZelkarReg({"query", kKey, "--recursive"}, &out), 0);
  EXPECT_EQ(out, kLong + "\n\n" + kLong + "\\b.exe\n    (Default)    REG_EXPAND_SZ    %HOME%\n\n" + gedit + kLong +
                     "\\Gedit.exe\\Sub\n");
  ASSERT_EQ(RunZelkarReg({"query", kKey + "\\gedit.exe", "--value", "FLAGS"}, &out), 0);
  EXPECT_EQ(out, "0x1f\n");

  // A key with subkeys stays; the value and then the whole key go.
  EXPECT_EQ(RunZelkarReg({"delete", kKey + "\\gedit.exe"}, nullptr, &err), 1);
  EXPECT_TRUE(err.contains("subkeys")) << err.toStdString();
  EXPECT_EQ(RunZelkarReg({"delete", kKey + "\\gedit.exe", "--value", "flags"}), 0);
  EXPECT_EQ(RunZelkarReg({"delete", kKey + "\\gedit.exe\\sub"}), 0);
  EXPECT_EQ(RunZelkarReg({"delete", kKey + "\\gedit.exe"}), 0);
  EXPECT_EQ(modRegEdit::EnumKeys(Hive::LocalMachine, kAppPathsKey), QStringList{"b.exe"});
}

TEST_F(ZelkarRegTest, ExitCodesSayWhatWentWrong) {
  ASSERT_EQ(RunZelkarReg({"add", "HKCU\\Software\\Orbrin\\Zelkar", "--value", "Dir", "--data", "/tmp"}), 0);
  const QString settings = "HKCU\\Software\\Orbrin\\Zelkar";
  const std::tuple<QStringList, int, const char*> rows[] = {
      {{"query", "HKCU\\Software\\Nothing"}, 2, "not found"},
      {{"query", settings, "--value", "Nothing"}, 2, ""},
      {{"query", settings, "--default"}, 2, ""},
      {{"delete", settings, "--value", "Nothing"}, 2, ""},
      {{"delete", "HKCU\\Software\\Nothing"}, 2, ""},
      {{"delete", "HKCU"}, 1, "root"},
      {{}, 64, ""},
      {{"list", "HKCU"}, 64, ""},
      {{"query"}, 64, ""},
      {{"query", "HKEY_USERS\\x"}, 64, ""},
      {{"query", "HKCU", "--value", "a", "--default"}, 64, ""},
      {{"query", "HKCU", "--value"}, 64, ""},
      {{"add", "HKCU\\x", "--default", "--type", "REG_BINARY"}, 64, ""},
      {{"add", "HKCU\\x", "--value", "n", "--type", "REG_DWORD", "--data", "twelve"}, 64, ""},
      {{"add", "HKCU\\x", "--data", "loose"}, 64, ""},
      {{"delete", "HKCU\\x", "--recursive"}, 64, ""},
      {{"add", "HKCU\\y", "--value", "n", "--type", "REG_DWORD", "--data", "4294967295"}, 0, ""}};
  for (const auto& [args, code, says] : rows) {
    SCOPED_TRACE(args.join(' ').toStdString());
    QString err;
    EXPECT_EQ(RunZelkarReg(args, nullptr, &err), code);
    EXPECT_TRUE(code == 0 || (err.startsWith("zelkar-reg: ") && err.contains(says) && err.count('\n') == 1))
        << err.toStdString();
  }
  EXPECT_FALSE(modRegEdit::KeyExists(Hive::CurrentUser, "x"));

  // A shared machine hive that is not there and cannot be made: writes to it
  // are refused, the user's own go on.
  qputenv("ZELKAR_MACHINE_HIVE", QFile::encodeName(path("missing/machine.sqlite")));
  QString err;
  EXPECT_EQ(RunZelkarReg({"add", kKey + "\\a.exe", "--default", "--data", "x"}, nullptr, &err), 5);
  EXPECT_TRUE(err.contains(path("missing/machine.sqlite"))) << err.toStdString();
  EXPECT_EQ(RunZelkarReg({"add", "HKCU\\Software\\a", "--default", "--data", "x"}), 0);
  // A query never creates the store.
  qputenv("ZELKAR_REGISTRY", QFile::encodeName(path("none/registry")));
  EXPECT_EQ(RunZelkarReg({"query", "HKLM\\SOFTWARE"}, nullptr, &err), 2) << err.toStdString();
  EXPECT_TRUE(err.contains("key not found")) << err.toStdString();
  EXPECT_FALSE(QFileInfo::exists(path("none")));
}

// The hive file held locked, as by another program in the middle of a long
// write: for writers only, or (taking the file for itself) for readers too.
std::unique_ptr<sqlite3, int (*)(sqlite3*)> Locked(const QString& file, const char* begin) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
  std::unique_ptr<sqlite3, int (*)(sqlite3*)> held(db, sqlite3_close_v2);
  EXPECT_EQ(sqlite3_exec(db, begin, nullptr, nullptr, nullptr), SQLITE_OK);
  return held;
}

TEST_F(ZelkarRegTest, ToolsSayInWordsThatTheStoreIsBusyOrCannotBeRead) {
  modRegEdit::RegWriteValue(kAppPathsFull + "notes.exe\\", "/usr/bin/notes", 0);
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
    for (const auto& [program, args] : rows)
      running.push_back(std::async(std::launch::async, [&] { return RunProgram(program, args); }));
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

TEST_F(ZelkarRegDeathTest, TheWindowSaysABusyStoreIsBusyAndGivesNoAdviceAboutRights) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  modRegEdit::RegWriteValue(kAppPathsFull + "notes.exe\\", "/usr/bin/notes", 0);
  const auto other = Locked(path("registry/machine.sqlite"), "BEGIN IMMEDIATE");
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
