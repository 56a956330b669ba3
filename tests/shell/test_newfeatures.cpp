#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include "ShellTest.h"
#include "support/RecordingLaunchBackend.h"
#include "shell/frmAbout.h"

namespace zelkar::test {
namespace {

using NewFeaturesTest = ShellTest;

const char kExpected[] =
    "\r\n"
    "New Features for Zelkar (v1.8):\r\n\r\n"
    "\tKeywords are now displayed with their associated icons\r\n"
    "\tThe addition of a most recently used menu\r\n"
    "\tThe ability to import/export keywords from/to backup files\r\n"
    "\tClean Up menu item added, which deletes keywords with broken targets\r\n"
    "\tA more logical Delete All function, which now prompts you to backup first\r\n"
    "\tFaster keyword renaming by using treeview instead of seperate dialogue\r\n"
    "\tInline AutoComplete feature added to keyword textbox\r\n"
    "\tOpen Containing Folder menu item added\r\n"
    "\tReport Bug item added to Help menu\r\n"
    "\tBug fixes\r\n\r\n"
    "<-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=->\r\n\r\n"
    "v1.7:\r\n\r\n"
    "\tWindows XP visual style\r\n"
    "\tAbility to drag files, directories, or shortcuts onto the target frame\r\n"
    "\tLoad keyword backup files by dragging them onto the list of keywords\r\n"
    "\tProgress displayed when loading keywords\r\n"
    "\tBug fixes\r\n\r\n"
    "<-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=->\r\n\r\n"
    "v1.6:\r\n\r\n"
    "\tThe total number of keywords is now displayed in the window's title\r\n"
    "\tAbility to associate keywords with internet addresses (URLs)\r\n"
    "\tMore user-friendly button configuration\r\n"
    "\tThe addition of menus\r\n"
    "\tHide list of keywords option (with sliding animation)\r\n"
    "\tLoad and save your keyword lists\r\n"
    "\tDelete all keywords option\r\n"
    "\tBug fixes\r\n\r\n"
    "<-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=->\r\n\r\n"
    "v1.5:\r\n\r\n"
    "\tAbility to associate keywords with directories\r\n"
    "\tAbility to execute keywords and internet addresses (URLs) from the execution command textbox\r\n"
    "\tCompact window height for higher desktop visibility\r\n"
    "\tWindow position memory\r\n"
    "\tMinimizes to system tray\r\n"
    "\tUpdate option\r\n"
    "\tMany bug fixes\r\n\r\n"
    "<-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=->\r\n\r\n"
    "v1.0:\r\n\r\n"
    "\tAbility to run, rename, delete, save, and refresh keywords\r\n"
    "\tConveniently adds the keyword 'Zelkar' when launched\r\n"
    "\tClose the program with the Esc key\r\n\r\n"
    "<-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=->\r\n";

QByteArray Read(const QString& file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& file, const QByteArray& bytes) {
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

TEST_F(NewFeaturesTest, FileHoldsTheHistoryLineByLine) {
  const QByteArray expected(kExpected);

  frmAbout::setProgramFolderForTests(dir());
  launch::RecordingLaunchBackend launched;
  frmMain f;
  f.mnuHNF->trigger();  // Help menu: no About window
  for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->inherits("zelkar::frmAbout") && w->isVisible());
  const QString file = path("New Features");
  EXPECT_EQ(Read(file), expected);
  ASSERT_TRUE(launched.only().has_value());
  EXPECT_EQ(launched.only()->url.toLocalFile(), file);
}

TEST_F(NewFeaturesTest, AboutButtonOverwritesLeftoversNeverFollowsThem) {
  ASSERT_TRUE(QDir().mkpath(path("my programs")));
  frmAbout::setProgramFolderForTests(path("my programs"));
  const QString file = path("my programs/New Features");
  launch::RecordingLaunchBackend launched;

  WriteFile(file, QByteArray(8000, 'x'));  // read-only, longer than the text
  QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ExeOwner);
  frmAbout about;
  about.cmdNF->click();
  EXPECT_EQ(Read(file), QByteArray(kExpected));
  ASSERT_TRUE(launched.only().has_value());
  EXPECT_EQ(launched.only()->kind, launch::LaunchRequest::Open);
  EXPECT_EQ(launched.only()->url.toLocalFile(), file);  // the whole path, blanks and all
  EXPECT_TRUE(QFileInfo(file).permissions() & QFileDevice::WriteOwner);
  EXPECT_FALSE(QFileInfo(file).permissions() & QFileDevice::ExeOwner);  // opened, never run

  const QString victim = path("precious.txt");
  WriteFile(victim, "keep me");
  ASSERT_TRUE(QFile::remove(file));
  ASSERT_TRUE(QFile::link(victim, file));
  frmAbout().cmdNF_Click();
  EXPECT_EQ(Read(victim), QByteArray("keep me"));
  EXPECT_FALSE(QFileInfo(file).isSymLink());
  EXPECT_EQ(Read(file), QByteArray(kExpected));
}

TEST_F(NewFeaturesTest, CacheFolderTakesItWhenTheProgramFolderCannotAndTheNextStartRemovesIt) {
  launch::RecordingLaunchBackend launched;
  const QString cached = dir() + "/home/.cache/zelkar/New Features";
  WriteFile(path("plain"), "a file, not a folder");
  for (const QString& program : {path("missing folder"), path("plain")}) {
    frmAbout::setProgramFolderForTests(program);
    launched.clear();
    frmAbout().cmdNF_Click();
    EXPECT_EQ(Read(cached), QByteArray(kExpected)) << program.toStdString();
    ASSERT_TRUE(launched.only().has_value());
    EXPECT_EQ(launched.only()->url.toLocalFile(), cached);
  }

  frmAbout::setProgramFolderForTests(dir());
  WriteFile(path("New Features"), "left from the last run");
  frmAbout::RemoveNewFeaturesLeftover();
  EXPECT_FALSE(QFile::exists(path("New Features")));
  EXPECT_FALSE(QFile::exists(cached));
  EXPECT_TRUE(QFile::exists(path("plain")));
}

}  // namespace
}  // namespace zelkar::test
