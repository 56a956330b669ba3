// Who may read and write the keyword store.
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cstdio>
#include <functional>

#include "app/frmMain.h"
#include "store/Keywords.h"
#include "store/RegistryStore.h"
#include "store/modRegEdit.h"
#include "support/ScriptedDialogs.h"
#include "support/StoreTest.h"

namespace zelkar::test {
namespace {

using store::Hive;
using store::RegistryStore;

int Mode(const QString& file) {
  struct stat info {};
  return ::stat(QFile::encodeName(file).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

// Makes file permissions count for this thread from now on, even for root
// (access() of root goes by the permitted rights, so those go as well).
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

class StorePermissionsTest : public StoreTest {};
using StorePermissionsDeathTest = StorePermissionsTest;

TEST_F(StorePermissionsTest, UserHiveAndItsJournalArePrivateInAnyFolderUnderAnyMask) {
  struct MaskScope {
    mode_t previous = ::umask(0);
    ~MaskScope() { ::umask(previous); }
  } noMask;
  const QString registry = path("registry");
  ASSERT_TRUE(QDir().mkpath(registry));
  ASSERT_EQ(::chmod(QFile::encodeName(registry).constData(), 0777), 0);
  modRegEdit::SaveString(Hive::CurrentUser, kSettingsKey, "Dir", "/somewhere/");
  ASSERT_EQ(modRegEdit::GetString(Hive::CurrentUser, kSettingsKey, "Dir", ""), "/somewhere/");
  // While the store is open its journal files stand beside the hive.
  for (const char* suffix : {"", "-wal", "-shm"}) EXPECT_EQ(Mode(registry + "/user.sqlite" + suffix), 0600) << suffix;
}

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

TEST_F(StorePermissionsDeathTest, MachineHiveTheUserMayNotWriteEndsTheStartWithTheAdministratorMessage) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // A shared machine hive, set up by an administrator and then closed to others.
  const QString folder = path("shared");
  const QString hive = folder + "/machine.sqlite";
  ASSERT_TRUE(QDir().mkpath(folder));
  qputenv("ZELKAR_MACHINE_HIVE", QFile::encodeName(hive));
  RegistryStore::resetCurrent();
  modRegEdit::RegWriteValue(kAppPathsFull + "notes.exe\\", "/usr/bin/notes", 0);
  RegistryStore::resetCurrent();
  ASSERT_EQ(::chmod(QFile::encodeName(hive).constData(), 0444), 0);
  ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);

  EXPECT_EXIT(
      {
        GiveUpFileRightsForGood();
        RegistryStore::resetCurrent();
        std::fprintf(stderr, "machine hive writable: %d, notes: %s\n", int(store().writable(Hive::LocalMachine)),
                     qUtf8Printable(modRegEdit::RegReadValue(kAppPathsFull + "notes.exe\\")));
        ScriptedDialogs dialogs;
        dialogs.expectBox("Error", "Please log on under a user account with administrative privileges.", answer::OK,
                          16);
        EchoDialogs echo(dialogs);
        frmMain form;
        form.Form_Load();
        std::fprintf(stderr, "the start went on\n");
      },
      ::testing::ExitedWithCode(1),
      "machine hive writable: 0, notes: /usr/bin/notes\n"
      "box \\[Error\\] \\[Please log on under a user account with administrative privileges\\.\\] 16\n");
  ::chmod(QFile::encodeName(folder).constData(), 0755);
}

}  // namespace
}  // namespace zelkar::test
