#include "EditTest.h"
#include "support/LabelEdit.h"

namespace zelkar::test {
namespace {

using RenameTest = EditTest;

TEST_F(RenameTest, RenameIsRememberedInRedUntilRegistered) {
  Put("calc.exe", "/usr/bin/Calc");
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
  EXPECT_EQ(f->tvw->Text(2), "my_calc.exe");
  EXPECT_EQ(f->tvw->ForeColor(2), colour::Black);
}

TEST_F(RenameTest, CaseOnlyRenameChangesNothing) {
  Put("notepad.exe", "/usr/bin/np");
  auto f = Window();
  ScriptedDialogs dialogs;
  RenameByLabelEdit(*f, 3, "Notepad");  // from the target node: edits the keyword
  EXPECT_EQ(f->tvw->Text(2), "Notepad.exe");
  EXPECT_EQ(f->tvw->ForeColor(2), colour::Black);
  EXPECT_TRUE(f->tvw->Tag(2).isEmpty());
}

TEST_F(RenameTest, OnlyTheLastNameIsRegisteredAndTheFirstDeleted) {
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
  EXPECT_FALSE(Has("a.exe"));
  EXPECT_FALSE(Has("b.exe"));
  EXPECT_EQ(TargetOf("c_d.exe"), "/a");
  EXPECT_EQ(f->tvw->Count(), 3);
}

TEST_F(RenameTest, MarkedKeywordWarnsAndRestoreGivesTheNameBack) {
  Put("web.exe", "http://example.org");
  auto f = Window();
  ScriptedDialogs dialogs;
  f->tvw->SetForeColor(2, colour::Blue);
  dialogs.expectBox("Renaming Marked Keyword",
                    QStringLiteral("This keyword is marked for exportation. It will be unmarked if you choose to "
                                   "rename it."),
                    answer::OK, 64);
  RenameByLabelEdit(*f, 2, "site");
  EXPECT_EQ(f->tvw->ForeColor(2), colour::Red);

  f->tvw->Select(2);
  f->mnuRHRestore_Click();
  EXPECT_EQ(f->tvw->Text(2), "web.exe");
  EXPECT_EQ(f->tvw->ForeColor(2), colour::Black);
  EXPECT_EQ(f->txtExe->text(), "web.exe");
  EXPECT_FALSE(Has("site.exe"));

  // An empty label is refused; a plain node has no rename to register.
  RenameByLabelEdit(*f, 2, QString());
  EXPECT_EQ(f->tvw->Text(2), "web.exe");
  f->mnuRHRegister_Click();
  EXPECT_TRUE(Has("web.exe"));
}

}  // namespace
}  // namespace zelkar::test
