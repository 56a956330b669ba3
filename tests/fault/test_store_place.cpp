// The store's file or folder changes under the running window.
#include "fault/FaultTest.h"

#include "app/Controls.h"
#include "support/LabelEdit.h"

#include <functional>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

namespace zelkar::test {
namespace {

const Keywords kKept = {{"kept1.exe", "/srv/kept/1"}, {"kept2.exe", "/srv/kept/2"}, {"kept3.exe", "/srv/kept/3"}};

class StorePlace : public FaultTest {
 protected:
  // Renames the node and registers the new name.
  static void Rename(frmMain& f, int node, const QString& text) {
    RenameByLabelEdit(f, node, text);
    f.tvw->Select(node);
    f.mnuRHRegister_Click();
  }

  // Every command that writes keywords, with `before` run ahead of each. After
  // each one the tree shows what the store holds, and that is the old state
  // when the store refuses writes, the new one when it takes them.
  void EveryCommand(bool takesWrites, const std::function<void()>& before) {
    const QString list = Backup("lists/two.zkb", 2, "loaded", "/srv/loaded");
    PutAll(kKept);
    std::unique_ptr<frmMain> form = Window();
    form->show();
    ScriptedDialogs dialogs;
    Keywords expected = kKept;
    const auto check = [&](const char* step) {
      EXPECT_EQ(Tree(*form), Registered()) << step;
      EXPECT_EQ(Registered(), takesWrites ? expected : kKept) << step;
    };

    before();
    if (IsSkipped()) return;
    form->txtExe->setText("fresh");
    form->lblPath->setCaption("/srv/fresh");
    form->cmdSave_Click();
    expected["fresh.exe"] = "/srv/fresh";
    check("register");

    before();
    Rename(*form, Node(*form, "kept1.exe"), "renamed");
    expected.erase("kept1.exe");
    expected["renamed.exe"] = "/srv/kept/1";
    check("rename");

    before();
    form->tvw->Select(Node(*form, "kept2.exe"));
    dialogs.expectBox("Delete KEPT2?", "", answer::Yes);
    form->cmdDelete_Click();
    expected.erase("kept2.exe");
    check("delete");

    before();
    EXPECT_EQ(form->ImportList(list), takesWrites);
    expected.merge(Entries(2, "loaded", "/srv/loaded"));
    check("import");

    before();
    dialogs.expectSave(path("saved.zkb"));
    EXPECT_TRUE(form->SaveList());
    EXPECT_EQ(ReadEntriesOf(path("saved.zkb")), Tree(*form));

    before();
    ExpectLoadQuestion(dialogs, list, answer::Yes);
    EXPECT_EQ(form->LoadList(list), takesWrites);
    expected = Entries(2, "loaded", "/srv/loaded");
    check("load");
    EXPECT_TRUE(dialogs.allUsed());
  }

};

// An open database goes on writing its file whatever happens to the folder;
// the store must notice so that it neither writes past a read-only place nor
// loses what it writes into a removed file.
TEST_F(StorePlace, FolderRemovedWhileTheWindowRuns) {
  const QString registry = path("registry");
  EveryCommand(true, [&] { ASSERT_TRUE(QDir(registry).removeRecursively()); });
  const Keywords last = Registered();
  store::RegistryStore::resetCurrent();
  EXPECT_EQ(OnDisk(), last);
  struct stat folder {}, user {};
  ASSERT_EQ(::stat(QFile::encodeName(registry).constData(), &folder), 0);
  ASSERT_EQ(::stat(QFile::encodeName(registry + "/user.sqlite").constData(), &user), 0);
  EXPECT_EQ(folder.st_mode & 07777, 0700u);
  EXPECT_EQ(user.st_mode & 07777, 0600u);
}

TEST_F(StorePlace, FolderTurnsReadOnlyWhileTheWindowRuns) {
  EXPECT_CHILD_PASSES("StorePlaceChild.ReadOnlyStore");
  EXPECT_EQ(OnDisk(), kKept);
}

class StorePlaceChild : public StorePlace {};

TEST_F(StorePlaceChild, ReadOnlyStore) {
  if (!IsChild("StorePlaceChild.ReadOnlyStore")) GTEST_SKIP() << "runs as a child of FolderTurnsReadOnlyWhileTheWindowRuns";
  const QByteArray registry = qgetenv("ZELKAR_FAULT_REGISTRY");
  // A mount namespace of this process's own, so the read-only place is seen here only.
  if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
    GTEST_SKIP() << "cannot have a mount namespace of our own";
  UseParentStore();
  bool mounted = false;
  EveryCommand(false, [&] {
    if (mounted) return;
    mounted = ::mount(registry.constData(), registry.constData(), nullptr, MS_BIND, nullptr) == 0 &&
              ::mount(nullptr, registry.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    if (!mounted) GTEST_SKIP() << "cannot mount the store folder read-only";
  });
}

}  // namespace
}  // namespace zelkar::test
