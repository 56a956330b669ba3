// The store, the layer the program reads and writes it through, and the names
// and paths of keywords.
#include <sqlite3.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "store/Keywords.h"
#include "store/PathHelpers.h"
#include "store/RegistryStore.h"
#include "store/modRegEdit.h"
#include "support/ScriptedDialogs.h"
#include "support/StoreTest.h"

namespace zelkar::test {
namespace {

using namespace zelkar::modRegEdit;
using store::Hive;
using store::Outcome;
using store::RegistryStore;
using store::Value;

const QString kAppPaths = kAppPathsKey.chopped(1);

using RegistryStoreTest = StoreTest;

// The user's hive and its journal are private under any mask.
TEST_F(RegistryStoreTest, UserHiveAndItsJournalArePrivate) {
  const auto mode = [](const QString& file) {
    struct stat info {};
    return ::stat(QFile::encodeName(file).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
  };
  const mode_t mask = ::umask(0);
  RegistryStore::resetCurrent();
  SaveDWord(Hive::CurrentUser, kSettingsKey, "Left", 5);
  ::umask(mask);
  EXPECT_EQ(mode(path("registry")), 0700);
  // While the store is open its journal files stand beside the hive.
  for (const char* suffix : {"", "-wal", "-shm"}) EXPECT_EQ(mode(path("registry/user.sqlite") + suffix), 0600) << suffix;
  EXPECT_EQ(mode(path("registry/machine.sqlite")), 0644);
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
  EXPECT_TRUE(KeyExists(Hive::LocalMachine, kAppPathsKey + "NOTEPAD.exe"));
  EXPECT_EQ(GetString(Hive::LocalMachine, kAppPaths.toLower() + "\\notepad.exe", "", "none"), "/usr/bin/gedit");
  EXPECT_EQ(RegReadValue("hkey_local_machine\\" + kAppPathsKey.toLower() + "notepad.exe\\"), "/usr/bin/gedit");

  const QString key = kAppPathsKey + "Beta";
  ASSERT_EQ(store().writeValue(Hive::LocalMachine, key, "Path", Value::fromString("x")), Outcome::Done);
  ASSERT_EQ(store().writeValue(Hive::LocalMachine, key, "PATH", Value::fromString("y")), Outcome::Done);
  const QList<store::NamedValue> values = store().values(Hive::LocalMachine, key);
  ASSERT_EQ(values.size(), 1);
  EXPECT_EQ(values[0].name, "Path");
  EXPECT_EQ(values[0].value, Value::fromString("y"));

  SaveDWord(Hive::CurrentUser, kSettingsKey, "Left", -15);
  EXPECT_EQ(GetDWord(Hive::CurrentUser, kSettingsKey.toUpper(), "LEFT", 0), -15);
  EXPECT_EQ(RegReadValue("HKCU\\" + kSettingsKey + "\\left"), "-15");
  EXPECT_EQ(GetDWord(Hive::CurrentUser, kSettingsKey, "Top", 7), 7);
}

TEST_F(RegistryStoreTest, ClassesRootIsMachineSoftwareClasses) {
  RegWriteValue("HKCR\\.zkb\\", "Zelkar.File", 0);
  // A path without a trailing "\" names a value.
  RegWriteValue("HKEY_CLASSES_ROOT\\Zelkar.File\\Shell\\Extra", "x", 0);
  EXPECT_EQ(store().readValue(Hive::LocalMachine, "Software\\Classes\\.ZKB", QString()), Value::fromString("Zelkar.File"));
  EXPECT_EQ(GetString(Hive::LocalMachine, "SOFTWARE\\Classes\\zelkar.file\\shell", "Extra", "-"), "x");
  EXPECT_EQ(GetString(Hive::LocalMachine, "SOFTWARE\\Classes\\zelkar.file\\shell", "", "-"), "-");
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

TEST_F(RegistryStoreTest, StoringTheSameValueWritesNothing) {
  const QString key = kAppPathsKey + "notes.exe";
  SaveString(Hive::LocalMachine, key, QString(), "/usr/bin/gedit");
  sqlite3* observer = nullptr;
  ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(path("registry/machine.sqlite")).constData(), &observer,
                            SQLITE_OPEN_READONLY, nullptr),
            SQLITE_OK);
  // Commits made by other connections, as a second connection sees them.
  const auto version = [observer] {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(observer, "PRAGMA data_version", -1, &stmt, nullptr);
    sqlite3_step(stmt);
    const std::int64_t number = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return number;
  };
  const std::int64_t before = version();
  RegWriteValue(kAppPathsFull + "NOTES.EXE\\", "/usr/bin/gedit", 0);
  EXPECT_EQ(store().createKey(Hive::LocalMachine, key), Outcome::Done);
  EXPECT_EQ(version(), before);
  SaveString(Hive::LocalMachine, key, QString(), "/usr/bin/kate");
  EXPECT_NE(version(), before);
  sqlite3_close(observer);
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
    {
      RegistryStore::Transaction inner(store(), Hive::CurrentUser);
      store().createKey(Hive::CurrentUser, "inner");
      EXPECT_TRUE(inner.commit());
    }
    EXPECT_TRUE(outer.commit());
  }
  EXPECT_TRUE(has("kept"));
  EXPECT_TRUE(has("inner"));
  {
    RegistryStore::Transaction dropped(store(), Hive::CurrentUser);
    store().deleteKey(Hive::CurrentUser, "kept");
  }
  EXPECT_TRUE(has("kept"));
}

TEST_F(RegistryStoreTest, DeleteKeyKeepsAKeyWithSubkeysAndSaysNothing) {
  ScriptedDialogs dialogs;  // no box may show
  RegWriteValue(kAppPathsFull + "a.exe\\", "/bin/a", 0);
  RegWriteValue(kAppPathsFull + "a.exe\\Sub\\", "/bin/sub", 0);
  DeleteKey(Hive::LocalMachine, kAppPathsKey + "missing.exe");
  DeleteKey(Hive::LocalMachine, kAppPathsKey + "a.exe");
  EXPECT_EQ(RegReadValue(kAppPathsFull + "a.exe\\"), "/bin/a");
  DeleteKey(Hive::LocalMachine, kAppPathsKey + "A.EXE\\sub");
  DeleteKey(Hive::LocalMachine, kAppPathsKey + "a.exe");
  EXPECT_FALSE(KeyExists(Hive::LocalMachine, kAppPathsKey + "a.exe"));
  // A key made again does not bring back the old values.
  SaveString(Hive::LocalMachine, kAppPathsKey + "a.exe", "Other", "x");
  EXPECT_EQ(RegReadValue(kAppPathsFull + "a.exe\\"), QString());
}

using modMain::FileProperty;
namespace property = modMain::property;

class PathHelpersTest : public StoreTest {
 protected:
  void TearDown() override {
    QDir::setCurrent(saved_);
    StoreTest::TearDown();
  }
  QString touch(const QString& name) {
    QDir().mkpath(QFileInfo(path(name)).absolutePath());
    QFile f(path(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    return f.fileName();
  }

 private:
  QString saved_ = QDir::currentPath();
};

TEST(KeywordNameTest, ExtensionsSuffixesAndForbiddenCharacters) {
  // An extension is a dot after the last separator of either kind.
  for (const char* s : {"file.txt", "/home/u/dir/", "/home/u.old/file", "C:\\x.y/file"}) EXPECT_FALSE(HasExt(s)) << s;
  for (const char* s : {"/home/u/file.txt", "C:\\dir\\file.txt", "/x/y\\file.z"}) EXPECT_TRUE(HasExt(s)) << s;
  for (const auto& [name, keyword] : {std::pair{"report.final.doc", "report.exe"}, {"readme", "readme.exe"}, {".profile", ".exe"}})
    EXPECT_EQ(AddExt(name), keyword) << name;
  for (const auto& [name, full] : {std::pair{"notepad", "notepad.exe"}, {"Notepad.EXE", "Notepad.EXE"}, {"tool.ex", "tool.ex.exe"}})
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
  const QString file = touch("p/report.txt");
  touch("p/.secret.txt");
  QDir().mkpath(path("p/folder.doc"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(path("p/fifo.log")).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link(file, path("p/link")));
  ASSERT_TRUE(QFile::link(path("nowhere"), path("p/dangling")));
  for (const char* s : {"p/report.txt", "p/link", "p/*.txt", "p/rep?rt.*", "p/report.txt**"})
    EXPECT_TRUE(FileExists(path(s))) << s;
  for (const char* s : {"p/report.txt/", "p/report.txt\\", "p", "p/.secret.txt", "p/fifo.log", "p/dangling", "p/.secret*",
                        "p/*.doc", "p/*.log", "p/report?.txt", "missing/*.txt", "*/report.txt"})
    EXPECT_FALSE(FileExists(path(s))) << s;
  EXPECT_FALSE(FileExists(QString()));
  EXPECT_FALSE(FileExists("/dev/null"));
  QDir::setCurrent(path("p"));
  EXPECT_TRUE(FileExists("*.txt"));
  EXPECT_FALSE(FileExists("Report.txt"));
}

TEST_F(PathHelpersTest, FilePropertiesAndKindsOfTarget) {
  const QString file = touch("docs/notes.txt");
  const QString roundabout = path("docs/../docs/./notes.txt");
  EXPECT_EQ(FileProperty(roundabout, property::ParentFolder), path("docs"));
  EXPECT_EQ(FileProperty(roundabout, property::ShortPath), file);
  EXPECT_EQ(modMain::GetLongPath(path("docs/")), path("docs"));
  ASSERT_TRUE(QFile::link(file, path("alias.txt")));
  EXPECT_EQ(FileProperty(path("alias.txt"), property::Path), path("alias.txt"));  // a link keeps its own place
  // Anything that is not an existing file passes through unchanged.
  for (const QString& text : QStringList{path("docs"), QString(), "http://example.org/a.txt", file + '/'})
    for (const std::int16_t kind : {6, 7, 8, 9, 10, 12, 13}) EXPECT_EQ(FileProperty(text, kind), text) << kind;
  // The type is the registered file type's description, else the MIME type's.
  modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\.zkb\\", "Zelkar.File", 0);
  modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\Zelkar.File\\", "Zelkar Backup File", 0);
  EXPECT_EQ(FileProperty(touch("OLD.ZKB"), property::Type), "Zelkar Backup File");
  EXPECT_NE(FileProperty(touch(".zkb"), property::Type), "Zelkar Backup File");  // a hidden name, no extension

  ASSERT_TRUE(QDir().mkpath(path("My App 1.0")) && QDir().mkpath(path("My App")));
  const std::pair<QString, TargetKind> kinds[] = {
      {file, TargetKind::File},
      {path("My App 1.0"), TargetKind::Broken},
      {path("My App"), TargetKind::Directory},
      {path("missing.sh"), TargetKind::Broken},
      {touch(".tool.sh"), TargetKind::Broken},
      {"https://example.org/a/b.html", TargetKind::InternetAddress},
      // A capitalised prefix is no internet keyword, yet never a broken file for Clean Up to delete.
      {"WWW.example.org/x.html", TargetKind::Directory}};
  for (const auto& [target, kind] : kinds) EXPECT_EQ(KindOfTarget(target), kind) << target.toStdString();
}

}  // namespace
}  // namespace zelkar::test
