// The store's folder removed under the running window.
#include "support/BackupTest.h"

#include "app/Controls.h"
#include "support/LabelEdit.h"

#include <sys/stat.h>

namespace zelkar::test {
namespace {

using StorePlace = BackupTest;

// An open database goes on writing its file whatever happens to the folder;
// the store must notice so that it does not lose what it writes into a
// removed file. Before every command that writes keywords the folder goes;
// after it the tree and the store hold the command's work.
TEST_F(StorePlace, FolderRemovedWhileTheWindowRuns) {
  const QString list = Backup("lists/two.zkb", 2, "loaded", "/srv/loaded");
  Keywords expected = Entries(3, "kept", "/srv/kept");
  PutAll(expected);
  std::unique_ptr<frmMain> form = Window();
  form->show();
  ScriptedDialogs dialogs;
  const QString registry = path("registry");
  const auto removeFolder = [&] { ASSERT_TRUE(QDir(registry).removeRecursively()); };
  const auto check = [&](const char* step) {
    EXPECT_EQ(Tree(*form), Registered()) << step;
    EXPECT_EQ(Registered(), expected) << step;
  };

  removeFolder();
  form->txtExe->setText("fresh");
  form->lblPath->setCaption("/srv/fresh");
  form->cmdSave_Click();
  expected["fresh.exe"] = "/srv/fresh";
  check("register");

  removeFolder();
  const int node = Node(*form, "kept1.exe");
  RenameByLabelEdit(*form, node, "renamed");
  form->tvw->Select(node);
  form->mnuRHRegister_Click();
  expected.erase("kept1.exe");
  expected["renamed.exe"] = "/srv/kept/1";
  check("rename");

  removeFolder();
  form->tvw->Select(Node(*form, "kept2.exe"));
  dialogs.expectBox("Delete KEPT2?", "", answer::Yes);
  form->cmdDelete_Click();
  expected.erase("kept2.exe");
  check("delete");

  removeFolder();
  EXPECT_TRUE(form->ImportList(list));
  expected.merge(Entries(2, "loaded", "/srv/loaded"));
  check("import");

  removeFolder();
  dialogs.expectSave(path("saved.zkb"));
  EXPECT_TRUE(form->SaveList());
  EXPECT_EQ(ReadEntriesOf(path("saved.zkb")), Tree(*form));

  removeFolder();
  ExpectLoadQuestion(dialogs, list, answer::Yes);
  EXPECT_TRUE(form->LoadList(list));
  expected = Entries(2, "loaded", "/srv/loaded");
  check("load");
  EXPECT_TRUE(dialogs.allUsed());

  // The folder and the hive come back as private as they were made at first.
  store::RegistryStore::resetCurrent();
  EXPECT_EQ(OnDisk(), expected);
  struct stat folder {}, user {};
  ASSERT_EQ(::stat(QFile::encodeName(registry).constData(), &folder), 0);
  ASSERT_EQ(::stat(QFile::encodeName(registry + "/user.sqlite").constData(), &user), 0);
  EXPECT_EQ(folder.st_mode & 07777, 0700u);
  EXPECT_EQ(user.st_mode & 07777, 0600u);
}

}  // namespace
}  // namespace zelkar::test
