#include <QApplication>
#include <QFocusEvent>

#include "ListTest.h"

namespace zelkar::test {
namespace {

class KeywordBoxTest : public ListTest {
 protected:
  void SetUp() override {
    ListTest::SetUp();
    Put("notepad.exe", "/usr/bin/Notepad");
    Put("notes.exe", "/srv/Notes");
    Put("zed.exe", "/srv/zed");
  }
};

TEST_F(KeywordBoxTest, TypingCompletesInlineFromTheFirstKeyword) {
  auto f = Window();
  ScriptedDialogs dialogs;
  QTest::keyClicks(f->txtExe, "NOTE");
  EXPECT_EQ(f->txtExe->text(), "NOTEpad.exe");
  EXPECT_EQ(f->txtExe->selectedText(), "pad.exe");
  EXPECT_EQ(f->txtExe->selectionStart(), 4);
  EXPECT_EQ(f->tvw->SelectedItem(), Node(*f, "notepad.exe"));
  EXPECT_EQ(States(*f), "EDDD|EEDD|D");  // the completion enables the buttons, not the menu
  EXPECT_EQ(f->cmdRunTxt->toolTip(), " Run 'NOTEpad.exe' ");

  // Backspace takes the completed part away and completes nothing.
  QTest::keyClick(f->txtExe, Qt::Key_Backspace);
  EXPECT_EQ(f->txtExe->text(), "NOTE");
  EXPECT_TRUE(f->txtExe->selectedText().isEmpty());
  EXPECT_TRUE(f->CompletionSuppressed);
  QTest::keyClick(f->txtExe, Qt::Key_Backspace);
  EXPECT_EQ(f->txtExe->text(), "NOT");
  EXPECT_EQ(f->cmdRunTxt->toolTip(), " Run 'NOT' ");

  // A further letter completes again; the next keyword when it is the first to match.
  QTest::keyClicks(f->txtExe, "ES");
  EXPECT_EQ(f->txtExe->text(), "NOTES.exe");
  EXPECT_EQ(f->txtExe->selectedText(), ".exe");
  EXPECT_EQ(f->tvw->SelectedItem(), Node(*f, "notes.exe"));
  EXPECT_FALSE(f->CompletionSuppressed);
}

TEST_F(KeywordBoxTest, NoMatchEnablesRegisterOnlyWithATarget) {
  auto f = Window();
  ScriptedDialogs dialogs;
  QTest::keyClicks(f->txtExe, "zed");
  const int zed = f->tvw->SelectedItem();
  EXPECT_EQ(zed, Node(*f, "zed.exe"));
  QTest::keyClicks(f->txtExe, "!");  // replaces ".exe": no keyword starts with "zed!"
  EXPECT_EQ(f->txtExe->text(), "zed!");
  EXPECT_FALSE(f->cmdSave->isEnabled());
  EXPECT_EQ(f->tvw->SelectedItem(), zed);  // the selection stays

  f->lblPath->setCaption("/srv/other");
  QTest::keyClicks(f->txtExe, "x");
  EXPECT_TRUE(f->cmdSave->isEnabled());

  // Not trimmed: a leading blank matches nothing.
  f->txtExe->selectAll();
  QTest::keyClicks(f->txtExe, " note");
  EXPECT_EQ(f->txtExe->text(), " note");
  EXPECT_TRUE(f->cmdSave->isEnabled());
  EXPECT_EQ(f->cmdRunTxt->toolTip(), " Run ' note' ");
}

TEST_F(KeywordBoxTest, ClearingTheBoxResetsTheWindow) {
  auto f = Window();
  ScriptedDialogs dialogs;
  Click(*f, Node(*f, "notes.exe"));
  ASSERT_EQ(f->lblPath->caption(), "/srv/Notes");
  ASSERT_TRUE(f->cmdRun->isEnabled());
  f->txtExe->selectAll();
  QTest::keyClick(f->txtExe, Qt::Key_Delete);
  EXPECT_TRUE(f->txtExe->text().isEmpty());
  EXPECT_TRUE(f->lblPath->caption().isEmpty());
  EXPECT_FALSE(f->cmdRunTxt->isEnabled());
  EXPECT_EQ(States(*f), "DDDD|DDDD|D");
  EXPECT_EQ(f->tvw->SelectedItem(), 1);
}

TEST_F(KeywordBoxTest, FocusSelectsAllAndAReloadLooksTheBoxUpAgain) {
  auto f = Window();
  ScriptedDialogs dialogs;
  f->txtExe->setText("zed.exe");
  f->txtExe->deselect();
  QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
  QApplication::sendEvent(f->txtExe, &focus);
  EXPECT_EQ(f->txtExe->selectedText(), "zed.exe");

  Put("aaa.exe", "/srv/a");
  f->LoadTVW(false);
  EXPECT_EQ(f->tvw->SelectedItem(), Node(*f, "zed.exe"));
  EXPECT_EQ(f->tvw->Text(2), "aaa.exe");

  // With the list folded away the node buttons are left alone.
  f->ClickRootNode();
  f->tvw->hide();
  QTest::keyClicks(f->txtExe, "z");
  EXPECT_EQ(f->txtExe->text(), "zed.exe");
  EXPECT_FALSE(f->cmdRun->isEnabled());
  EXPECT_FALSE(f->cmdDelete->isEnabled());
}

}  // namespace
}  // namespace zelkar::test
