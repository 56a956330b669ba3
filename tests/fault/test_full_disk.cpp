// No room left for what a command writes.
#include "support/BackupTest.h"

#include "app/modMain.h"

#include <csignal>

#include <sys/resource.h>

namespace zelkar::test {
namespace {

// Files of this process cannot grow past `bytes` while it lives: a write past
// that fails as on a full disk instead of raising a signal.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    savedSignal_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    set_ = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, savedSignal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool set() const { return set_; }

 private:
  rlimit saved_{};
  void (*savedSignal_)(int) = SIG_DFL;
  bool set_ = false;
};

using FullDisk = BackupTest;

TEST_F(FullDisk, BackupCommandsFailAndLeaveFilesAndKeywordsAsTheyWere) {
  const Keywords kept = Entries(150, "kept", "/srv/a/rather/long/target/folder/for/keyword");
  PutAll(kept);
  const QString small = Backup("lists/small.zkb", 1, "small", "/srv/small");
  const QString large = Backup("lists/large.zkb", 2000, "loaded", "/srv/loaded");
  QByteArray oldText;
  for (int i = 0; i < 400; ++i) oldText += QStringLiteral("\"old%1.exe\",\"/srv/old/%1\"\r\n").arg(i).toUtf8();
  const QString oldFormat = Write("lists/old.zkb", oldText);
  const QByteArray smallBytes = Bytes(small), largeBytes = Bytes(large);
  // Every write to the store from here starts a journal of its own.
  store::RegistryStore::resetCurrent();
  std::unique_ptr<frmMain> form = Window();
  const int marked = Node(*form, "kept7.exe");
  form->tvw->Select(marked);
  form->mnuHMFE_Click();
  ScriptedDialogs dialogs;
  {
    FileSizeLimit limit(8192);
    ASSERT_TRUE(limit.set());
    dialogs.expectSave(small).expectSave(path("lists/new.zkb"));
    EXPECT_FALSE(form->SaveList());
    EXPECT_FALSE(form->SaveList());
    dialogs.expectSave(small).expectBoxTitled("Overwrite Duplicate Keywords?", answer::Yes);
    EXPECT_FALSE(form->Export(true));
    EXPECT_EQ(form->tvw->ForeColor(marked), colour::Blue);
    dialogs.expectBoxTitled("Error", answer::OK);
    form->ReformatZKB(oldFormat);
    ExpectLoadQuestion(dialogs, large, answer::Yes);
    EXPECT_FALSE(form->LoadList(large));
    ExpectLoadQuestion(dialogs, oldFormat, answer::Yes);
    dialogs.expectBoxTitled("Format Error", answer::Yes).expectBoxTitled("Error", answer::OK);
    EXPECT_FALSE(form->LoadList(oldFormat));
  }
  EXPECT_TRUE(dialogs.allUsed());
  EXPECT_EQ(Bytes(small), smallBytes);
  EXPECT_EQ(Bytes(large), largeBytes);
  EXPECT_EQ(Bytes(oldFormat), oldText);
  EXPECT_EQ(FilesIn("lists"), (QStringList{"large.zkb", "old.zkb", "small.zkb"}));
  EXPECT_EQ(Tree(*form), kept);
  EXPECT_EQ(Slots(), QStringList(5, ""));
  EXPECT_EQ(OnDisk(), kept);
}

TEST_F(FullDisk, TheStoreSaysTheDiskIsFullNotThatItIsDamaged) {
  // A write that finds no room.
  PutAll(Entries(20, "kept", "/srv/kept"));
  store::RegistryStore::resetCurrent();
  QString err;
  {
    FileSizeLimit limit(QFileInfo(path("registry/machine.sqlite")).size() + 1234);
    ASSERT_TRUE(limit.set());
    EXPECT_EQ(RunZelkarReg({"add", kAppPathsFull + "big.exe\\", "--default", "--data", QString(60000, 'x')}, nullptr, &err), 6);
  }
  EXPECT_TRUE(err.contains("the disk is full")) << err.toStdString();

  // A store that cannot even be set up.
  const QString folder = path("new");
  qputenv("ZELKAR_REGISTRY", QFile::encodeName(folder));
  store::RegistryStore::resetCurrent();
  ScriptedDialogs dialogs;
  dialogs.expectBox("Zelkar",
                    "The registry file \"" + folder + "/user.sqlite\" cannot be used: the disk is full.\r\n\r\n"
                    "Zelkar leaves the file as it is and does not start.",
                    answer::OK, 16);
  FileSizeLimit limit(1000);
  ASSERT_TRUE(limit.set());
  EXPECT_FALSE(modMain::OpenStore());
}

}  // namespace
}  // namespace zelkar::test
