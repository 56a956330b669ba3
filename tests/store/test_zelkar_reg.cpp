#include <QDir>
#include <QFile>

#include "store/RegistryStore.h"
#include "store/modRegEdit.h"
#include "support/StoreTest.h"

namespace zelkar::test {
namespace {

using store::Hive;
using store::Value;

const QString kKey = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const QString kLong = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

class ZelkarRegTest : public StoreTest {};

TEST_F(ZelkarRegTest, AddsQueriesAndDeletes) {
  QString out, err;
  ASSERT_EQ(RunZelkarReg({"add", kKey + "\\Gedit.exe", "--default", "--data", "/usr/bin/gedit"}, &out, &err), 0)
      << err.toStdString();
  ASSERT_EQ(RunZelkarReg({"add", kKey + "\\gedit.EXE", "--value", "Flags", "--type", "REG_DWORD", "--data", "31"}), 0);
  ASSERT_EQ(RunZelkarReg({"add", kKey + "\\gedit.exe\\Sub"}), 0);
  ASSERT_EQ(RunZelkarReg({"add", kKey + "\\b.exe", "--default", "--type", "REG_EXPAND_SZ", "--data", "%HOME%"}), 0);
  // Seen by the program's own layer, as written.
  EXPECT_EQ(modRegEdit::EnumKeys(Hive::LocalMachine, kKey.mid(5)), (QStringList{"b.exe", "Gedit.exe"}));
  EXPECT_EQ(modRegEdit::GetDWord(Hive::LocalMachine, kKey.mid(5) + "\\gedit.exe", "flags", 0), 31);
  store().writeValue(Hive::LocalMachine, kKey.mid(5) + "\\gedit.exe", "Odd", Value{77, QByteArray("\x0a\xff", 2)});

  ASSERT_EQ(RunZelkarReg({"query", kKey.toLower() + "\\GEDIT.EXE"}, &out, &err), 0) << err.toStdString();
  EXPECT_EQ(out, kLong +
                     "\\Gedit.exe\n"
                     "    (Default)    REG_SZ    /usr/bin/gedit\n"
                     "    Flags    REG_DWORD    0x1f\n"
                     "    Odd    REG_77    0AFF\n"
                     "\n" +
                     kLong + "\\Gedit.exe\\Sub\n");
  ASSERT_EQ(RunZelkarReg({"query", kKey, "--recursive"}, &out), 0);
  EXPECT_EQ(out, kLong + "\n\n" + kLong + "\\b.exe\n    (Default)    REG_EXPAND_SZ    %HOME%\n\n" + kLong +
                     "\\Gedit.exe\n    (Default)    REG_SZ    /usr/bin/gedit\n    Flags    REG_DWORD    0x1f\n"
                     "    Odd    REG_77    0AFF\n\n" +
                     kLong + "\\Gedit.exe\\Sub\n");
  ASSERT_EQ(RunZelkarReg({"query", kKey + "\\gedit.exe", "--value", "FLAGS"}, &out), 0);
  EXPECT_EQ(out, "0x1f\n");

  // A key with subkeys stays; the value and then the whole key go.
  EXPECT_EQ(RunZelkarReg({"delete", kKey + "\\gedit.exe"}, nullptr, &err), 1);
  EXPECT_TRUE(err.contains("subkeys")) << err.toStdString();
  EXPECT_EQ(RunZelkarReg({"delete", kKey + "\\gedit.exe", "--value", "flags"}), 0);
  EXPECT_EQ(RunZelkarReg({"delete", kKey + "\\gedit.exe\\sub"}), 0);
  EXPECT_EQ(RunZelkarReg({"delete", kKey + "\\gedit.exe"}), 0);
  EXPECT_EQ(modRegEdit::EnumKeys(Hive::LocalMachine, kKey.mid(5)), QStringList{"b.exe"});
}

TEST_F(ZelkarRegTest, ExitCodesSayWhatWentWrong) {
  QString err;
  const auto code = [&err](const QStringList& args) { return RunZelkarReg(args, nullptr, &err); };
  ASSERT_EQ(code({"add", "HKCU\\Software\\Orbrin\\Zelkar", "--value", "Dir", "--data", "/tmp"}), 0);

  EXPECT_EQ(code({"query", "HKCU\\Software\\Nothing"}), 2);
  EXPECT_TRUE(err.contains("not found")) << err.toStdString();
  EXPECT_EQ(code({"query", "HKCU\\Software\\Orbrin\\Zelkar", "--value", "Nothing"}), 2);
  EXPECT_EQ(code({"query", "HKCU\\Software\\Orbrin\\Zelkar", "--default"}), 2);
  EXPECT_EQ(code({"delete", "HKCU\\Software\\Orbrin\\Zelkar", "--value", "Nothing"}), 2);
  EXPECT_EQ(code({"delete", "HKCU\\Software\\Nothing"}), 2);
  EXPECT_EQ(err.count('\n'), 1) << err.toStdString();

  for (const QStringList& bad :
       QList<QStringList>{{},
                          {"list", "HKCU"},
                          {"query"},
                          {"query", "HKEY_USERS\\x"},
                          {"query", "HKCU", "--value", "a", "--default"},
                          {"query", "HKCU", "--value"},
                          {"add", "HKCU\\x", "--default", "--type", "REG_BINARY"},
                          {"add", "HKCU\\x", "--value", "n", "--type", "REG_DWORD", "--data", "twelve"},
                          {"add", "HKCU\\x", "--data", "loose"},
                          {"delete", "HKCU\\x", "--recursive"}}) {
    EXPECT_EQ(code(bad), 64) << bad.join(' ').toStdString();
    EXPECT_TRUE(err.startsWith("zelkar-reg: ") && err.count('\n') == 1) << err.toStdString();
  }
  EXPECT_FALSE(modRegEdit::KeyExists(Hive::CurrentUser, "x"));
  EXPECT_EQ(code({"delete", "HKCU"}), 1);
  EXPECT_TRUE(err.contains("root")) << err.toStdString();
  EXPECT_EQ(code({"add", "HKCU\\x", "--value", "n", "--type", "REG_DWORD", "--data", "4294967295"}), 0);
}

TEST_F(ZelkarRegTest, SharedHiveThatCannotBeMade) {
  QString err;
  // Not there and cannot be made: reads are empty, writes refused.
  qputenv("ZELKAR_MACHINE_HIVE", QFile::encodeName(path("missing/machine.sqlite")));
  EXPECT_EQ(RunZelkarReg({"add", kKey + "\\a.exe", "--default", "--data", "x"}, nullptr, &err), 5);
  EXPECT_TRUE(err.contains(path("missing/machine.sqlite"))) << err.toStdString();
  EXPECT_EQ(RunZelkarReg({"add", "HKCU\\Software\\a", "--default", "--data", "x"}), 0);
}

}  // namespace
}  // namespace zelkar::test
