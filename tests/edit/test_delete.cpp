#include <QDir>

#include "EditTest.h"

namespace zelkar::test {
namespace {

using DeleteTest = EditTest;

void ExpectDelete(ScriptedDialogs& d, const QString& name, int answer) {
  d.expectBox("Delete " + name.toUpper() + "?",
              "Are you sure you want to delete the keyword '" + name + "' from Windows?", answer, 308);
}

TEST_F(DeleteTest, DeleteAsksThenSelectsTheNeighbour) {
  for (const QString kw : {"alpha.exe", "notepad.exe", "zeta.exe"}) Put(kw, "/opt/" + kw);
  auto f = Window();
  ScriptedDialogs dialogs;
  f->tvw->Select(5);  // notepad's target node
  ExpectDelete(dialogs, "notepad", answer::No);
  f->cmdDelete_Click();
  EXPECT_TRUE(Has("notepad.exe"));

  ExpectDelete(dialogs, "notepad", answer::Yes);
  f->cmdDelete_Click();
  EXPECT_FALSE(Has("notepad.exe"));
  EXPECT_EQ(f->tvw->SelectedItem(), 4);  // the one that followed
  EXPECT_EQ(f->txtExe->text(), "zeta.exe");

  ExpectDelete(dialogs, "zeta", answer::Yes);
  f->cmdDelete_Click();  // the last one: the one before it
  EXPECT_EQ(f->txtExe->text(), "alpha.exe");

  ExpectDelete(dialogs, "alpha", answer::Yes);
  f->cmdDelete_Click();  // the only one: the root
  EXPECT_EQ(f->tvw->SelectedItem(), 1);
  EXPECT_TRUE(f->txtExe->text().isEmpty());
  EXPECT_FALSE(f->cmdDelete->isEnabled());
}

TEST_F(DeleteTest, DeletingARenamedKeywordDeletesItsRegisteredEntry) {
  Put("calc.exe", "/c");
  Put("other.exe", "/o");
  auto f = Window();
  ScriptedDialogs dialogs;
  f->tvw->SetText(2, "other.exe");  // as a rename onto another name leaves it
  f->tvw->SetForeColor(2, colour::Red);
  f->tvw->SetTag(2, "calc.exe");
  f->tvw->Select(2);
  ExpectDelete(dialogs, "calc", answer::Yes);
  f->cmdDelete_Click();  // no question about the unregistered keyword follows
  EXPECT_FALSE(Has("calc.exe"));
  EXPECT_EQ(TargetOf("other.exe"), "/o");
}

TEST_F(DeleteTest, CleanUpDeletesOnlyMissingFiles) {
  const QString warning = "This will delete all keywords with broken targets.\r\nWould you like to proceed?";
  Put("file.exe", MakeFile("present.txt"));
  Put("web.exe", "http://example.org/a.html");
  auto f = Window();
  ScriptedDialogs dialogs;
  dialogs.expectBox("Warning", warning, answer::Yes, 308);
  f->mnuKWCU_Click();  // nothing broken: nothing happens
  EXPECT_EQ(f->tvw->Count(), 5);

  Put("gone.exe", path("missing.txt"));
  Put("dir.exe", path("no/such/folder"));
  Put("bare.exe", "someprogram.bin");
  Put("empty.exe", QString());
  f->LoadTVW(false);
  dialogs.expectBox("Warning", warning, answer::Yes, 308);
  f->mnuKWCU_Click();
  EXPECT_EQ(Keys(), (QStringList{"bare.exe", "dir.exe", "file.exe", "web.exe"}));
}

TEST_F(DeleteTest, DeleteAllByCount) {
  auto f = Window();
  ScriptedDialogs dialogs;
  dialogs.expectBox("Delete All", "There are no keywords to delete", answer::OK, 48);
  f->mnuKWDA_Click();

  Put("one.exe", "/1");
  f->LoadTVW(false);
  const QString only = "Would you like to delete the only keyword?";
  dialogs.expectBox("Delete Keyword?", only, answer::No, 308);
  f->mnuKWDA_Click();
  EXPECT_TRUE(Has("one.exe"));

  Put("two.exe", "/2");
  Put("three.exe", "/3");
  f->LoadTVW(false);
  const QString backup = "Would you like to backup the 3 keywords before you delete them all?";
  dialogs.expectBox("Delete All Keywords?", backup, answer::Cancel, 51);
  f->mnuKWDA_Click();
  dialogs.expectBox("Delete All Keywords?", backup, answer::Yes, 51).expectSave(std::nullopt);
  f->mnuKWDA_Click();  // backup refused: nothing deleted
  EXPECT_EQ(Keys().size(), 3);

  const QString file = path("before.zkb");
  dialogs.expectBox("Delete All Keywords?", backup, answer::Yes, 51).expectSave(file);
  f->mnuKWDA_Click();
  EXPECT_TRUE(QFile::exists(file));
  EXPECT_TRUE(Keys().isEmpty());
  EXPECT_EQ(f->windowTitle(), "Zelkar - 0 Keywords");
}

}  // namespace
}  // namespace zelkar::test
