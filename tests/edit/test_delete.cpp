#include "EditTest.h"

#include <QDir>

namespace zelkar::test {
namespace {

using DeleteTest = EditTest;

void ExpectDelete(ScriptedDialogs& d, const QString& name, int answer) {
  d.expectBox(QStringLiteral("Delete ") + name.toUpper() + QStringLiteral("?"),
              QStringLiteral("Are you sure you want to delete the keyword '") + name +
                  QStringLiteral("' from Windows?"),
              answer, 308);
}

TEST_F(DeleteTest, DeleteAsksThenSelectsTheNeighbour) {
  for (const QString kw : {"alpha.exe", "notepad.exe", "zeta.exe"}) Put(kw, QStringLiteral("/opt/") + kw);
  auto f = Window();
  ScriptedDialogs dialogs;
  f->tvw->Select(5);  // notepad's target node
  ExpectDelete(dialogs, QStringLiteral("notepad"), answer::No);
  f->cmdDelete_Click();
  EXPECT_TRUE(Has(QStringLiteral("notepad.exe")));

  ExpectDelete(dialogs, QStringLiteral("notepad"), answer::Yes);
  f->cmdDelete_Click();
  EXPECT_FALSE(Has(QStringLiteral("notepad.exe")));
  EXPECT_EQ(f->tvw->SelectedItem(), 4);  // the one that followed
  EXPECT_EQ(f->txtExe->text(), QStringLiteral("zeta.exe"));

  ExpectDelete(dialogs, QStringLiteral("zeta"), answer::Yes);
  f->cmdDelete_Click();  // the last one: the one before it
  EXPECT_EQ(f->txtExe->text(), QStringLiteral("alpha.exe"));

  ExpectDelete(dialogs, QStringLiteral("alpha"), answer::Yes);
  f->cmdDelete_Click();  // the only one: the root
  EXPECT_EQ(f->tvw->SelectedItem(), 1);
  EXPECT_TRUE(f->txtExe->text().isEmpty());
  EXPECT_FALSE(f->cmdDelete->isEnabled());
}

TEST_F(DeleteTest, DeletingARenamedKeywordDeletesItsRegisteredEntry) {
  Put(QStringLiteral("calc.exe"), QStringLiteral("/c"));
  Put(QStringLiteral("other.exe"), QStringLiteral("/o"));
  auto f = Window();
  ScriptedDialogs dialogs;
  f->tvw->SetText(2, QStringLiteral("other.exe"));  // as a rename onto another name leaves it
  f->tvw->SetForeColor(2, colour::Red);
  f->tvw->SetTag(2, QStringLiteral("calc.exe"));
  f->tvw->Select(2);
  ExpectDelete(dialogs, QStringLiteral("calc"), answer::Yes);
  f->cmdDelete_Click();  // no question about the unregistered keyword follows
  EXPECT_FALSE(Has(QStringLiteral("calc.exe")));
  EXPECT_EQ(TargetOf(QStringLiteral("other.exe")), QStringLiteral("/o"));
}

TEST_F(DeleteTest, CleanUpDeletesOnlyMissingFiles) {
  const QString warning = QStringLiteral("This will delete all keywords with broken targets.\r\nWould you like to proceed?");
  Put(QStringLiteral("file.exe"), MakeFile(QStringLiteral("present.txt")));
  Put(QStringLiteral("web.exe"), QStringLiteral("http://example.org/a.html"));
  auto f = Window();
  ScriptedDialogs dialogs;
  dialogs.expectBox(QStringLiteral("Warning"), warning, answer::Yes, 308);
  f->mnuKWCU_Click();  // nothing broken: nothing happens
  EXPECT_EQ(f->tvw->Count(), 5);

  Put(QStringLiteral("gone.exe"), path(QStringLiteral("missing.txt")));
  Put(QStringLiteral("dir.exe"), path(QStringLiteral("no/such/folder")));
  Put(QStringLiteral("bare.exe"), QStringLiteral("someprogram.bin"));
  Put(QStringLiteral("empty.exe"), QString());
  f->LoadTVW(false);
  dialogs.expectBox(QStringLiteral("Warning"), warning, answer::Yes, 308);
  f->mnuKWCU_Click();
  EXPECT_EQ(Keys(), (QStringList{"bare.exe", "dir.exe", "file.exe", "web.exe"}));
}

TEST_F(DeleteTest, DeleteAllByCount) {
  auto f = Window();
  ScriptedDialogs dialogs;
  dialogs.expectBox(QStringLiteral("Delete All"), QStringLiteral("There are no keywords to delete"), answer::OK, 48);
  f->mnuKWDA_Click();

  Put(QStringLiteral("one.exe"), QStringLiteral("/1"));
  f->LoadTVW(false);
  const QString only = QStringLiteral("Would you like to delete the only keyword?");
  dialogs.expectBox(QStringLiteral("Delete Keyword?"), only, answer::No, 308);
  f->mnuKWDA_Click();
  EXPECT_TRUE(Has(QStringLiteral("one.exe")));

  Put(QStringLiteral("two.exe"), QStringLiteral("/2"));
  Put(QStringLiteral("three.exe"), QStringLiteral("/3"));
  f->LoadTVW(false);
  const QString backup = QStringLiteral("Would you like to backup the 3 keywords before you delete them all?");
  dialogs.expectBox(QStringLiteral("Delete All Keywords?"), backup, answer::Cancel, 51);
  f->mnuKWDA_Click();
  dialogs.expectBox(QStringLiteral("Delete All Keywords?"), backup, answer::Yes, 51).expectSave(std::nullopt);
  f->mnuKWDA_Click();  // backup refused: nothing deleted
  EXPECT_EQ(Keys().size(), 3);

  const QString file = path(QStringLiteral("before.zkb"));
  dialogs.expectBox(QStringLiteral("Delete All Keywords?"), backup, answer::Yes, 51).expectSave(file);
  f->mnuKWDA_Click();
  EXPECT_TRUE(QFile::exists(file));
  EXPECT_TRUE(Keys().isEmpty());
  EXPECT_EQ(f->windowTitle(), QStringLiteral("Zelkar - 0 Keywords"));
}

}  // namespace
}  // namespace zelkar::test
