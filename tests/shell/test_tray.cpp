#include <QApplication>
#include <QMenu>

#include "ShellTest.h"
#include "app/core/Dialogs.h"
#include "support/RecordingLaunchBackend.h"
#include "support/ScriptedDialogs.h"

namespace zelkar::test {
namespace {

class TrayTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    TrayIcon::setAvailableForTests(1);
  }
  static std::unique_ptr<frmMain> Window() {
    auto f = std::make_unique<frmMain>();
    f->LoadSettings();
    f->show();
    return f;
  }
  static void Minimise(frmMain& f) { f.setWindowState(f.windowState() | Qt::WindowMinimized); }
  static bool InTray(const frmMain& f) { return f.tray()->shown() && f.isHidden(); }
  static bool Normal(const frmMain& f) { return !f.tray()->shown() && f.isVisible() && !f.isMinimized(); }
};

TEST_F(TrayTest, MinimisingGoesToTheTrayWithTheReminderUntilItIsClicked) {
  auto f = Window();
  Minimise(*f);
  EXPECT_TRUE(InTray(*f));
  EXPECT_EQ(f->tray()->toolTip(), "Zelkar");
  EXPECT_EQ(f->tray()->balloonCount(), 1);
  EXPECT_EQ(f->tray()->lastBalloonTitle(), "Reminder");
  EXPECT_EQ(f->tray()->lastBalloonText(), QStringLiteral("Zelkar is still running in the background.\r\n"
                                                         "Click here not to see this message again."));

  emit f->tray()->LeftUp();  // back, icon gone
  EXPECT_TRUE(Normal(*f));
  Minimise(*f);  // every time while the reminder is on
  EXPECT_EQ(f->tray()->balloonCount(), 2);
  emit f->tray()->BalloonClick();
  EXPECT_EQ(Setting("DSTR"), 1);

  emit f->tray()->LeftUp();
  Minimise(*f);
  EXPECT_TRUE(InTray(*f));
  EXPECT_EQ(f->tray()->balloonCount(), 2);
  f.reset();  // and after a new start
  auto again = Window();
  Minimise(*again);
  EXPECT_TRUE(InTray(*again));
  EXPECT_EQ(again->tray()->balloonCount(), 0);
}

TEST_F(TrayTest, RightClickOffersTheTrayMenuWithOpenAsDefault) {
  auto f = Window();
  Minimise(*f);
  emit f->tray()->RightUp();
  EXPECT_EQ(f->lastPopup, f->mnuHT);
  EXPECT_EQ(f->lastPopupDefault, f->mnuHTOpen);
  EXPECT_TRUE(InTray(*f));  // nothing chosen: still in the tray

  f->mnuHTOpen->trigger();
  EXPECT_TRUE(Normal(*f));
  f->lastPopup = nullptr;  // once back, the icon's events no longer reach the window
  emit f->tray()->RightUp();
  EXPECT_EQ(f->lastPopup, nullptr);
}

TEST_F(TrayTest, WithoutANotificationAreaTheWindowStaysMinimised) {
  TrayIcon::setAvailableForTests(0);
  auto f = Window();
  Minimise(*f);
  EXPECT_FALSE(f->tray()->shown());
  EXPECT_FALSE(f->isHidden());
  EXPECT_TRUE(f->isMinimized());
  EXPECT_EQ(f->tray()->balloonCount(), 0);
}

// Answers every box with Cancel, noting whether the window stood open when asked.
class WatchingDialogs final : public Dialogs {
 public:
  explicit WatchingDialogs(const frmMain& f) : form_(f), scope_(*this) {}
  int messageBox(const QString&, int, const QString& title) override {
    titles << title;
    openWhenAsked = form_.isVisible() && !form_.isMinimized() && !form_.tray()->shown();
    return answer::Cancel;
  }
  std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> browseFolder(const QString&) override { return std::nullopt; }
  QStringList titles;
  bool openWhenAsked = false;

 private:
  const frmMain& form_;
  Scope scope_;
};

TEST_F(TrayTest, ExitRestoresFirstSoThatTheCloseQuestionStandsOverTheWindow) {
  Put("notepad.exe", "/usr/bin/notepad");
  auto f = Window();
  f->LoadTVW(false);
  ASSERT_GE(f->tvw->Count(), 3);
  f->tvw->SetForeColor(2, colour::Blue);
  Minimise(*f);
  {
    WatchingDialogs dialogs(*f);
    f->mnuHTExit->trigger();
    EXPECT_EQ(dialogs.titles, QStringList{"Export Keyword?"});
    EXPECT_TRUE(dialogs.openWhenAsked);
  }
  EXPECT_TRUE(Normal(*f));  // Cancel: running on, in the normal state

  f->tvw->SetForeColor(2, colour::Black);
  Minimise(*f);
  ScriptedDialogs none;
  f->mnuHTExit->trigger();
  EXPECT_FALSE(f->isVisible());
  EXPECT_FALSE(f->tray()->shown());

  auto other = Window();  // closed by other means while in the tray: no icon left behind
  Minimise(*other);
  EXPECT_TRUE(other->close());
  EXPECT_FALSE(other->tray()->shown());
}

TEST_F(TrayTest, TrayMenuCommands) {
  auto f = Window();
  launch::RecordingLaunchBackend launched;
  frmAbout::setProgramFolderForTests(dir());

  Minimise(*f);
  f->mnuHTNF->trigger();  // the text without the About window, still in the tray
  EXPECT_TRUE(InTray(*f));
  ASSERT_TRUE(launched.only().has_value());
  EXPECT_EQ(launched.only()->url.toLocalFile(), path("New Features"));
  for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->inherits("zelkar::frmAbout") && w->isVisible());
  launched.clear();
  f->mnuHTU->trigger();  // the maker's page, still in the tray
  EXPECT_TRUE(InTray(*f));
  ASSERT_TRUE(launched.only().has_value());
  EXPECT_EQ(launched.only()->urlText(), "https://orbrin.example/zelkar");

  f->mnuHTOpen->trigger();
  f->txtExe->setText("something");
  f->lblPath->setCaption("/tmp/somewhere");
  Minimise(*f);
  f->mnuHTNK->trigger();  // back, keyword and target cleared
  EXPECT_TRUE(Normal(*f));
  EXPECT_TRUE(f->txtExe->text().isEmpty());
  EXPECT_TRUE(f->lblPath->caption().isEmpty());

  Minimise(*f);
  bool restoredBeforeAbout = false;
  frmAbout::ModalHook hook([&](frmAbout& about) {
    restoredBeforeAbout = Normal(*f);
    about.cmdOK_Click();
  });
  f->mnuHTA->trigger();  // back first, then the About window over it
  EXPECT_TRUE(restoredBeforeAbout);
}

}  // namespace
}  // namespace zelkar::test
