// Registering, renaming and deleting keywords from the window.
#include <QLineEdit>
#include <QTreeWidget>

#include "support/LabelEdit.h"
#include "support/WindowTest.h"

namespace zelkar::test {
namespace {

using KeywordsTest = WindowTest;

TEST_F(KeywordsTest, RegisterFixesTheNameAddsTheSuffixAndAsksBeforeOverwriting) {
  Put("x.exe", "/old");
  auto f = Window();
  ScriptedDialogs dialogs;
  f->lblPath->setCaption("/opt/t");
  const struct {
    const char* typed;
    QString key;
    bool forbidden = false;
  } rows[] = {{"my prog", "my_prog.exe", true}, {"a:b|c", "a_b_c.exe", true}, {"notepad", "notepad.exe"},
              {"Calc.EXE", "Calc.EXE"},          {"tool.ex", "tool.ex.exe"},     {"ab", "ab.exe"}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.typed);
    f->txtExe->setText(QString::fromUtf8(r.typed));
    if (r.forbidden) {
      dialogs.expectBox("Error", ForbiddenKeywordCharsMessage(), answer::OK, 16);
      f->cmdSave_Click();  // the name is corrected; the second press registers it
      EXPECT_EQ(f->txtExe->text(), r.key.chopped(4));
      EXPECT_FALSE(Has(r.key));
    }
    f->cmdSave_Click();
    EXPECT_EQ(TargetOf(r.key), "/opt/t");
  }
  EXPECT_EQ(Keys().size(), 7);
  EXPECT_EQ(f->windowTitle(), "Zelkar - 7 Keywords");
  EXPECT_EQ(f->txtExe->text(), "ab.exe");

  const QString overwrite = "This keyword is already registered, would you like to overwrite it?";
  f->txtExe->setText("x");
  f->lblPath->setCaption("/new");
  dialogs.expectBox("Overwrite?", overwrite, answer::No, 308);
  f->cmdSave_Click();
  EXPECT_EQ(TargetOf("x.exe"), "/old");
  dialogs.expectBox("Overwrite?", overwrite, answer::Yes, 308);
  f->cmdSave_Click();
  EXPECT_EQ(TargetOf("x.exe"), "/new");
}

TEST_F(KeywordsTest, RenameIsRememberedInRedUntilRegistered) {
  Put("calc.exe", "/usr/bin/Calc");
  Put("notepad.exe", "/usr/bin/np");
  auto f = Window();
  ScriptedDialogs dialogs;
  dialogs.expectBox("Error", ForbiddenKeywordCharsMessage(), answer::OK, 16);
  RenameByLabelEdit(*f, 2, "my calc");
  EXPECT_EQ(f->tvw->Text(2), "my_calc.exe");
  EXPECT_EQ(f->tvw->ForeColor(2), colour::Red);
  EXPECT_EQ(f->tvw->Tag(2), "calc.exe");
  EXPECT_EQ(f->txtExe->text(), "my_calc.exe");
  EXPECT_TRUE(Has("calc.exe"));
  EXPECT_FALSE(Has("my_calc.exe"));

  // Register with the box naming the red node (any case) moves the entry.
  f->tvw->Select(2);
  f->txtExe->setText("MY_CALC.EXE");
  f->cmdSave_Click();
  EXPECT_FALSE(Has("calc.exe"));
  EXPECT_EQ(TargetOf("my_calc.exe"), "/usr/bin/Calc");
  EXPECT_EQ(f->tvw->ForeColor(Node(*f, "my_calc.exe")), colour::Black);

  // A change of case only, from the target node, changes nothing; Esc asks nobody.
  const int np = Node(*f, "notepad.exe");
  RenameByLabelEdit(*f, np + 1, "Notepad");
  EXPECT_EQ(f->tvw->Text(np), "Notepad.exe");
  EXPECT_EQ(f->tvw->ForeColor(np), colour::Black);
  EXPECT_TRUE(f->tvw->Tag(np).isEmpty());
  f->tvw->Select(np);
  f->cmdRename_Click();
  for (QLineEdit* e : f->tvw->widget()->findChildren<QLineEdit*>())
    if (e->isVisible()) {
      e->setText("other name");
      QTest::keyClick(e, Qt::Key_Escape);
    }
  EXPECT_EQ(f->tvw->Text(np), "Notepad.exe");
  EXPECT_EQ(Keys(), (QStringList{"my_calc.exe", "notepad.exe"}));
}

TEST_F(KeywordsTest, OnlyTheLastNameIsRegisteredAndTheFirstDeleted) {
  Put("a.exe", "/a");
  Put("c_d.exe", "/old-c");
  auto f = Window();
  ScriptedDialogs dialogs;
  RenameByLabelEdit(*f, 2, "b");
  // The new name is taken by another keyword, which the completion selects
  // while the editor is still open.
  dialogs.expectBox("Error", ForbiddenKeywordCharsMessage(), answer::OK, 16);
  RenameByLabelEdit(*f, 2, "c d");
  EXPECT_EQ(f->tvw->Text(2), "c_d.exe");
  EXPECT_EQ(f->tvw->Tag(2), "a.exe");
  EXPECT_EQ(f->tvw->ForeColor(4), colour::Black);
  f->tvw->Select(2);
  f->mnuRHRegister_Click();  // replaces c_d.exe without asking
  EXPECT_EQ(Keys(), QStringList{"c_d.exe"});
  EXPECT_EQ(TargetOf("c_d.exe"), "/a");
  EXPECT_EQ(f->tvw->Count(), 3);
}

TEST_F(KeywordsTest, MarkedKeywordWarnsAndRestoreGivesTheNameBack) {
  Put("web.exe", "http://example.org");
  auto f = Window();
  ScriptedDialogs dialogs;
  f->tvw->SetForeColor(2, colour::Blue);
  dialogs.expectBox("Renaming Marked Keyword",
                    "This keyword is marked for exportation. It will be unmarked if you choose to rename it.",
                    answer::OK, 64);
  RenameByLabelEdit(*f, 2, "site");
  EXPECT_EQ(f->tvw->ForeColor(2), colour::Red);
  f->tvw->Select(2);
  f->mnuRHRestore_Click();
  EXPECT_EQ(f->tvw->Text(2), "web.exe");
  EXPECT_EQ(f->tvw->ForeColor(2), colour::Black);
  EXPECT_EQ(f->txtExe->text(), "web.exe");

  // An empty label is refused; a plain node has no rename to register.
  RenameByLabelEdit(*f, 2, QString());
  EXPECT_EQ(f->tvw->Text(2), "web.exe");
  f->mnuRHRegister_Click();
  EXPECT_EQ(Keys(), QStringList{"web.exe"});
}

void ExpectDelete(ScriptedDialogs& d, const QString& name, int answer) {
  d.expectBox("Delete " + name.toUpper() + "?",
              "Are you sure you want to delete the keyword '" + name + "' from Windows?", answer, 308);
}

TEST_F(KeywordsTest, DeleteAsksThenSelectsTheNeighbourAndTakesARenamedKeywordsEntry) {
  for (const QString kw : {"alpha.exe", "notepad.exe", "other.exe", "zeta.exe"}) Put(kw, "/opt/" + kw);
  auto f = Window();
  ScriptedDialogs dialogs;
  const struct {
    int node;  // selected before
    const char* name;
    int answer;
    const char* next;  // the box afterwards
  } rows[] = {{5, "notepad", answer::No, ""},            // from its target node
              {5, "notepad", answer::Yes, "other.exe"},   // the one that followed
              {6, "zeta", answer::Yes, "other.exe"},      // the last one: the one before it
              {2, "alpha", answer::Yes, "other.exe"}};
  for (const auto& r : rows) {
    f->tvw->Select(r.node);
    ExpectDelete(dialogs, r.name, r.answer);
    f->cmdDelete_Click();
    EXPECT_EQ(Has(QString::fromLatin1(r.name) + ".exe"), r.answer == answer::No);
    if (*r.next) EXPECT_EQ(f->txtExe->text(), r.next) << r.name;
  }
  // A keyword renamed onto another's name: its registered entry goes, without a question about it.
  Put("calc.exe", "/c");
  f->LoadTVW(false);
  f->tvw->SetText(2, "other.exe");
  f->tvw->SetForeColor(2, colour::Red);
  f->tvw->SetTag(2, "calc.exe");
  f->tvw->Select(2);
  ExpectDelete(dialogs, "calc", answer::Yes);
  f->cmdDelete_Click();
  EXPECT_EQ(Keys(), QStringList{"other.exe"});
  ExpectDelete(dialogs, "other", answer::Yes);
  f->cmdDelete_Click();  // the only one: the root
  EXPECT_EQ(f->tvw->SelectedItem(), 1);
  EXPECT_TRUE(f->txtExe->text().isEmpty());
  EXPECT_FALSE(f->cmdDelete->isEnabled());
}

TEST_F(KeywordsTest, CleanUpDeletesOnlyMissingFilesAndDeleteAllGoesByTheCount) {
  const QString warning = "This will delete all keywords with broken targets.\r\nWould you like to proceed?";
  auto f = Window();
  ScriptedDialogs dialogs;
  dialogs.expectBox("Delete All", "There are no keywords to delete", answer::OK, 48);
  f->mnuKWDA_Click();
  Put("file.exe", MakeFile("present.txt"));
  f->LoadTVW(false);
  dialogs.expectBox("Delete Keyword?", "Would you like to delete the only keyword?", answer::No, 308);
  f->mnuKWDA_Click();
  Put("web.exe", "http://example.org/a.html");
  Put("gone.exe", path("missing.txt"));
  Put("dir.exe", path("no/such/folder"));
  Put("bare.exe", "someprogram.bin");
  f->LoadTVW(false);
  dialogs.expectBox("Warning", warning, answer::No, 308);
  f->mnuKWCU_Click();
  EXPECT_EQ(Keys().size(), 5);
  dialogs.expectBox("Warning", warning, answer::Yes, 308);
  f->mnuKWCU_Click();
  EXPECT_EQ(Keys(), (QStringList{"bare.exe", "dir.exe", "file.exe", "web.exe"}));
  dialogs.expectBox("Warning", warning, answer::Yes, 308);
  f->mnuKWCU_Click();  // nothing broken: nothing happens
  EXPECT_EQ(f->tvw->Count(), 9);

  const QString backup = "Would you like to backup the 4 keywords before you delete them all?";
  dialogs.expectBox("Delete All Keywords?", backup, answer::Cancel, 51);
  f->mnuKWDA_Click();
  dialogs.expectBox("Delete All Keywords?", backup, answer::Yes, 51).expectSave(std::nullopt);
  f->mnuKWDA_Click();  // backup refused: nothing deleted
  EXPECT_EQ(Keys().size(), 4);
  const QString file = path("before.zkb");
  dialogs.expectBox("Delete All Keywords?", backup, answer::Yes, 51).expectSave(file);
  f->mnuKWDA_Click();
  EXPECT_TRUE(QFile::exists(file));
  EXPECT_TRUE(Keys().isEmpty());
  EXPECT_EQ(f->windowTitle(), "Zelkar - 0 Keywords");
}

}  // namespace
}  // namespace zelkar::test
