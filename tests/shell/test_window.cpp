// The window among the desktop's own: its remembered place and size, the
// folding list, the notification-area icon, the About window and the New
// Features text, screen readers, the window manager's frame, the user's fonts
// and other writers of the store.
#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QMenu>
#include <QScopeGuard>
#include <QScreen>
#include <QTimer>

#include "shell/TrayIcon.h"
#include "shell/WindowFrame.h"
#include "shell/frmAbout.h"
#include "store/FileReplace.h"
#include "support/WindowTest.h"

namespace zelkar::test {
namespace {

constexpr int kHidden = 2625;

class ShellTest : public WindowTest {
 protected:
  static void ExpectListCommands(const frmMain& f, bool enabled) {
    for (const QPushButton* b : {f.cmdRefresh, f.cmdRun, f.cmdRename, f.cmdDelete})
      EXPECT_EQ(b->isEnabled(), enabled) << b->objectName().toStdString();
    for (const QAction* a : {f.mnuls, f.mnuLI, f.mnuLR, f.mnuLL->menuAction(), f.mnuKW->menuAction()})
      EXPECT_EQ(a->isEnabled(), enabled) << a->objectName().toStdString();
  }
  static void Minimise(frmMain& f) { f.setWindowState(f.windowState() | Qt::WindowMinimized); }
  static bool InTray(const frmMain& f) { return f.tray()->shown() && f.isHidden(); }
  static bool Normal(const frmMain& f) { return !f.tray()->shown() && f.isVisible() && !f.isMinimized(); }
};

int PixelsOf(int twips) { return qRound(twips / 15.0); }

TEST_F(ShellTest, StoredPositionIsKeptOnTheScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const int freeW = (screen.width() - frmMain().frameGeometry().width()) * 15;
  const int freeH = screen.height() * 15 - 5025;  // the window's outer height, unfolded
  const struct {
    int left, top;
    QPoint expected;
    const char* row;
  } rows[] = {{-4000, -1, QPoint(PixelsOf(freeW / 2), PixelsOf(freeH / 2)), "negatives: centred"},
              {400000, 300, QPoint(PixelsOf(freeW), 20), "beyond the right"},
              {1500, 400000, QPoint(100, PixelsOf(freeH / 2)), "below: half way, not all"},
              {-4000, 600, QPoint(0, 40), "one negative"}};
  for (const auto& r : rows) {
    SetSetting("Left", r.left);
    SetSetting("Top", r.top);
    frmMain f;
    f.LoadSettings();
    EXPECT_EQ(f.pos(), r.expected) << r.row;
  }
}

// Folding slides the bottom edge in steps, the list's commands and shortcuts
// resting, and a new choice takes over from the current height.
TEST_F(ShellTest, TheListFoldsInStepsWithItsCommandsAtRest) {
  ScriptedDialogs none;
  auto f = Window();
  f->LoadSettings();
  f->mnuKWOCF->setEnabled(true);  // as a selected keyword leaves it
  const int top = f->y();
  f->mnuLHS_Click();
  EXPECT_EQ(Setting("HideList"), 1);  // at the moment of choice
  ExpectListCommands(*f, false);
  while (f->tmrHide->isActive()) {
    ASSERT_FALSE(f->tvw->isHidden());  // in view to the end of the fold
    f->tmrHide_Timer();
  }
  EXPECT_EQ(f->OuterHeightTwips(), kHidden);
  EXPECT_EQ(f->y(), top);  // only the bottom edge moves
  EXPECT_FALSE(f->mnuKWOCF->isEnabled());  // nor its shortcut (Ctrl+O)
  f->mnuKWD->setEnabled(true);  // the selection handling while folded

  f->mnuLHS_Click();
  EXPECT_FALSE(f->tvw->isHidden());  // from the first moment of the unfold
  EXPECT_EQ(Setting("HideList"), 0);
  ExpectListCommands(*f, true);  // Run, Rename, Delete with no node selected
  EXPECT_TRUE(f->mnuKWOCF->isEnabled() && f->mnuKWD->isEnabled());  // each item as it was left
  EXPECT_FALSE(f->mnuKWR->isEnabled());
  for (int i = 0; i < 10; ++i) f->tmrShow_Timer();
  f->mnuLHS_Click();  // Hide while showing
  EXPECT_FALSE(f->tmrShow->isActive());
  f->tmrHide_Timer();
  EXPECT_EQ(f->OuterHeightTwips(), kHidden + 675);
  f->mnuLHS_Click();  // and Show while hiding
  EXPECT_FALSE(f->tmrHide->isActive());
}

// The reminder each time until it is clicked; the menu's commands act from the
// tray or after bringing the window back.
TEST_F(ShellTest, MinimisingGoesToTheTrayAndItsMenuActsFromThere) {
  TrayIcon::setAvailableForTests(1);
  Put("notepad.exe", "/usr/bin/notepad");
  frmAbout::setProgramFolderForTests(dir());
  auto f = Window();
  Minimise(*f);
  EXPECT_TRUE(InTray(*f));
  EXPECT_EQ(f->tray()->lastBalloonTitle(), "Reminder");
  emit f->tray()->LeftUp();  // back, icon gone
  EXPECT_TRUE(Normal(*f));
  Minimise(*f);
  EXPECT_EQ(f->tray()->balloonCount(), 2);
  emit f->tray()->BalloonClick();
  EXPECT_EQ(Setting("DSTR"), 1);

  emit f->tray()->RightUp();  // the tray menu, Open its default
  EXPECT_EQ(f->lastPopup, f->mnuHT);
  EXPECT_EQ(f->lastPopupDefault, f->mnuHTOpen);
  f->mnuHTNF->trigger();  // the text without the About window, still in the tray
  EXPECT_TRUE(InTray(*f));
  EXPECT_EQ(Recorded(), Open(path("New Features")));
  // The history in lines ended by CR LF, newest version first (its mode: the cache's test).
  const QByteArray text = ReadFile(path("New Features"));
  EXPECT_TRUE(text.startsWith("\r\nNew Features for Zelkar (v1.8):\r\n\r\n\tKeywords are now displayed with"));
  EXPECT_TRUE(text.contains("\tClose the program with the Esc key\r\n\r\n<-=-=-") && text.endsWith("=->\r\n"));
  f->txtExe->setText("something");
  f->mnuHTNK->trigger();  // back, the keyword cleared
  EXPECT_TRUE(Normal(*f));
  EXPECT_TRUE(f->txtExe->text().isEmpty());

  // Back first, then the About window over it, centred; the maker's page
  // from there even without a browser, no message; then the focus back.
  Minimise(*f);
  backend.openResult = false;
  int shown = 0;
  frmAbout::ModalHook hook([&](frmAbout& about) {
    ++shown;
    EXPECT_TRUE(Normal(*f));
    EXPECT_EQ(about.windowTitle(), "About Zelkar (v1.8)");
    // (the frame, known only once shown, may shift it by its own half)
    EXPECT_LE((about.frameGeometry().center() - f->frameGeometry().center()).manhattanLength(), 4);
    backend.clear();
    about.cmdUpdate->click();
    EXPECT_EQ(Recorded(), "open https://orbrin.example/zelkar");
    QTest::mouseClick(about.cmdOK, Qt::LeftButton);
    f->cmdClear->setFocus();  // wherever the focus went meanwhile
  });
  f->mnuHTA->trigger();
  EXPECT_EQ(f->focusWidget(), f->txtExe);
  f->mnuHideAbout->trigger();  // the tree menu's About... too
  EXPECT_EQ(shown, 2);

  // Exit restores the window for the close question; Cancel there keeps it
  // running, in the normal state, but saves its place.
  f->tvw->SetForeColor(2, colour::Blue);
  f->move(41, 60);
  Minimise(*f);
  ScriptedDialogs dialogs;
  dialogs.expectBox("Export Keyword?", QString(), answer::Cancel, 51);
  f->mnuHTExit->trigger();
  EXPECT_TRUE(Normal(*f));
  EXPECT_EQ(Setting("Top"), 60 * 15);

  auto again = Window();  // after a new start, no reminder
  Minimise(*again);
  EXPECT_EQ(again->tray()->balloonCount(), 0);
  EXPECT_TRUE(again->close());  // closed by other means while in the tray: no icon left behind
  EXPECT_FALSE(again->tray()->shown());
  TrayIcon::setAvailableForTests(0);  // no notification area: the window stays minimised
  auto other = Window();
  Minimise(*other);
  EXPECT_FALSE(other->tray()->shown());
  EXPECT_TRUE(other->isVisible() && other->isMinimized());
}

// A program folder that takes no file sends the text to the cache (beside the
// program: the tray's test); the next start removes it wherever it went.
TEST_F(ShellTest, NewFeaturesGoToTheCacheWithoutAProgramFolderAndAtTheNextStartAway) {
  ASSERT_TRUE(QDir().mkpath(path("my programs")));
  const QString beside = MakeFile("my programs/New Features"), cached = dir() + "/home/.cache/zelkar/New Features";
  frmAbout::setProgramFolderForTests(MakeFile("plain"));
  frmAbout().cmdNF_Click();
  EXPECT_EQ(Recorded(), Open(cached));  // the whole path, blanks and all
  EXPECT_TRUE(files::IsPlainFile(cached, 0644));
  frmAbout::setProgramFolderForTests(path("my programs"));
  frmAbout::RemoveNewFeaturesLeftover();
  EXPECT_FALSE(QFile::exists(beside));
  EXPECT_FALSE(QFile::exists(cached));
}

std::string Said(QObject* control, QAccessible::Text what) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
  return face ? face->text(what).toStdString() : "(no interface)";
}

TEST_F(ShellTest, EveryControlHasItsNameAndScreenReadersHearWhatItShows) {
  Put("notepad.exe", "/usr/bin/notepad");
  frmMain f;
  for (const QWidget* w : f.centralWidget()->findChildren<QWidget*>())  // the window's own, not Qt's inner parts
    EXPECT_FALSE(w->accessibleName().isEmpty() && w->isVisibleTo(&f) && !w->objectName().startsWith("qt_"))
        << w->objectName().toStdString() << " " << w->metaObject()->className();
  f.LoadTVW(false);
  EXPECT_EQ(Said(&f, QAccessible::Name), "Zelkar - 1 Keyword");
  f.lblPath->setCaption("/usr/bin/a <b>c</b>");  // the target as it is, also one that looks like markup
  EXPECT_EQ(Said(f.lblPath, QAccessible::Name), "Target");
  EXPECT_EQ(Said(f.lblPath, QAccessible::Description), "/usr/bin/a <b>c</b>");
}

// Larger fonts (and fonts at twice the pixels, as a scale of 2 gives them)
// grow the window until every text fits. The user may make it larger still,
// the tree taking the room; the size outlives a fold and the window, and the
// window manager's frame, known once the window is shown, counts in the outer
// heights, also for a start folded.
TEST_F(ShellTest, TextsFitEveryFontTheTreeTakesTheExtraRoomAndTheFrameCounts) {
  const QFont original = QApplication::font();
  const auto restore = qScopeGuard([original] {
    QApplication::setFont(original);
    windowframe::SetFrameForTests(std::nullopt);
  });
  QFont font = original;
  font.setPointSize(20);
  QApplication::setFont(font);
  {
    frmMain f;
    f.LoadSettings();
    f.show();
    for (QPushButton* b : {f.cmdRefresh, f.cmdRun, f.cmdRename, f.cmdDelete})
      EXPECT_LT(QFontMetrics(b->font()).horizontalAdvance(b->text()), b->width()) << b->text().toStdString();
    for (QWidget* w :
         std::initializer_list<QWidget*>{f.cmdRefresh, f.cmdRun, f.cmdRename, f.cmdDelete, f.txtExe, f.lblPath})
      EXPECT_LT(QFontMetrics(w->font()).height(), w->height()) << w->objectName().toStdString();
    for (QGroupBox* frame : {static_cast<QGroupBox*>(f.fraKW), static_cast<QGroupBox*>(f.fraTarget)})
      EXPECT_LE(QFontMetrics(frame->font()).height(), frame->childrenRect().top()) << frame->title().toStdString();
    EXPECT_TRUE(f.centralWidget()->rect().contains(f.cmdDelete->geometry()));
  }
  QApplication::setFont(original);

  frmMain f;
  f.LoadSettings();
  f.show();
  const QRect tree = f.tvw->geometry(), del = f.cmdDelete->geometry();
  f.resize(f.size() + QSize(120, 90));
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.tvw->width() == tree.width() + 120; }, 2000));
  EXPECT_EQ(f.tvw->geometry(), tree.adjusted(0, 0, 120, 90));
  EXPECT_EQ(f.cmdDelete->geometry(), del.translated(120, 90));
  const int unfolded = f.OuterHeightTwips();
  f.SaveSettings();
  SetSetting("HideList", 1);
  constexpr int kFrame = 44 + 5;  // title bar and bottom border
  windowframe::SetFrameForTests(QMargins(5, 44, 5, 5));
  frmMain again;
  again.LoadSettings();
  while (again.tmrHide->isActive()) again.tmrHide_Timer();  // the fold ends before any frame is known
  again.show();
  EXPECT_EQ((again.height() + kFrame) * 15, kHidden);
  again.mnuLHS_Click();
  while (again.tmrShow->isActive()) again.tmrShow_Timer();
  EXPECT_EQ(again.width(), f.width());
  EXPECT_EQ((again.height() + kFrame) * 15, unfolded);
  windowframe::SetFrameForTests(QMargins(5, 20, 5, 5));  // another frame for the window unfolded
  again.move(again.pos() + QPoint(1, 0));
  EXPECT_TRUE(QTest::qWaitFor([&] { return (again.height() + 25) * 15 == unfolded; }, 2000));
}

TEST_F(ShellTest, TreeFollowsOtherWritersUnlessItHoldsMarks) {
  ScriptedDialogs none;
  frmMain f;
  f.Form_Load();
  f.show();
  ASSERT_EQ(RunZelkarReg({"add", kAppPathsFull + "Other.exe", "--default", "--data", "/usr/bin/other"}), 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Node(f, "other.exe"); }, 2500));

  // A mark in the tree holds the change back, without a question.
  f.tvw->SetForeColor(2, colour::Blue);
  ASSERT_EQ(RunZelkarReg({"add", kAppPathsFull + "Later.exe", "--default", "--data", "/usr/bin/later"}), 0);
  QTest::qWait(2500);
  EXPECT_EQ(Node(f, "later.exe"), 0);
  f.tvw->SetForeColor(2, colour::Black);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Node(f, "later.exe"); }, 2500));
}

}  // namespace
}  // namespace zelkar::test
