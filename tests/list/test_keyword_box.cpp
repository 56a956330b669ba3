#include "ListTest.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPushButton>
#include <QToolButton>

namespace zelkar::test {
namespace {

class KeywordBoxTest : public ListTest {
 protected:
  void SetUp() override {
    ListTest::SetUp();
    Put(QStringLiteral("notepad.exe"), QStringLiteral("/usr/bin/Notepad"));
    Put(QStringLiteral("notes.exe"), QStringLiteral("/srv/Notes"));
    Put(QStringLiteral("zed.exe"), QStringLiteral("/srv/zed"));
  }
  static int Node(const frmMain& f, const QString& text) {
    for (int i = 2; i <= f.tvw->Count(); i += 2)
      if (f.tvw->Text(i) == text) return i;
    return 0;
  }
};

TEST_F(KeywordBoxTest, TypingCompletesInlineFromTheFirstKeyword) {
  auto f = Window();
  ScriptedDialogs dialogs;
  QTest::keyClicks(f->txtExe, QStringLiteral("NOTE"));
  EXPECT_EQ(f->txtExe->text(), QStringLiteral("NOTEpad.exe"));
  EXPECT_EQ(f->txtExe->selectedText(), QStringLiteral("pad.exe"));
  EXPECT_EQ(f->txtExe->selectionStart(), 4);
  EXPECT_EQ(f->tvw->SelectedItem(), Node(*f, QStringLiteral("notepad.exe")));
  EXPECT_FALSE(f->cmdSave->isEnabled());
  EXPECT_TRUE(f->cmdRunTxt->isEnabled());
  EXPECT_EQ(f->cmdRunTxt->toolTip(), QStringLiteral(" Run 'NOTEpad.exe' "));
  EXPECT_TRUE(f->cmdRun->isEnabled());
  EXPECT_TRUE(f->cmdRename->isEnabled());
  EXPECT_TRUE(f->cmdDelete->isEnabled());

  // Backspace takes the completed part away and completes nothing.
  QTest::keyClick(f->txtExe, Qt::Key_Backspace);
  EXPECT_EQ(f->txtExe->text(), QStringLiteral("NOTE"));
  EXPECT_TRUE(f->txtExe->selectedText().isEmpty());
  EXPECT_TRUE(f->CompletionSuppressed);
  QTest::keyClick(f->txtExe, Qt::Key_Backspace);
  EXPECT_EQ(f->txtExe->text(), QStringLiteral("NOT"));
  EXPECT_EQ(f->cmdRunTxt->toolTip(), QStringLiteral(" Run 'NOT' "));

  // A further letter completes again; the next keyword when it is the first to match.
  QTest::keyClicks(f->txtExe, QStringLiteral("ES"));
  EXPECT_EQ(f->txtExe->text(), QStringLiteral("NOTES.exe"));
  EXPECT_EQ(f->txtExe->selectedText(), QStringLiteral(".exe"));
  EXPECT_EQ(f->tvw->SelectedItem(), Node(*f, QStringLiteral("notes.exe")));
  EXPECT_FALSE(f->CompletionSuppressed);
}

TEST_F(KeywordBoxTest, NoMatchEnablesRegisterOnlyWithATarget) {
  auto f = Window();
  ScriptedDialogs dialogs;
  QTest::keyClicks(f->txtExe, QStringLiteral("zed"));
  const int zed = f->tvw->SelectedItem();
  EXPECT_EQ(zed, Node(*f, QStringLiteral("zed.exe")));
  QTest::keyClicks(f->txtExe, QStringLiteral("!"));  // replaces ".exe": no keyword starts with "zed!"
  EXPECT_EQ(f->txtExe->text(), QStringLiteral("zed!"));
  EXPECT_FALSE(f->cmdSave->isEnabled());
  EXPECT_EQ(f->tvw->SelectedItem(), zed);  // the selection stays

  f->lblPath->setCaption(QStringLiteral("/srv/other"));
  QTest::keyClicks(f->txtExe, QStringLiteral("x"));
  EXPECT_TRUE(f->cmdSave->isEnabled());

  // Not trimmed: a leading blank matches nothing.
  f->txtExe->selectAll();
  QTest::keyClicks(f->txtExe, QStringLiteral(" note"));
  EXPECT_EQ(f->txtExe->text(), QStringLiteral(" note"));
  EXPECT_TRUE(f->cmdSave->isEnabled());
  EXPECT_EQ(f->cmdRunTxt->toolTip(), QStringLiteral(" Run ' note' "));
}

TEST_F(KeywordBoxTest, ClearingTheBoxResetsTheWindow) {
  auto f = Window();
  ScriptedDialogs dialogs;
  Click(*f, Node(*f, QStringLiteral("notes.exe")));
  ASSERT_EQ(f->lblPath->caption(), QStringLiteral("/srv/Notes"));
  ASSERT_TRUE(f->cmdRun->isEnabled());
  f->txtExe->selectAll();
  QTest::keyClick(f->txtExe, Qt::Key_Delete);
  EXPECT_TRUE(f->txtExe->text().isEmpty());
  EXPECT_TRUE(f->lblPath->caption().isEmpty());
  EXPECT_FALSE(f->cmdRunTxt->isEnabled());
  EXPECT_FALSE(f->cmdRun->isEnabled());
  EXPECT_FALSE(f->cmdRename->isEnabled());
  EXPECT_FALSE(f->cmdDelete->isEnabled());
  EXPECT_FALSE(f->cmdSave->isEnabled());
  EXPECT_EQ(f->tvw->SelectedItem(), 1);
}

TEST_F(KeywordBoxTest, FocusSelectsAllAndAReloadLooksTheBoxUpAgain) {
  auto f = Window();
  ScriptedDialogs dialogs;
  f->txtExe->setText(QStringLiteral("zed.exe"));
  f->txtExe->deselect();
  QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
  QApplication::sendEvent(f->txtExe, &focus);
  EXPECT_EQ(f->txtExe->selectedText(), QStringLiteral("zed.exe"));

  Put(QStringLiteral("aaa.exe"), QStringLiteral("/srv/a"));
  f->LoadTVW(false);
  EXPECT_EQ(f->tvw->SelectedItem(), Node(*f, QStringLiteral("zed.exe")));
  EXPECT_EQ(f->tvw->Text(2), QStringLiteral("aaa.exe"));

  // With the list folded away the node buttons are left alone.
  f->ClickRootNode();
  f->tvw->hide();
  QTest::keyClicks(f->txtExe, QStringLiteral("z"));
  EXPECT_EQ(f->txtExe->text(), QStringLiteral("zed.exe"));
  EXPECT_FALSE(f->cmdRun->isEnabled());
  EXPECT_FALSE(f->cmdDelete->isEnabled());
}

}  // namespace
}  // namespace zelkar::test
