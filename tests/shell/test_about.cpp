#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <cstdlib>

#include "ShellTest.h"
#include "app/Controls.h"
#include "support/RecordingLaunchBackend.h"
#include "shell/frmAbout.h"
#include "support/ScriptedDialogs.h"

namespace zelkar::test {
namespace {

using AboutTest = ShellTest;

TEST_F(AboutTest, CaptionTextAndUpdate) {
  frmAbout about;
  about.Form_Load();
  EXPECT_EQ(about.windowTitle(), "About Zelkar (v1.8)");
  EXPECT_EQ(about.lblAbout->text(),
            QStringLiteral("Ever wonder why some programs can be launched from the Run window while otheres "
                           "cannot?  \r\n\r\nWell, these programs can do this because their 'keyword' has been "
                           "registered with Windows.  For instance, this program registered the keyword 'Zelkar' "
                           "with Windows, so now you may launch it just by typing that keyword in the Run window, "
                           "Commmand Prompt, or even in Windows' and Internet Explorer's AddressBars!  \r\n\r\nIf "
                           "you haven't already guessed, this program helps you register, rename, delete, modify, "
                           "and backup Windows' keywords."));

  launch::RecordingLaunchBackend launched;
  launched.openResult = false;  // no browser: still no message
  ScriptedDialogs none;
  about.cmdUpdate->click();
  ASSERT_TRUE(launched.only().has_value());
  EXPECT_EQ(launched.only()->urlText(), "https://orbrin.example/zelkar");
}

TEST_F(AboutTest, OpensCentredOverTheMainWindowAndGivesTheFocusBack) {
  frmMain f;
  f.LoadSettings();
  f.show();
  f.cmdClear->setFocus();
  int shown = 0;
  frmAbout::ModalHook hook([&](frmAbout& about) {
    ++shown;
    EXPECT_TRUE(about.isVisible());
    EXPECT_TRUE(about.isModal());
    const QPoint mine = about.frameGeometry().center();
    const QPoint main = f.frameGeometry().center();
    // (the frame, known only once shown, may shift it by its own half)
    EXPECT_LE(std::abs(mine.x() - main.x()), 2);
    EXPECT_LE(std::abs(mine.y() - main.y()), 2);
    QTest::mouseClick(about.cmdOK, Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    f.cmdClear->setFocus();  // wherever the focus went meanwhile
  });
  f.mnuHA->trigger();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(f.focusWidget(), f.txtExe);

  f.mnuHideAbout->trigger();  // the tree menu's About... too
  EXPECT_EQ(shown, 2);
}

}  // namespace
}  // namespace zelkar::test
