#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "store/RegistryStore.h"
#include "store/modRegEdit.h"
#include "support/StoreTest.h"

namespace zelkar::test {
namespace {

using store::Hive;
using store::Outcome;
using store::RegistryStore;
using store::StoreError;
using store::StoreLocation;
using store::Value;

const QString kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

class RegistryStoreTest : public StoreTest {
 protected:
  QString registry() const { return path("registry"); }
  QString machineFile() const { return registry() + "/machine.sqlite"; }

  static QByteArray bytesOf(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  static int mode(const QString& file) {
    struct stat info {};
    return ::stat(QFile::encodeName(file).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
  }
  // Commits made by other connections, as a second connection sees them.
  static std::int64_t dataVersion(sqlite3* observer) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(observer, "PRAGMA data_version", -1, &stmt, nullptr);
    sqlite3_step(stmt);
    const std::int64_t version = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return version;
  }
  void reopenReadOnly() {
    StoreLocation location = StoreLocation::inDirectory(registry());
    location.readOnly = true;
    RegistryStore::useLocation(location);
  }
};

// The user's hive and its journal are private, in a folder of its own or in
// an open one, under any mask.
TEST_F(RegistryStoreTest, UserHiveAndItsJournalArePrivate) {
  struct MaskScope {
    mode_t previous = ::umask(0);
    ~MaskScope() { ::umask(previous); }
  } noMask;
  for (const QString& folder : {registry(), path("open")}) {
    SCOPED_TRACE(folder.toStdString());
    if (folder != registry()) {
      ASSERT_TRUE(QDir().mkpath(folder));
      ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
      qputenv("ZELKAR_REGISTRY", QFile::encodeName(folder));
      RegistryStore::resetCurrent();
    }
    ASSERT_EQ(store().writeValue(Hive::CurrentUser, "Software\\Orbrin\\Zelkar", "Left", Value::fromDWord(5)),
              Outcome::Done);
    if (folder == registry()) {
      EXPECT_EQ(mode(folder), 0700);
    }
    // While the store is open its journal files stand beside the hive.
    for (const char* suffix : {"", "-wal", "-shm"}) {
      EXPECT_EQ(mode(folder + "/user.sqlite" + suffix), 0600) << suffix;
    }
    EXPECT_TRUE(QFileInfo::exists(folder + "/machine.sqlite"));
  }
}

TEST_F(RegistryStoreTest, NamesCompareWithoutCaseAndListInFoldedOrder) {
  for (const char* name : {"gamma", "Beta", "alpha.EXE", "Delta", "\xC3\x84rger"})
    ASSERT_EQ(store().createKey(Hive::LocalMachine, kAppPaths + u'\\' + QString::fromUtf8(name)), Outcome::Done);
  // Same key, other case: no second key, the first spelling stays.
  ASSERT_EQ(store().createKey(Hive::LocalMachine, QStringLiteral("software\\MICROSOFT\\windows\\currentversion\\"
                                                                 "app paths\\ALPHA.exe\\")),
            Outcome::Done);
  EXPECT_EQ(store().subkeys(Hive::LocalMachine, kAppPaths.toUpper()),
            (QStringList{"alpha.EXE", "Beta", "Delta", "gamma", QString::fromUtf8("\xC3\x84rger")}));
  EXPECT_EQ(store().storedPath(Hive::LocalMachine, "software\\microsoft\\WINDOWS"), "SOFTWARE\\Microsoft\\Windows");

  const QString key = kAppPaths + "\\Beta";
  ASSERT_EQ(store().writeValue(Hive::LocalMachine, key, "Path", Value::fromString("x")), Outcome::Done);
  ASSERT_EQ(store().writeValue(Hive::LocalMachine, key, "PATH", Value::fromString("y")), Outcome::Done);
  const QList<store::NamedValue> values = store().values(Hive::LocalMachine, key);
  ASSERT_EQ(values.size(), 1);
  EXPECT_EQ(values[0].name, "Path");
  EXPECT_EQ(values[0].value, Value::fromString("y"));
}

TEST_F(RegistryStoreTest, ClassesRootIsMachineSoftwareClasses) {
  ASSERT_EQ(store().writeValue(Hive::ClassesRoot, ".zkb", QString(), Value::fromString("Zelkar.File")), Outcome::Done);
  EXPECT_EQ(store().readValue(Hive::LocalMachine, "Software\\Classes\\.ZKB", QString()),
            Value::fromString("Zelkar.File"));
  EXPECT_EQ(store().subkeys(Hive::ClassesRoot, QString()), QStringList{".zkb"});
  EXPECT_EQ(store().storedPath(Hive::ClassesRoot, ".ZKB"), ".zkb");
  EXPECT_EQ(store().deleteKey(Hive::ClassesRoot, QString()), Outcome::Refused);
  EXPECT_EQ(store().deleteKey(Hive::LocalMachine, QString()), Outcome::Refused);
  EXPECT_TRUE(store().keyExists(Hive::LocalMachine, "SOFTWARE\\Classes\\.zkb"));
}

TEST_F(RegistryStoreTest, StoringTheSameValueWritesNothing) {
  const QString key = kAppPaths + "\\notes.exe";
  ASSERT_EQ(store().writeValue(Hive::LocalMachine, key, QString(), Value::fromString("/usr/bin/gedit")), Outcome::Done);
  sqlite3* observer = nullptr;
  ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(machineFile()).constData(), &observer, SQLITE_OPEN_READONLY, nullptr),
            SQLITE_OK);
  const std::int64_t before = dataVersion(observer);
  modRegEdit::RegWriteValue("HKEY_LOCAL_MACHINE\\" + kAppPaths + "\\NOTES.EXE\\", "/usr/bin/gedit", 0);
  modRegEdit::SaveString(Hive::LocalMachine, key, QString(), "/usr/bin/gedit");
  EXPECT_EQ(store().createKey(Hive::LocalMachine, key), Outcome::Done);
  EXPECT_EQ(dataVersion(observer), before);
  modRegEdit::SaveString(Hive::LocalMachine, key, QString(), "/usr/bin/kate");
  EXPECT_NE(dataVersion(observer), before);
  sqlite3_close(observer);
}

TEST_F(RegistryStoreTest, ReadOnlyStoreRefusesEveryWrite) {
  const QString key = kAppPaths + "\\notes.exe";
  ASSERT_EQ(store().writeValue(Hive::LocalMachine, key, QString(), Value::fromString("/usr/bin/gedit")), Outcome::Done);
  reopenReadOnly();
  EXPECT_FALSE(store().writable(Hive::LocalMachine));
  EXPECT_EQ(store().writeValue(Hive::LocalMachine, key, QString(), Value::fromString("/bin/x")), Outcome::Refused);
  EXPECT_EQ(store().createKey(Hive::CurrentUser, "Software\\New"), Outcome::Refused);
  EXPECT_EQ(store().deleteKey(Hive::LocalMachine, key), Outcome::Refused);
  EXPECT_EQ(store().deleteKey(Hive::LocalMachine, key + "x"), Outcome::Missing);
  // Even what is there already: the store may not be written at all.
  EXPECT_EQ(store().writeValue(Hive::LocalMachine, key, QString(), Value::fromString("/usr/bin/gedit")),
            Outcome::Refused);
  EXPECT_EQ(store().createKey(Hive::LocalMachine, key), Outcome::Refused);
  EXPECT_EQ(store().readValue(Hive::LocalMachine, key, QString()), Value::fromString("/usr/bin/gedit"));
  RegistryStore::Transaction group(store(), Hive::LocalMachine);
  EXPECT_FALSE(group.active());
  EXPECT_FALSE(group.commit());
}

TEST_F(RegistryStoreTest, FilePermissionsRefuseWrites) {
  const QString key = kAppPaths + "\\notes.exe";
  ASSERT_EQ(store().createKey(Hive::LocalMachine, key), Outcome::Done);
  RegistryStore::resetCurrent();
  ASSERT_EQ(::chmod(QFile::encodeName(machineFile()).constData(), 0444), 0);
  if (::access(QFile::encodeName(machineFile()).constData(), W_OK) == 0)
    GTEST_SKIP() << "these rights write past file permissions";
  EXPECT_EQ(store().deleteKey(Hive::LocalMachine, key), Outcome::Refused);
  EXPECT_TRUE(store().keyExists(Hive::LocalMachine, key));
}

TEST_F(RegistryStoreTest, MissingSharedMachineHiveReadsEmptyAndRefuses) {
  qputenv("ZELKAR_MACHINE_HIVE", QFile::encodeName(path("no-such-folder/machine.sqlite")));
  RegistryStore::resetCurrent();
  EXPECT_TRUE(store().subkeys(Hive::LocalMachine, QString()).isEmpty());
  EXPECT_EQ(store().createKey(Hive::LocalMachine, kAppPaths), Outcome::Refused);
  EXPECT_EQ(store().createKey(Hive::CurrentUser, "Software\\Orbrin"), Outcome::Done);
  EXPECT_FALSE(QFileInfo::exists(path("no-such-folder")));
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

}  // namespace
}  // namespace zelkar::test
