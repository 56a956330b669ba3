#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <cmath>

#include "ShellTest.h"
#include "support/RecordingLaunchBackend.h"
#include "support/ScriptedDialogs.h"

namespace zelkar::test {
namespace {

using SettingsTest = ShellTest;

constexpr int kShown = 5025;
constexpr int kHidden = 2625;

int PixelsOf(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

TEST_F(SettingsTest, StoredPositionIsKeptOnTheScreen) {
  const int freeW = (Screen().width() - frmMain().frameGeometry().width()) * 15;
  const int freeH = Screen().height() * 15 - kShown;
  const QPoint centred(PixelsOf(freeW / 2), PixelsOf(freeH / 2));
  struct Case {
    std::optional<int> left, top;
    QPoint expected;
    const char* what;
  };
  for (const Case& c :
       {Case{std::nullopt, std::nullopt, centred, "first start"}, Case{-4000, -1, centred, "negatives"},
        Case{400000, 300, QPoint(PixelsOf(freeW), 20), "beyond the right"},
        Case{1500, 400000, QPoint(100, PixelsOf(freeH / 2)), "below: half way, not all"},
        Case{-4000, 600, QPoint(0, 40), "one negative"}, Case{1500, 750, QPoint(100, 50), "in range"}}) {
    if (c.left) SetSetting("Left", *c.left);
    if (c.top) SetSetting("Top", *c.top);
    frmMain f;
    f.LoadSettings();
    EXPECT_EQ(f.OuterHeightTwips(), kShown) << c.what;
    EXPECT_EQ(f.pos(), c.expected) << c.what;
  }
}

TEST_F(SettingsTest, ShownHeightShowsTheClientAreaAndPositionIsSavedInTwips) {
  frmMain f;
  f.LoadSettings();
  f.show();
  EXPECT_EQ(f.centralWidget()->height(), Px(4215));
  EXPECT_EQ(f.centralWidget()->geometry().top(), f.menuBar()->geometry().bottom() + 1);
  f.move(33, 71);
  f.SaveSettings();
  EXPECT_EQ(Setting("Left"), 33 * 15);
  EXPECT_EQ(Setting("Top"), 71 * 15);
}

void ExpectListCommands(const frmMain& f, bool enabled) {
  for (const QPushButton* b : {f.cmdRefresh, f.cmdRun, f.cmdRename, f.cmdDelete})
    EXPECT_EQ(b->isEnabled(), enabled) << b->objectName().toStdString();
  for (const QAction* a :
       {f.mnuls, f.mnuLI, f.mnuLR, f.mnuLL->menuAction(), f.mnuLE->menuAction(), f.mnuKW->menuAction()})
    EXPECT_EQ(a->isEnabled(), enabled) << a->objectName().toStdString();
}

TEST_F(SettingsTest, HiddenListOpensFoldedWithoutAnimation) {
  SetSetting("HideList", 1);
  frmMain f;
  f.LoadSettings();
  EXPECT_EQ(f.OuterHeightTwips(), kHidden);
  EXPECT_EQ(f.mnuLHS->text(), "Show");
  ExpectListCommands(f, false);
  f.tmrHide_Timer();  // the first tick ends the fold at once
  EXPECT_EQ(f.OuterHeightTwips(), kHidden);
  EXPECT_TRUE(f.tvw->isHidden());
  EXPECT_FALSE(f.tmrHide->isActive());
  f.show();  // only the two frames in view
  EXPECT_GE(f.centralWidget()->height(), f.fraTarget->geometry().bottom() + 1);
  EXPECT_LE(f.centralWidget()->height(), f.tvw->geometry().top());
}

TEST_F(SettingsTest, HideAndShowSlideInStepsAndNeverRunTogether) {
  frmMain f;
  f.LoadSettings();
  f.show();
  const int top = f.y();
  f.mnuLHS_Click();
  EXPECT_EQ(f.mnuLHS->text(), "Show");
  EXPECT_EQ(Setting("HideList"), 1);  // at the moment of choice
  ExpectListCommands(f, false);
  for (int tick = 1; tick <= 32; ++tick) {
    f.tmrHide_Timer();
    ASSERT_EQ(f.OuterHeightTwips(), kShown - 75 * tick) << "tick " << tick;
    ASSERT_FALSE(f.tvw->isHidden()) << "tick " << tick;  // visible to the end of the fold
  }
  f.tmrHide_Timer();
  EXPECT_TRUE(f.tvw->isHidden());
  EXPECT_FALSE(f.tmrHide->isActive());
  EXPECT_EQ(f.y(), top);  // only the bottom edge moves

  f.mnuLHS_Click();
  EXPECT_FALSE(f.tvw->isHidden());  // from the first moment of the unfold
  EXPECT_EQ(f.mnuLHS->text(), "Hide");
  EXPECT_EQ(Setting("HideList"), 0);
  ExpectListCommands(f, true);  // Run, Rename, Delete with no node selected
  for (int i = 0; i < 10; ++i) f.tmrShow_Timer();
  ASSERT_EQ(f.OuterHeightTwips(), kHidden + 750);

  f.mnuLHS_Click();  // Hide while showing: takes over from here
  EXPECT_TRUE(f.tmrHide->isActive());
  EXPECT_FALSE(f.tmrShow->isActive());
  f.tmrHide_Timer();
  EXPECT_EQ(f.OuterHeightTwips(), kHidden + 675);
  f.mnuLHS_Click();  // and Show while hiding
  EXPECT_FALSE(f.tmrHide->isActive());
  int ticks = 0;
  while (f.tmrShow->isActive() && ticks < 100) {
    f.tmrShow_Timer();
    ++ticks;
  }
  EXPECT_EQ(ticks, 24);  // 23 steps up to 5025, then the end
  EXPECT_EQ(f.centralWidget()->height(), Px(4215));
}

TEST_F(SettingsTest, KeywordsShortcutsRestWhileTheListIsFolded) {
  ScriptedDialogs none;
  launch::RecordingLaunchBackend launched;
  frmMain f;
  f.LoadSettings();
  f.show();
  f.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  f.mnuKWOCF->setEnabled(true);  // as a selected keyword leaves it
  QSignalSpy openFolder(f.mnuKWOCF, &QAction::triggered);

  f.mnuLHS_Click();
  while (f.tmrHide->isActive()) f.tmrHide_Timer();
  QTest::keyClick(&f, Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(openFolder.count(), 0);
  f.mnuKWD->setEnabled(true);  // the selection handling while folded

  f.mnuLHS_Click();
  EXPECT_TRUE(f.mnuKWOCF->isEnabled());  // each item as it was left
  EXPECT_TRUE(f.mnuKWD->isEnabled());
  EXPECT_FALSE(f.mnuKWR->isEnabled());
  EXPECT_TRUE(f.mnuKWCU->isEnabled());
  QTest::keyClick(&f, Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(openFolder.count(), 1);
}

TEST_F(SettingsTest, CancelInACloseQuestionKeepsTheWindowButSavesThePosition) {
  Put("notepad.exe", "/usr/bin/notepad");
  Put("editor.exe", "/usr/bin/editor");
  frmMain f;
  f.LoadSettings();
  f.show();
  f.LoadTVW(false);
  ASSERT_GE(f.tvw->Count(), 5);
  f.tvw->SetForeColor(2, colour::Blue);  // marked for exportation
  f.tvw->SetTag(4, f.tvw->Text(4));      // renamed, not registered
  f.tvw->SetText(4, "other.exe");
  f.tvw->SetForeColor(4, colour::Red);

  ScriptedDialogs dialogs;
  for (int answer : {answer::Cancel, answer::No}) {  // Cancel in either question
    dialogs.expectBox("Unregistered Keyword", QString(), answer, 51);
    dialogs.expectBox("Export Keyword?", QString(), answer == answer::No ? answer::Cancel : answer::No, 51);
    f.move(40 + answer, 60);
    EXPECT_FALSE(f.close());
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(Setting("Left"), (40 + answer) * 15);
    EXPECT_EQ(Setting("Top"), 60 * 15);
  }
  dialogs.expectBox("Unregistered Keyword", QString(), answer::No, 51);
  dialogs.expectBox("Export Keyword?", QString(), answer::No, 51);
  EXPECT_TRUE(f.close());
  EXPECT_FALSE(f.isVisible());
}

}  // namespace
}  // namespace zelkar::test
