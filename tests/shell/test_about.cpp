#include "ShellTest.h"

#include "app/Controls.h"
#include "launch/core/LaunchBackend.h"
#include "shell/frmAbout.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <cstdlib>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace zelkar::test {
namespace {

using AboutTest = ShellTest;

TEST_F(AboutTest, CaptionTextAndControls) {
  frmAbout about;
  about.Form_Load();
  EXPECT_EQ(about.windowTitle(), QStringLiteral("About Zelkar (v1.8)"));
  EXPECT_EQ(about.lblAbout->text(),
            QStringLiteral("Ever wonder why some programs can be launched from the Run window while otheres "
                           "cannot?  \r\n\r\nWell, these programs can do this because their 'keyword' has been "
                           "registered with Windows.  For instance, this program registered the keyword 'Zelkar' "
                           "with Windows, so now you may launch it just by typing that keyword in the Run window, "
                           "Commmand Prompt, or even in Windows' and Internet Explorer's AddressBars!  \r\n\r\nIf "
                           "you haven't already guessed, this program helps you register, rename, delete, modify, "
                           "and backup Windows' keywords."));
  EXPECT_EQ(about.objectName(), QStringLiteral("frmAbout"));
  for (const char* name : {"Image1", "lblAbout"}) EXPECT_NE(about.findChild<QLabel*>(QLatin1String(name)), nullptr);
  EXPECT_EQ(about.findChild<QPushButton*>(QStringLiteral("cmdNF"))->text(), QStringLiteral("New Features"));
  EXPECT_EQ(about.findChild<QPushButton*>(QStringLiteral("cmdOK"))->text(), QStringLiteral("OK"));
  EXPECT_EQ(about.findChild<QPushButton*>(QStringLiteral("cmdUpdate"))->text(), QStringLiteral("Update"));

  launch::RecordingLaunchBackend launched;
  launched.openResult = false;  // no browser: still no message
  ScriptedDialogs none;
  about.cmdUpdate->click();
  ASSERT_TRUE(launched.only().has_value());
  EXPECT_EQ(launched.only()->urlText(), QStringLiteral("https://orbrin.example/zelkar"));
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
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Zelkar (v1.8)"));
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

TEST_F(AboutTest, NewFeaturesButtonWritesAndOpensTheFile) {
  const QString program = path(QStringLiteral("my programs"));
  ASSERT_TRUE(QDir().mkpath(program));
  frmAbout::setProgramFolderForTests(program);
  launch::RecordingLaunchBackend launched;
  frmAbout about;
  about.cmdNF->click();
  const QString file = QDir(program).filePath(QStringLiteral("New Features"));
  ASSERT_TRUE(launched.only().has_value());
  EXPECT_EQ(launched.only()->kind, launch::LaunchRequest::Open);
  EXPECT_EQ(launched.only()->url.toLocalFile(), file);  // the whole path, blanks and all
  EXPECT_TRUE(QFile::exists(file));  // still there for the viewer
}

}  // namespace
}  // namespace zelkar::test
