#include <QMenu>

#include "ListTest.h"
#include "support/RecordingLaunchBackend.h"

namespace zelkar::test {
namespace {

class InteractionTest : public ListTest {
 protected:
  void SetUp() override {
    ListTest::SetUp();
    Put("alpha.exe", "/srv/Alpha");
    Put("beta.exe", "http://example.org/B");
  }
};

TEST_F(InteractionTest, ClicksSetTheWindowAsTheNodeAllows) {
  auto f = Window();
  ScriptedDialogs dialogs;

  Click(*f, 2);  // keyword node
  EXPECT_EQ(States(*f), "EEEE|EEEE|D");
  EXPECT_EQ(f->txtExe->text(), "alpha.exe");
  EXPECT_EQ(f->lblPath->caption(), "/srv/Alpha");
  EXPECT_EQ(f->tvw->SelectedItem(), 2);

  // A target node of another keyword: the box names its keyword, which gets selected.
  Click(*f, 5);
  EXPECT_EQ(f->txtExe->text(), "beta.exe");
  EXPECT_EQ(f->lblPath->caption(), "http://example.org/B");
  EXPECT_EQ(f->tvw->SelectedItem(), 4);
  EXPECT_EQ(States(*f), "EEEE|EEEE|D");
  // Its own keyword in the box already: the target node stays selected.
  Click(*f, 5);
  EXPECT_EQ(f->tvw->SelectedItem(), 5);

  // A red keyword can be registered from here, until a click elsewhere.
  f->tvw->SetForeColor(2, colour::Red);
  f->tvw->SetTag(2, "alpha.exe");
  Click(*f, 2);
  EXPECT_EQ(States(*f), "EEEE|EEEE|E");
  Click(*f, 3);
  EXPECT_EQ(States(*f), "EEEE|EEEE|D");

  Click(*f, 1);  // the root
  EXPECT_EQ(States(*f), "DDDD|DDDD|D");
  EXPECT_TRUE(f->txtExe->text().isEmpty());
  EXPECT_TRUE(f->lblPath->caption().isEmpty());
  EXPECT_EQ(f->tvw->SelectedItem(), 1);

  // A target node leaves Rename and Delete as they were: here the completion
  // of its keyword's name enabled the buttons, not the menu items.
  f->tvw->SetForeColor(2, colour::Black);
  Click(*f, 3);
  EXPECT_EQ(States(*f), "EEEE|EEDD|D");
  f->cmdRename->setEnabled(false);
  Click(*f, 3);  // the box holds its keyword already: nothing re-enables Rename
  EXPECT_FALSE(f->cmdRename->isEnabled());
  EXPECT_EQ(f->tvw->SelectedItem(), 3);
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
  EXPECT_TRUE(f->mnuHideRun->isEnabled());
  EXPECT_TRUE(f->mnuHideRename->isEnabled());
  EXPECT_TRUE(f->mnuHideDelete->isEnabled());

  f->tvw->SetForeColor(2, colour::Blue);
  Click(*f, 2, Qt::RightButton);
  EXPECT_EQ(f->mnuHMFE->text(), "Unmark For Exportation");

  // Target node: Run is the default; the mark item follows its keyword.
  Click(*f, 3);
  Click(*f, 3);
  ASSERT_EQ(f->tvw->SelectedItem(), 3);
  Click(*f, 3, Qt::RightButton);
  EXPECT_EQ(f->lastPopup, f->mnuHide);
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

  // A left release never pops anything up.
  f->lastPopup = nullptr;
  Click(*f, 2);
  EXPECT_EQ(f->lastPopup, nullptr);
}

TEST_F(InteractionTest, DeleteKeyActsOnlyWhenDeleteIsEnabled) {
  auto f = Window();
  ScriptedDialogs dialogs;  // any question would fail the test
  Click(*f, 1);
  ASSERT_FALSE(f->cmdDelete->isEnabled());
  QTest::keyClick(f->tvw->widget(), Qt::Key_Delete);
  EXPECT_TRUE(Has("alpha.exe"));
  EXPECT_TRUE(dialogs.boxes().empty());

  Click(*f, 2);
  dialogs.expectBoxTitled("Delete ALPHA?", answer::Yes);
  QTest::keyClick(f->tvw->widget(), Qt::Key_Delete);
  EXPECT_FALSE(Has("alpha.exe"));
  EXPECT_EQ(f->KeywordCount(), 1);
}

TEST_F(InteractionTest, KeyboardNavigationIsANodeClick) {
  auto f = Window();
  ScriptedDialogs dialogs;
  Click(*f, 2);
  f->tvw->widget()->setFocus();
  QTest::keyClick(f->tvw->widget(), Qt::Key_End);  // the last visible node: beta
  EXPECT_EQ(f->txtExe->text(), "beta.exe");
  EXPECT_EQ(f->lblPath->caption(), "http://example.org/B");
  QTest::keyClick(f->tvw->widget(), Qt::Key_Home);
  EXPECT_EQ(f->tvw->SelectedItem(), 1);
  EXPECT_TRUE(f->txtExe->text().isEmpty());
  EXPECT_FALSE(f->cmdRun->isEnabled());
}

TEST_F(InteractionTest, DoubleClickOnAKeywordOnlyFolds) {
  auto f = Window();
  ScriptedDialogs dialogs;
  Click(*f, 2);
  QTreeWidgetItem* alpha = f->tvw->widget()->currentItem();
  const bool open = alpha->isExpanded();
  QTest::mouseDClick(f->tvw->widget()->viewport(), Qt::LeftButton, Qt::NoModifier, Spot(*f, 2));
  EXPECT_NE(alpha->isExpanded(), open);
  EXPECT_EQ(f->tvw->SelectedItem(), 2);
  EXPECT_TRUE(dialogs.boxes().empty());
}

TEST_F(InteractionTest, DoubleClickOnATargetRunsIt) {
  auto f = Window();
  ScriptedDialogs dialogs;
  launch::RecordingLaunchBackend launched;
  Click(*f, 1);  // from the root: the first click moves the selection to the keyword
  QTest::mouseDClick(f->tvw->widget()->viewport(), Qt::LeftButton, Qt::NoModifier, Spot(*f, 5));
  EXPECT_EQ(f->tvw->SelectedItem(), 5);
  ASSERT_EQ(launched.requests().size(), 1u);
  EXPECT_EQ(launched.requests().front().kind, launch::LaunchRequest::Open);
  EXPECT_EQ(launched.requests().front().urlText(), "http://example.org/B");
}

}  // namespace
}  // namespace zelkar::test
