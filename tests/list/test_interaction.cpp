// The user's clicks, keys and typing on the tree and the keyword box.
#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QTreeWidget>

#include "support/WindowTest.h"

namespace zelkar::test {
namespace {

class InteractionTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Put("alpha.exe", "/srv/Alpha");
    Put("beta.exe", "http://example.org/B");
  }
  // The box, the target, the selected node, then E(nabled) or D(isabled) for
  // cmdRun mnuKWR mnuKWOCF mnuKWMFE | cmdRename cmdDelete mnuKWRe mnuKWD | cmdSave.
  static std::string Snap(const frmMain& f) {
    QString s = f.txtExe->text() + u'|' + f.lblPath->caption() + u'|' + QString::number(f.tvw->SelectedItem());
    const bool on[] = {f.cmdRun->isEnabled(),    f.mnuKWR->isEnabled(),    f.mnuKWOCF->isEnabled(),
                       f.mnuKWMFE->isEnabled(),  f.cmdRename->isEnabled(), f.cmdDelete->isEnabled(),
                       f.mnuKWRe->isEnabled(),   f.mnuKWD->isEnabled(),    f.cmdSave->isEnabled()};
    for (int i = 0; i < 9; ++i) s += QString(i % 4 == 0 ? "|" : "") + (on[i] ? u'E' : u'D');
    return s.toStdString();
  }
  static std::string States(const frmMain& f) { return Snap(f).substr(Snap(f).size() - 11); }
  // Where the user clicks to hit node `index` (selecting from code raises
  // nothing, and the selection is put back).
  static QPoint Spot(const frmMain& f, int index) {
    const int was = f.tvw->SelectedItem();
    f.tvw->Select(index);
    QTreeWidgetItem* item = f.tvw->widget()->currentItem();
    if (was != 0) f.tvw->Select(was);
    f.tvw->widget()->scrollToItem(item);
    return f.tvw->widget()->visualItemRect(item).center();
  }
  static void Click(const frmMain& f, int index, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(f.tvw->widget()->viewport(), button, Qt::NoModifier, Spot(f, index));
  }
};

TEST_F(InteractionTest, ClicksAndKeysSetTheWindowAsTheNodeAllows) {
  auto f = Window();
  ScriptedDialogs dialogs;
  const auto clicked = [&](int node) {
    Click(*f, node);
    return Snap(*f);
  };
  EXPECT_EQ(clicked(2), "alpha.exe|/srv/Alpha|2|EEEE|EEEE|D");
  // A target node of another keyword: the box names its keyword, which gets
  // selected; with its own keyword in the box already the target node stays selected.
  EXPECT_EQ(clicked(5), "beta.exe|http://example.org/B|4|EEEE|EEEE|D");
  EXPECT_EQ(clicked(5), "beta.exe|http://example.org/B|5|EEEE|EEEE|D");
  // A red keyword can be registered from here, until a click elsewhere.
  f->tvw->SetForeColor(2, colour::Red);
  f->tvw->SetTag(2, "alpha.exe");
  EXPECT_EQ(clicked(2), "alpha.exe|/srv/Alpha|2|EEEE|EEEE|E");
  EXPECT_EQ(clicked(3), "alpha.exe|/srv/Alpha|3|EEEE|EEEE|D");
  EXPECT_EQ(clicked(1), "||1|DDDD|DDDD|D");  // the root
  // A target node leaves Rename and Delete as they were: here the completion
  // of its keyword's name enabled the buttons, not the menu items.
  f->tvw->SetForeColor(2, colour::Black);
  EXPECT_EQ(clicked(3), "alpha.exe|/srv/Alpha|2|EEEE|EEDD|D");
  f->cmdRename->setEnabled(false);
  EXPECT_EQ(clicked(3), "alpha.exe|/srv/Alpha|3|EEEE|DEDD|D");  // the box holds its keyword: nothing re-enables it

  // Keys move like clicks.
  f->tvw->widget()->setFocus();
  QTest::keyClick(f->tvw->widget(), Qt::Key_End);
  EXPECT_EQ(f->lblPath->caption(), "http://example.org/B");
  QTest::keyClick(f->tvw->widget(), Qt::Key_Home);
  EXPECT_EQ(Snap(*f), "||1|DDDD|DDDD|D");
}

TEST_F(InteractionTest, RightClicksPopUpTheMenuOfTheSelectedNode) {
  auto f = Window();
  ScriptedDialogs dialogs;
  Click(*f, 2);
  Click(*f, 4, Qt::RightButton);  // no selection change: the menu is for alpha
  EXPECT_EQ(f->tvw->SelectedItem(), 2);
  EXPECT_EQ(f->lastPopup, f->mnuHide);
  EXPECT_EQ(f->lastPopupDefault, nullptr);
  EXPECT_EQ(f->mnuHMFE->text(), "Mark For Exportation");
  for (QAction* a : {f->mnuHideRun, f->mnuHideRename, f->mnuHideDelete}) EXPECT_TRUE(a->isEnabled());
  f->tvw->SetForeColor(2, colour::Blue);
  Click(*f, 2, Qt::RightButton);
  EXPECT_EQ(f->mnuHMFE->text(), "Unmark For Exportation");

  // Target node: Run is the default; the mark item follows its keyword.
  Click(*f, 3);
  Click(*f, 3);
  ASSERT_EQ(f->tvw->SelectedItem(), 3);
  Click(*f, 3, Qt::RightButton);
  EXPECT_EQ(f->lastPopupDefault, f->mnuHideRun);
  EXPECT_EQ(f->mnuHMFE->text(), "Unmark For Exportation");
  EXPECT_TRUE(f->mnuHMFE->isEnabled());
  f->tvw->SetForeColor(2, colour::Red);
  Click(*f, 3, Qt::RightButton);
  EXPECT_FALSE(f->mnuHMFE->isEnabled());
  EXPECT_EQ(f->mnuHMFE->text(), "Mark For Exportation");

  // A red keyword: only Register and Restore.
  f->tvw->Select(2);
  f->tvw_MouseUp(2, 0, 0, 0);
  EXPECT_EQ(f->lastPopup, f->mnuRH);
  EXPECT_EQ(f->lastPopupDefault, nullptr);

  // The root: Run is the default but nothing acts on a node.
  Click(*f, 1);
  Click(*f, 1, Qt::RightButton);
  EXPECT_EQ(f->lastPopup, f->mnuHide);
  EXPECT_EQ(f->lastPopupDefault, f->mnuHideRun);
  for (QAction* a : {f->mnuHideRun, f->mnuHOCF, f->mnuHMFE, f->mnuHideRename, f->mnuHideDelete})
    EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
  EXPECT_TRUE(f->mnuHideRefresh->isEnabled());
  f->lastPopup = nullptr;  // a left release never pops anything up
  Click(*f, 2);
  EXPECT_EQ(f->lastPopup, nullptr);
}

TEST_F(InteractionTest, DeleteKeyAndDoubleClicks) {
  auto f = Window();
  ScriptedDialogs dialogs;  // any question not expected fails the test
  Click(*f, 1);
  QTest::keyClick(f->tvw->widget(), Qt::Key_Delete);  // Delete is disabled: nothing
  EXPECT_TRUE(Has("alpha.exe"));

  // A double click on a keyword only folds it; on a target it runs it.
  Click(*f, 2);
  QTreeWidgetItem* alpha = f->tvw->widget()->currentItem();
  const bool open = alpha->isExpanded();
  QTest::mouseDClick(f->tvw->widget()->viewport(), Qt::LeftButton, Qt::NoModifier, Spot(*f, 2));
  EXPECT_NE(alpha->isExpanded(), open);
  EXPECT_EQ(Recorded(), "none");
  Click(*f, 1);  // from the root: the first click moves the selection to the keyword
  QTest::mouseDClick(f->tvw->widget()->viewport(), Qt::LeftButton, Qt::NoModifier, Spot(*f, 5));
  EXPECT_EQ(f->tvw->SelectedItem(), 5);
  EXPECT_EQ(Recorded(), "open http://example.org/B");

  Click(*f, 2);
  dialogs.expectBoxTitled("Delete ALPHA?", answer::Yes);
  QTest::keyClick(f->tvw->widget(), Qt::Key_Delete);
  EXPECT_FALSE(Has("alpha.exe"));
  EXPECT_EQ(f->KeywordCount(), 1);
}

TEST_F(InteractionTest, TypingCompletesInlineFromTheFirstKeywordThatMatches) {
  Put("notepad.exe", "/usr/bin/Notepad");
  Put("notes.exe", "/srv/Notes");
  Put("Äbc.exe", "/srv/abc");
  auto f = Window();
  ScriptedDialogs dialogs;
  QTest::keyClicks(f->txtExe, "NOTE");
  EXPECT_EQ(f->txtExe->text(), "NOTEpad.exe");
  EXPECT_EQ(f->txtExe->selectedText(), "pad.exe");
  EXPECT_EQ(f->tvw->SelectedItem(), Node(*f, "notepad.exe"));
  EXPECT_EQ(States(*f), "EDDD|EEDD|D");  // the completion enables the buttons, not the menu
  EXPECT_EQ(f->cmdRunTxt->toolTip(), " Run 'NOTEpad.exe' ");

  // Backspace takes the completed part away and completes nothing.
  QTest::keyClick(f->txtExe, Qt::Key_Backspace);
  EXPECT_EQ(f->txtExe->text(), "NOTE");
  EXPECT_TRUE(f->CompletionSuppressed);
  QTest::keyClick(f->txtExe, Qt::Key_Backspace);
  EXPECT_EQ(f->txtExe->text(), "NOT");
  QTest::keyClicks(f->txtExe, "ES");  // a further letter completes again
  EXPECT_EQ(f->txtExe->text(), "NOTES.exe");
  EXPECT_EQ(f->tvw->SelectedItem(), Node(*f, "notes.exe"));
  EXPECT_FALSE(f->CompletionSuppressed);
  f->txtExe->setText("äB");  // as typed
  EXPECT_EQ(f->txtExe->text(), "äBc.exe");

  // No keyword matches (a target's text is none): the selection stays, and
  // Register needs a target as well.
  for (const auto& [typed, kept] : {std::pair{"notes!", "notes.exe"}, std::pair{" note", ""}, std::pair{"/srv", ""}}) {
    f->txtExe->clear();
    QTest::keyClicks(f->txtExe, typed);
    EXPECT_EQ(f->txtExe->text(), typed);
    EXPECT_FALSE(f->cmdSave->isEnabled());
    EXPECT_EQ(f->tvw->SelectedItem(), *kept ? Node(*f, kept) : 1) << typed;
    f->lblPath->setCaption("/srv/other");
    QTest::keyClicks(f->txtExe, "x");
    EXPECT_TRUE(f->cmdSave->isEnabled()) << typed;
  }
  EXPECT_EQ(f->cmdRunTxt->toolTip(), " Run '/srvx' ");

  // Clearing the box resets the window.
  Click(*f, Node(*f, "notes.exe"));
  f->txtExe->selectAll();
  QTest::keyClick(f->txtExe, Qt::Key_Delete);
  EXPECT_FALSE(f->cmdRunTxt->isEnabled());
  EXPECT_EQ(Snap(*f), "||1|DDDD|DDDD|D");
}

TEST_F(InteractionTest, FocusSelectsAllAndAReloadLooksTheBoxUpAgain) {
  Put("zed.exe", "/srv/zed");
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
