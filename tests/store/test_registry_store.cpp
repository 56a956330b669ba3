// The store, the layer the program reads and writes it through, zelkar-reg,
// and the names and paths of keywords.
#include <sys/stat.h>

#include "store/Keywords.h"
#include "store/PathHelpers.h"
#include "store/RegistryStore.h"
#include "store/modRegEdit.h"
#include "support/StoreTest.h"

namespace zelkar::test {
namespace {

using namespace zelkar::modRegEdit;
using store::Hive;
using store::Outcome;
using store::RegistryStore;
using store::Value;

const QString kAppPaths = kAppPathsKey.chopped(1);
const QString kKey = "HKLM\\" + kAppPaths;
const QString kLong = kAppPathsFull.chopped(1);

using RegistryStoreTest = StoreTest;
using ZelkarRegTest = StoreTest;

// The user's hive, its journal and their folder are private under any mask.
TEST_F(RegistryStoreTest, UserHiveAndItsJournalArePrivate) {
  const mode_t mask = ::umask(0);
  SaveDWord(Hive::CurrentUser, kSettingsKey, "Left", 5);
  ::umask(mask);
  for (const char* name : {"", "/user.sqlite", "/user.sqlite-wal", "/user.sqlite-shm"}) {
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path("registry") + name).constData(), &info), 0) << name;
    EXPECT_EQ(info.st_mode & 0777, *name ? 0600u : 0700u) << name;
  }
}

TEST_F(RegistryStoreTest, NamesCompareWithoutCaseAndListInFoldedOrder) {
  const QString longName = QString(300, u'k') + ".exe";
  for (const QString& name : {QString("gamma"), QString("Beta"), QString("alpha.EXE"), QString("\u00C4rger"), longName})
    ASSERT_EQ(store().createKey(Hive::LocalMachine, kAppPathsKey + name), Outcome::Done);
  RegWriteValue(kAppPathsFull + "Notepad.EXE\\", "/usr/bin/gedit", 0);
  // Same key, other case: no second key, the first spelling stays.
  ASSERT_EQ(store().createKey(Hive::LocalMachine, kAppPathsKey.toLower() + "ALPHA.exe\\"), Outcome::Done);
  EXPECT_EQ(EnumKeys(Hive::LocalMachine, kAppPaths.toUpper()),
            (QStringList{"alpha.EXE", "Beta", "gamma", longName, "Notepad.EXE", "\u00C4rger"}));
  EXPECT_TRUE(EnumKeys(Hive::LocalMachine, kAppPathsKey + "Beta").isEmpty());
  EXPECT_EQ(store().storedPath(Hive::LocalMachine, "software\\microsoft\\WINDOWS"), "SOFTWARE\\Microsoft\\Windows");
  EXPECT_EQ(GetString(Hive::LocalMachine, kAppPaths.toLower() + "\\notepad.exe", "", "none"), "/usr/bin/gedit");
  EXPECT_EQ(RegReadValue("hkey_local_machine\\" + kAppPathsKey.toLower() + "notepad.exe\\"), "/usr/bin/gedit");

  const QString key = kAppPathsKey + "Beta";
  ASSERT_EQ(store().writeValue(Hive::LocalMachine, key, "Path", Value::fromString("x")), Outcome::Done);
  ASSERT_EQ(store().writeValue(Hive::LocalMachine, key, "PATH", Value::fromString("y")), Outcome::Done);
  const QList<store::NamedValue> values = store().values(Hive::LocalMachine, key);
  ASSERT_EQ(values.size(), 1);
  EXPECT_EQ(values[0].name, "Path");
  EXPECT_EQ(values[0].value, Value::fromString("y"));
}

TEST_F(RegistryStoreTest, ClassesRootIsMachineSoftwareClasses) {
  RegWriteValue("HKCR\\.zkb\\", "Zelkar.File", 0);
  // A path without a trailing "\" names a value.
  RegWriteValue("HKEY_CLASSES_ROOT\\Zelkar.File\\Shell\\Extra", "x", 0);
  EXPECT_EQ(GetString(Hive::LocalMachine, "Software\\Classes\\.ZKB", "", "-"), "Zelkar.File");
  EXPECT_EQ(GetString(Hive::LocalMachine, "SOFTWARE\\Classes\\zelkar.file\\shell", "Extra", "-"), "x");
  EXPECT_EQ(store().subkeys(Hive::ClassesRoot, QString()), (QStringList{".zkb", "Zelkar.File"}));
  EXPECT_EQ(store().storedPath(Hive::ClassesRoot, ".ZKB"), ".zkb");
  EXPECT_EQ(store().deleteKey(Hive::ClassesRoot, QString()), Outcome::Refused);
  EXPECT_EQ(store().deleteKey(Hive::LocalMachine, QString()), Outcome::Refused);
  EXPECT_TRUE(store().keyExists(Hive::LocalMachine, "SOFTWARE\\Classes\\.zkb"));
}

TEST_F(RegistryStoreTest, ReadsHonourValueTypes) {
  const auto put = [this](const char* name, std::uint32_t type, const QByteArray& data) {
    ASSERT_EQ(store().writeValue(Hive::CurrentUser, "Raw", name, Value{type, data}), Outcome::Done);
  };
  put("expand", store::type::ExpandString, QByteArray("%HOME%/bin\0", 11));
  put("bare", store::type::String, QByteArray("no terminator"));
  put("cut", store::type::String, QByteArray("first\0second\0", 13));
  put("binary", store::type::Binary, QByteArray("\x01\x02", 2));
  put("short", store::type::DWord, QByteArray("\x01\x02\x03", 3));
  SaveString(Hive::CurrentUser, "Raw", "text", "12");
  SaveDWord(Hive::CurrentUser, "Raw", "all", -1);
  // name, as GetString reads it, as RegReadValue reads it
  const std::tuple<const char*, QString, QString> rows[] = {
      {"expand", "default", qEnvironmentVariable("HOME") + "/bin"},
      {"bare", "no terminator", "no terminator"},
      {"cut", "first", "first"},
      {"binary", "default", ""},
      {"short", "default", ""},
      {"missing", "default", ""},
      {"all", "default", "-1"}};
  for (const auto& [name, got, read] : rows) {
    EXPECT_EQ(GetString(Hive::CurrentUser, "Raw", name, "default"), got) << name;
    EXPECT_EQ(RegReadValue(QString("HKCU\\Raw\\") + name), read) << name;
  }
  EXPECT_EQ(GetDWord(Hive::CurrentUser, "Raw", "text", 99), 99);
  EXPECT_EQ(GetDWord(Hive::CurrentUser, "Raw", "short", 99), 99);
  for (const char* unknown : {"HKCU\\No\\Such\\Key\\", "HKEY_USERS\\Raw\\text", "HKCU"})
    EXPECT_EQ(RegReadValue(unknown), QString()) << unknown;
}

TEST_F(RegistryStoreTest, TransactionsCommitRollBackAndNest) {
  const auto has = [this](const char* name) { return store().keyExists(Hive::CurrentUser, QString::fromUtf8(name)); };
  {
    RegistryStore::Transaction outer(store(), Hive::CurrentUser);
    ASSERT_TRUE(outer.active());
    store().createKey(Hive::CurrentUser, "kept");
    {
      RegistryStore::Transaction inner(store(), Hive::CurrentUser);
      store().createKey(Hive::CurrentUser, "undone");
      EXPECT_TRUE(has("undone"));
    }
    EXPECT_FALSE(has("undone"));
    EXPECT_TRUE(outer.commit());
  }
  EXPECT_TRUE(has("kept"));
}

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
  store().writeValue(Hive::LocalMachine, kAppPathsKey + "gedit.exe", "Odd", Value{77, QByteArray("\x0a\xff", 2)});

  const QString gedit = kLong + "\\Gedit.exe\n    (Default)    REG_SZ    /usr/bin/gedit\n"
                                "    Flags    REG_DWORD    0x1f\n    Odd    REG_77    0AFF\n\n";
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

using modMain::FileProperty;
namespace property = modMain::property;

using PathHelpersTest = StoreTest;

TEST(KeywordNameTest, ExtensionsSuffixesAndForbiddenCharacters) {
  // An extension is a dot after the last separator of either kind.
  for (const char* s : {"file.txt", "/home/u/dir/", "/home/u.old/file", "C:\\x.y/file"}) EXPECT_FALSE(HasExt(s)) << s;
  for (const char* s : {"/home/u/file.txt", "C:\\dir\\file.txt", "/x/y\\file.z"}) EXPECT_TRUE(HasExt(s)) << s;
  for (const auto& [name, keyword] : {std::pair{"report.final.doc", "report.exe"}, {"readme", "readme.exe"}})
    EXPECT_EQ(AddExt(name), keyword) << name;
  for (const auto& [name, full] : {std::pair{"Notepad.EXE", "Notepad.EXE"}, {"tool.ex", "tool.ex.exe"}})
    EXPECT_EQ(WithExeSuffix(name), full) << name;
  EXPECT_FALSE(HasForbiddenKeywordChars("my_prog.exe"));
  for (const QChar c : QStringLiteral(" \\/:*?\"<>|")) {
    const QString name = QString("ab") + c;
    EXPECT_TRUE(HasForbiddenKeywordChars(name)) << name.toStdString();
    EXPECT_EQ(ReplaceForbiddenKeywordChars(name), "ab_");
  }
  EXPECT_EQ(ReplaceForbiddenKeywordChars("a:b|c"), "a_b_c");
}

TEST_F(PathHelpersTest, FileExistsOnlyForVisibleOrdinaryFilesAndPatternsOfThem) {
  const QString file = MakeFile("p/report.txt");
  MakeFile("p/.secret.txt");
  QDir().mkpath(path("p/folder.doc"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(path("p/fifo.log")).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link(file, path("p/link")));
  ASSERT_TRUE(QFile::link(path("nowhere"), path("p/dangling")));
  for (const char* s : {"p/report.txt", "p/link", "p/*.txt", "p/rep?rt.*", "p/report.txt**"})
    EXPECT_TRUE(FileExists(path(s))) << s;
  for (const char* s : {"p/report.txt/", "p/report.txt\\", "p", "p/.secret.txt", "p/fifo.log", "p/dangling",
                        "p/.secret*", "p/*.doc", "p/*.log", "p/report?.txt", "missing/*.txt", "*/report.txt"})
    EXPECT_FALSE(FileExists(path(s))) << s;
  EXPECT_FALSE(FileExists(QString()));
  EXPECT_FALSE(FileExists("/dev/null"));
  const CurrentFolder inside(path("p"));
  EXPECT_TRUE(FileExists("*.txt"));
  EXPECT_FALSE(FileExists("Report.txt"));
}

TEST_F(PathHelpersTest, FilePropertiesAndKindsOfTarget) {
  const QString file = MakeFile("docs/notes.txt");
  const QString roundabout = path("docs/../docs/./notes.txt");
  for (const auto& [kind, expected] : {std::pair{property::ParentFolder, path("docs")}, {property::ShortPath, file},
                                      {property::LongPath, file}, {std::int16_t(11), roundabout}})
    EXPECT_EQ(FileProperty(roundabout, kind), expected) << kind;
  EXPECT_EQ(modMain::GetSpecialFolder(37), "???");
  ASSERT_TRUE(QFile::link(file, path("alias.txt")));
  EXPECT_EQ(FileProperty(path("alias.txt"), property::Path), path("alias.txt"));  // a link keeps its own place
  // Anything that is not an existing file passes through unchanged.
  for (const QString& text : QStringList{path("docs"), QString(), "http://example.org/a.txt", file + '/'})
    for (const std::int16_t kind : {6, 7, 8, 9, 10, 12, 13}) EXPECT_EQ(FileProperty(text, kind), text) << kind;
  // The type is the registered file type's description, else the MIME type's.
  modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\.zkb\\", "Zelkar.File", 0);
  modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\Zelkar.File\\", "Zelkar Backup File", 0);
  EXPECT_EQ(FileProperty(MakeFile("OLD.ZKB"), property::Type), "Zelkar Backup File");
  EXPECT_NE(FileProperty(MakeFile(".zkb"), property::Type), "Zelkar Backup File");  // a hidden name, no extension

  ASSERT_TRUE(QDir().mkpath(path("My App 1.0")) && QDir().mkpath(path("My App")));
  const std::pair<QString, TargetKind> kinds[] = {
      {file, TargetKind::File},
      {path("My App 1.0"), TargetKind::Broken},
      {path("My App"), TargetKind::Directory},
      {path("missing.sh"), TargetKind::Broken},
      {MakeFile(".tool.sh"), TargetKind::Broken},
      {"https://example.org/a/b.html", TargetKind::InternetAddress},
      // A capitalised prefix is no internet keyword, yet never a broken file for Clean Up to delete.
      {"WWW.example.org/x.html", TargetKind::Directory}};
  for (const auto& [target, kind] : kinds) EXPECT_EQ(KindOfTarget(target), kind) << target.toStdString();
}

}  // namespace
}  // namespace zelkar::test
