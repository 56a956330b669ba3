#include "store/Keywords.h"
#include "store/RegistryStore.h"
#include "store/modRegEdit.h"
#include "support/ScriptedDialogs.h"
#include "support/StoreTest.h"

namespace zelkar::test {
namespace {

using namespace zelkar::modRegEdit;
using store::Hive;
using store::RegistryStore;
using store::StoreLocation;
using store::Value;

const QString kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const QString kFull = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

class RegistryAccessTest : public StoreTest {
 protected:
  void putRaw(const QString& name, std::uint32_t type, const QByteArray& data) {
    ASSERT_EQ(store().writeValue(Hive::CurrentUser, "Raw", name, Value{type, data}), store::Outcome::Done);
  }
  void reopenReadOnly() {
    StoreLocation location = StoreLocation::inDirectory(path("registry"));
    location.readOnly = true;
    RegistryStore::useLocation(location);
  }
};


TEST_F(RegistryAccessTest, BothFamiliesSeeOneStoreWithoutRegardToCase) {
  RegWriteValue(kFull + "Notepad.EXE\\", "/usr/bin/gedit", 0);
  EXPECT_EQ(GetString(Hive::LocalMachine, kAppPaths.toLower() + "\\notepad.exe", "", "none"), "/usr/bin/gedit");
  EXPECT_EQ(EnumKeys(Hive::LocalMachine, kAppPaths + u'\\'), QStringList{"Notepad.EXE"});
  EXPECT_TRUE(KeyExists(Hive::LocalMachine, kAppPaths + "\\NOTEPAD.exe"));

  SaveString(Hive::LocalMachine, kAppPaths + "\\Calc.exe", "", "/usr/bin/gnome-calculator");
  EXPECT_EQ(RegReadValue("hklm\\software\\microsoft\\windows\\currentversion\\app paths\\calc.exe\\"),
            "/usr/bin/gnome-calculator");

  // A path without a trailing "\" names a value; HKCR lands below the machine's Classes.
  RegWriteValue("HKCR\\Zelkar.File\\Shell\\Load\\command\\Extra", "x", 0);
  EXPECT_EQ(GetString(Hive::LocalMachine, "SOFTWARE\\Classes\\zelkar.file\\shell\\load\\command", "Extra", "-"), "x");
  EXPECT_EQ(RegReadValue("HKEY_CLASSES_ROOT\\Zelkar.File\\Shell\\Load\\command\\"), QString());
  EXPECT_EQ(GetString(Hive::LocalMachine, "SOFTWARE\\Classes\\Zelkar.File\\Shell\\Load\\command", "", "-"), "-");

  SaveDWord(Hive::CurrentUser, kSettingsKey, "Left", -15);
  EXPECT_EQ(GetDWord(Hive::CurrentUser, kSettingsKey.toUpper(), "LEFT", 0), -15);
  EXPECT_EQ(RegReadValue("HKCU\\" + kSettingsKey + "\\left"), "-15");
  EXPECT_EQ(GetDWord(Hive::CurrentUser, kSettingsKey, "Top", 7), 7);
}

TEST_F(RegistryAccessTest, ReadsHonourValueTypes) {
  putRaw("expand", store::type::ExpandString, QByteArray("%HOME%/bin\0", 11));
  putRaw("bare", store::type::String, QByteArray("no terminator"));
  putRaw("cut", store::type::String, QByteArray("first\0second\0", 13));
  putRaw("binary", store::type::Binary, QByteArray("\x01\x02", 2));
  putRaw("short", store::type::DWord, QByteArray("\x01\x02\x03", 3));
  putRaw("odd", 0x12345678u, QByteArray("\xff\x00", 2));
  SaveString(Hive::CurrentUser, "Raw", "text", "12");

  const auto get = [](const char* name) { return GetString(Hive::CurrentUser, "Raw", name, "default"); };
  EXPECT_EQ(get("expand"), "default");
  EXPECT_EQ(get("bare"), "no terminator");
  EXPECT_EQ(get("cut"), "first");
  EXPECT_EQ(get("binary"), "default");
  EXPECT_EQ(GetDWord(Hive::CurrentUser, "Raw", "text", 99), 99);
  EXPECT_EQ(GetDWord(Hive::CurrentUser, "Raw", "short", 99), 99);

  const auto read = [](const char* name) { return RegReadValue(QString("HKCU\\Raw\\") + name); };
  EXPECT_EQ(read("expand"), qEnvironmentVariable("HOME") + "/bin");
  EXPECT_EQ(read("cut"), "first");
  EXPECT_EQ(read("binary"), QString());
  EXPECT_EQ(read("short"), QString());
  EXPECT_EQ(read("missing"), QString());
  EXPECT_EQ(RegReadValue("HKCU\\No\\Such\\Key\\"), QString());
  EXPECT_EQ(RegReadValue("HKEY_USERS\\Raw\\text"), QString());
  SaveDWord(Hive::CurrentUser, "Raw", "all", -1);
  EXPECT_EQ(read("all"), "-1");
  EXPECT_EQ(store().readValue(Hive::CurrentUser, "Raw", "odd"), (Value{0x12345678u, QByteArray("\xff\x00", 2)}));
}

TEST_F(RegistryAccessTest, ParsesFullPaths) {
  struct Case {
    const char* full;
    Hive hive;
    const char *key, *name;
  };
  for (const Case& c :
       {Case{"hkey_local_machine\\A\\B\\", Hive::LocalMachine, "A\\B", ""},
        Case{"HKCU\\A\\Val", Hive::CurrentUser, "A", "Val"}, Case{"HKCR\\Val", Hive::ClassesRoot, "", "Val"}}) {
    Hive hive{};
    QString key, name;
    ASSERT_TRUE(ParseFullPath(c.full, hive, key, name)) << c.full;
    EXPECT_EQ(std::tuple(hive, key, name), std::tuple(c.hive, QString(c.key), QString(c.name))) << c.full;
  }
  Hive hive{};
  QString key, name;
  EXPECT_FALSE(ParseFullPath("HKEY_USERS\\A\\", hive, key, name));
  EXPECT_FALSE(ParseFullPath("HKLM", hive, key, name));
}

TEST_F(RegistryAccessTest, ListsEverySubkeyInFoldedOrderWhateverItsLength) {
  EXPECT_TRUE(EnumKeys(Hive::LocalMachine, kAppPaths).isEmpty());
  const QString longName = QString(300, u'k') + ".exe";
  for (const QString& name : QStringList{"zeta.exe", longName, "Alpha.exe", "b.exe"})
    RegWriteValue(kFull + name + u'\\', "/bin/true", 0);
  EXPECT_EQ(EnumKeys(Hive::LocalMachine, kAppPaths), (QStringList{"Alpha.exe", "b.exe", longName, "zeta.exe"}));
  EXPECT_TRUE(EnumKeys(Hive::LocalMachine, kAppPaths + "\\b.exe").isEmpty());
}

TEST_F(RegistryAccessTest, DeleteKeyIsSilentWhenItCannotDelete) {
  ScriptedDialogs dialogs;  // no box may show
  RegWriteValue(kFull + "a.exe\\", "/bin/a", 0);
  RegWriteValue(kFull + "a.exe\\Sub\\", "/bin/sub", 0);
  DeleteKey(Hive::LocalMachine, kAppPaths + "\\missing.exe");
  DeleteKey(Hive::LocalMachine, kAppPaths + "\\a.exe");
  EXPECT_EQ(RegReadValue(kFull + "a.exe\\"), "/bin/a");
  DeleteKey(Hive::LocalMachine, kAppPaths + "\\A.EXE\\sub");
  DeleteKey(Hive::LocalMachine, kAppPaths + "\\a.exe");
  EXPECT_FALSE(KeyExists(Hive::LocalMachine, kAppPaths + "\\a.exe"));
  // A key made again does not bring back the old values.
  SaveString(Hive::LocalMachine, kAppPaths + "\\a.exe", "Other", "x");
  EXPECT_EQ(RegReadValue(kFull + "a.exe\\"), QString());
}

TEST_F(RegistryAccessTest, RefusedWritesPassSilentlyWithFailModeZero) {
  RegWriteValue(kFull + "a.exe\\", "/bin/a", 0);
  SaveDWord(Hive::CurrentUser, kSettingsKey, "Top", 3);
  reopenReadOnly();
  ScriptedDialogs dialogs;  // no box may show
  RegWriteValue(kFull + "a.exe\\", "/bin/changed", 0);
  RegWriteValue(kFull + "new.exe\\", "/bin/new", 0);
  RegWriteValue("NOROOT\\x\\", "/bin/new", 0);
  SaveDWord(Hive::CurrentUser, kSettingsKey, "Top", 4);
  SaveString(Hive::CurrentUser, kSettingsKey, "Dir", "/tmp");
  DeleteKey(Hive::LocalMachine, kAppPaths + "\\a.exe");
  EXPECT_EQ(RegReadValue(kFull + "a.exe\\"), "/bin/a");
  EXPECT_EQ(EnumKeys(Hive::LocalMachine, kAppPaths), QStringList{"a.exe"});
  EXPECT_EQ(GetDWord(Hive::CurrentUser, kSettingsKey, "Top", 0), 3);
  EXPECT_EQ(GetString(Hive::CurrentUser, kSettingsKey, "Dir", "none"), "none");
}

}  // namespace
}  // namespace zelkar::test
