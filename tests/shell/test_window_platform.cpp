// The window among the desktop's own: screen readers, the window manager's
// frame, the user's fonts, other writers of the store.
#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "support/WindowTest.h"
#include "shell/WindowFrame.h"
#include "shell/frmAbout.h"
#include "support/ScriptedDialogs.h"

namespace zelkar::test {
namespace {

using WindowPlatformTest = WindowTest;

std::string Said(QObject* control, QAccessible::Text what) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
  return face ? face->text(what).toStdString() : "(no interface)";
}

TEST_F(WindowPlatformTest, EveryControlHasItsNameAndScreenReadersHearWhatItShows) {
  Put("notepad.exe", "/usr/bin/notepad");
  frmMain f;
  for (const char* name : {"fraTarget", "cmdBrowse", "cmdDir", "cmdURL", "lblPath", "cmdRun", "cmdRefresh",
                           "cmdDelete", "cmdRename", "fraKW", "cmdSave", "cmdRunTxt", "cmdClear", "txtExe", "tvw",
                           "pb", "pic16", "pic32", "pbTray"}) {
    QWidget* w = f.findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_NE(w, nullptr) << name;
    EXPECT_FALSE(w->accessibleName().isEmpty() && w->isVisibleTo(&f)) << name;
  }
  f.LoadTVW(false);
  EXPECT_EQ(Said(&f, QAccessible::Name), "Zelkar - 1 Keyword");
  // The target as it is, also one that looks like markup; none when cleared.
  for (const QString& target : {QStringLiteral("/usr/bin/a <b>c</b>"), QString()}) {
    f.lblPath->setCaption(target);
    EXPECT_EQ(Said(f.lblPath, QAccessible::Name), "Target");
    EXPECT_EQ(Said(f.lblPath, QAccessible::Description), target.toStdString());
  }
  frmAbout about;
  about.Form_Load();
  EXPECT_EQ(Said(about.lblAbout, QAccessible::Name), about.lblAbout->text().toStdString());
}

// The window manager's frame, known once the window is shown, counts in the
// outer heights, whatever its thickness, also for a start folded.
TEST_F(WindowPlatformTest, OuterHeightsCountTheRealFrameOnceKnown) {
  struct FakeFrame {
    explicit FakeFrame(const QMargins& frame) { windowframe::SetFrameForTests(frame); }
    ~FakeFrame() { windowframe::SetFrameForTests(std::nullopt); }
  };
  const struct {
    int title, border, hidden, outerTwips;
  } rows[] = {{20, 1, 0, 5025}, {44, 5, 1, 2625}};
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "title " << r.title << ", folded " << r.hidden);
    const FakeFrame frame(QMargins(r.border, r.title, r.border, r.border));
    SetSetting("HideList", r.hidden);
    frmMain f;
    f.LoadSettings();
    while (f.tmrHide->isActive()) f.tmrHide_Timer();  // the fold ends before any frame is known
    f.show();
    EXPECT_EQ(f.height() + r.title + r.border, r.outerTwips / 15);
    EXPECT_EQ(f.OuterHeightTwips(), r.outerTwips);
    EXPECT_EQ(f.mnuLHS->text(), r.hidden ? "Show" : "Hide");
  }
}

// Larger fonts (and fonts at twice the pixels, as a scale of 2 gives them)
// grow the window until every text fits; the user may make it larger still,
// and the tree takes the room.
TEST_F(WindowPlatformTest, TextsFitEveryFontAndTheTreeTakesTheExtraRoom) {
  const QFont original = QApplication::font();
  struct FontScope {
    QFont kept;
    ~FontScope() { QApplication::setFont(kept); }
  } restore{original};
  for (const int points : {12, 20}) {
    SCOPED_TRACE(testing::Message() << points << " pt");
    QFont font = original;
    font.setPointSize(points);
    QApplication::setFont(font);
    frmMain f;
    f.LoadSettings();
    f.show();
    for (QPushButton* b : {f.cmdRefresh, f.cmdRun, f.cmdRename, f.cmdDelete}) {
      const QFontMetrics fm(b->font());
      EXPECT_LT(fm.horizontalAdvance(b->text()), b->width()) << b->text().toStdString();
      EXPECT_LT(fm.height(), b->height()) << b->text().toStdString();
    }
    for (QWidget* w : {static_cast<QWidget*>(f.txtExe), static_cast<QWidget*>(f.lblPath)})
      EXPECT_LT(QFontMetrics(w->font()).height(), w->height()) << w->objectName().toStdString();
    for (QGroupBox* frame : {static_cast<QGroupBox*>(f.fraKW), static_cast<QGroupBox*>(f.fraTarget)})
      EXPECT_LE(QFontMetrics(frame->font()).height(), frame->childrenRect().top()) << frame->title().toStdString();
    EXPECT_LE(f.cmdDelete->geometry().right(), f.centralWidget()->width());
    EXPECT_LE(f.cmdDelete->geometry().bottom(), f.centralWidget()->height());
  }
  QApplication::setFont(original);

  // Larger by hand: the tree takes the room, and the size outlives a fold and the window.
  frmMain f;
  f.LoadSettings();
  f.show();
  const QRect tree = f.tvw->geometry(), del = f.cmdDelete->geometry(), target = f.lblPath->geometry();
  f.resize(f.size() + QSize(120, 90));
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.tvw->width() == tree.width() + 120; }, 2000));
  EXPECT_EQ(f.tvw->geometry(), tree.adjusted(0, 0, 120, 90));
  EXPECT_EQ(f.cmdDelete->geometry(), del.translated(120, 90));
  EXPECT_EQ(f.lblPath->geometry(), target.adjusted(0, 0, 120, 0));
  const int unfolded = f.OuterHeightTwips();
  f.mnuLHS_Click();
  while (f.tmrHide->isActive()) f.tmrHide_Timer();
  EXPECT_EQ(f.OuterHeightTwips(), 2625);
  f.mnuLHS_Click();
  while (f.tmrShow->isActive()) f.tmrShow_Timer();
  EXPECT_EQ(f.OuterHeightTwips(), unfolded);
  f.SaveSettings();
  EXPECT_EQ(Setting("Width"), f.width() * 15);
  EXPECT_EQ(Setting("Height"), unfolded);

  frmMain again;
  again.LoadSettings();
  again.show();
  EXPECT_EQ(again.size(), f.size());
  EXPECT_EQ(again.tvw->geometry(), f.tvw->geometry());
}

TEST_F(WindowPlatformTest, TreeFollowsOtherWritersUnlessItHoldsMarks) {
  ScriptedDialogs none;
  frmMain f;
  f.Form_Load();
  f.show();
  const auto listed = [&f](const QString& keyword) { return Node(f, keyword) != 0; };
  const QString key = QStringLiteral("HKLM\\") + kAppPathsKey;
  ASSERT_EQ(RunZelkarReg({"add", key + "Other.exe", "--default", "--data", "/usr/bin/other"}), 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return listed("other.exe"); }, 2500));

  // A mark in the tree holds the change back, without a question.
  f.tvw->SetForeColor(2, colour::Blue);
  ASSERT_EQ(RunZelkarReg({"add", key + "Later.exe", "--default", "--data", "/usr/bin/later"}), 0);
  QTest::qWait(2500);
  EXPECT_FALSE(listed("later.exe"));
  f.tvw->SetForeColor(2, colour::Black);
  EXPECT_TRUE(QTest::qWaitFor([&] { return listed("later.exe"); }, 2500));
}

}  // namespace
}  // namespace zelkar::test
