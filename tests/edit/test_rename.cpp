#include "EditTest.h"

#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

namespace zelkar::test {
namespace {

class RenameTest : public EditTest {
 protected:
  // Starts a rename of the node and ends it the way the user does: type, Enter.
  static void Rename(frmMain& f, int node, const QString& text) {
    f.tvw->Select(node);
    f.cmdRename_Click();
    QLineEdit* editor = nullptr;
    for (QLineEdit* e : f.tvw->widget()->findChildren<QLineEdit*>())
      if (e->isVisible()) editor = e;
    ASSERT_NE(editor, nullptr) << "no label edit started";
    editor->setText(text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the edit ends from the event loop
  }
};

TEST_F(RenameTest, RenameIsRememberedInRedUntilRegistered) {
  Put(QStringLiteral("calc.exe"), QStringLiteral("/usr/bin/Calc"));
  auto f = Window();
  ScriptedDialogs dialogs;
  dialogs.expectBox(QStringLiteral("Error"), ForbiddenKeywordCharsMessage(), answer::OK, 16);
  Rename(*f, 2, QStringLiteral("my calc"));
  EXPECT_EQ(f->tvw->Text(2), QStringLiteral("my_calc.exe"));
  EXPECT_EQ(f->tvw->ForeColor(2), colour::Red);
  EXPECT_EQ(f->tvw->Tag(2), QStringLiteral("calc.exe"));
  EXPECT_EQ(f->txtExe->text(), QStringLiteral("my_calc.exe"));
  EXPECT_TRUE(Has(QStringLiteral("calc.exe")));
  EXPECT_FALSE(Has(QStringLiteral("my_calc.exe")));

  // Register with the box naming the red node (any case) moves the entry.
  f->tvw->Select(2);
  f->txtExe->setText(QStringLiteral("MY_CALC.EXE"));
  f->cmdSave_Click();
  EXPECT_FALSE(Has(QStringLiteral("calc.exe")));
  EXPECT_EQ(TargetOf(QStringLiteral("my_calc.exe")), QStringLiteral("/usr/bin/Calc"));
  EXPECT_EQ(f->tvw->Text(2), QStringLiteral("my_calc.exe"));
  EXPECT_EQ(f->tvw->ForeColor(2), colour::Black);
}

TEST_F(RenameTest, CaseOnlyRenameChangesNothing) {
  Put(QStringLiteral("notepad.exe"), QStringLiteral("/usr/bin/np"));
  auto f = Window();
  ScriptedDialogs dialogs;
  Rename(*f, 3, QStringLiteral("Notepad"));  // from the target node: edits the keyword
  EXPECT_EQ(f->tvw->Text(2), QStringLiteral("Notepad.exe"));
  EXPECT_EQ(f->tvw->ForeColor(2), colour::Black);
  EXPECT_TRUE(f->tvw->Tag(2).isEmpty());
}

TEST_F(RenameTest, OnlyTheLastNameIsRegisteredAndTheFirstDeleted) {
  Put(QStringLiteral("a.exe"), QStringLiteral("/a"));
  Put(QStringLiteral("c_d.exe"), QStringLiteral("/old-c"));
  auto f = Window();
  ScriptedDialogs dialogs;
  Rename(*f, 2, QStringLiteral("b"));
  // The new name is taken by another keyword, which the completion selects
  // while the editor is still open.
  dialogs.expectBox(QStringLiteral("Error"), ForbiddenKeywordCharsMessage(), answer::OK, 16);
  Rename(*f, 2, QStringLiteral("c d"));
  EXPECT_EQ(f->tvw->Text(2), QStringLiteral("c_d.exe"));
  EXPECT_EQ(f->tvw->Tag(2), QStringLiteral("a.exe"));
  EXPECT_EQ(f->tvw->ForeColor(4), colour::Black);
  f->tvw->Select(2);
  f->mnuRHRegister_Click();  // replaces c_d.exe without asking
  EXPECT_FALSE(Has(QStringLiteral("a.exe")));
  EXPECT_FALSE(Has(QStringLiteral("b.exe")));
  EXPECT_EQ(TargetOf(QStringLiteral("c_d.exe")), QStringLiteral("/a"));
  EXPECT_EQ(f->tvw->Count(), 3);
}

TEST_F(RenameTest, MarkedKeywordWarnsAndRestoreGivesTheNameBack) {
  Put(QStringLiteral("web.exe"), QStringLiteral("http://example.org"));
  auto f = Window();
  ScriptedDialogs dialogs;
  f->tvw->SetForeColor(2, colour::Blue);
  dialogs.expectBox(QStringLiteral("Renaming Marked Keyword"),
                    QStringLiteral("This keyword is marked for exportation. It will be unmarked if you choose to "
                                   "rename it."),
                    answer::OK, 64);
  Rename(*f, 2, QStringLiteral("site"));
  EXPECT_EQ(f->tvw->ForeColor(2), colour::Red);

  f->tvw->Select(2);
  f->mnuRHRestore_Click();
  EXPECT_EQ(f->tvw->Text(2), QStringLiteral("web.exe"));
  EXPECT_EQ(f->tvw->ForeColor(2), colour::Black);
  EXPECT_EQ(f->txtExe->text(), QStringLiteral("web.exe"));
  EXPECT_FALSE(Has(QStringLiteral("site.exe")));

  // An empty label is refused; a plain node has no rename to register.
  Rename(*f, 2, QString());
  EXPECT_EQ(f->tvw->Text(2), QStringLiteral("web.exe"));
  f->mnuRHRegister_Click();
  EXPECT_TRUE(Has(QStringLiteral("web.exe")));
}

}  // namespace
}  // namespace zelkar::test
