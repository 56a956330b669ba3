// The About window and the New Features text.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <functional>

#include "shell/frmAbout.h"
#include "support/WindowTest.h"

namespace zelkar::test {
namespace {

using AboutTest = WindowTest;

TEST_F(AboutTest, OpensCentredOverTheMainWindowOffersTheMakersPageAndGivesTheFocusBack) {
  frmMain f;
  f.LoadSettings();
  f.show();
  ScriptedDialogs none;
  backend.openResult = false;  // no browser: still no message
  int shown = 0;
  frmAbout::ModalHook hook([&](frmAbout& about) {
    ++shown;
    EXPECT_EQ(about.windowTitle(), "About Zelkar (v1.8)");
    EXPECT_TRUE(about.lblAbout->text().startsWith("Ever wonder why some programs can be launched from the Run "
                                                  "window while otheres cannot?  \r\n\r\nWell,"));
    EXPECT_TRUE(about.isModal());
    // (the frame, known only once shown, may shift it by its own half)
    EXPECT_LE((about.frameGeometry().center() - f.frameGeometry().center()).manhattanLength(), 4);
    backend.clear();
    about.cmdUpdate->click();
    EXPECT_EQ(Recorded(), "open https://orbrin.example/zelkar");
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

// The history in lines ended by CR LF, newest version first.
void ExpectNewFeatures(const QByteArray& text) {
  EXPECT_TRUE(text.startsWith("\r\nNew Features for Zelkar (v1.8):\r\n\r\n\tKeywords are now displayed with"));
  EXPECT_TRUE(text.endsWith("\tClose the program with the Esc key\r\n\r\n"
                            "<-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=->\r\n"));
  EXPECT_EQ(text.count("\r\n"), 58);
  EXPECT_EQ(text.count('\n'), 58);
  EXPECT_EQ(text.count('\t'), 33);
  EXPECT_EQ(text.count("<-=-"), 5);
  EXPECT_EQ(text.size(), 2005);
}

TEST_F(AboutTest, NewFeaturesAreWrittenBesideTheProgramOrInTheCacheAndOpenedNeverRun) {
  ASSERT_TRUE(QDir().mkpath(path("my programs")));
  WriteFile(path("plain"), "a file, not a folder");
  const QString cached = dir() + "/home/.cache/zelkar/New Features";
  const QString beside = path("my programs/New Features");
  const QString victim = path("precious.txt");
  WriteFile(victim, "keep me");
  const struct {
    const char* row;
    QString folder;
    std::function<void()> leftover;
    QString written;
  } rows[] = {
      {"writable folder", path("my programs"), [] {}, beside},
      {"read-only leftover longer than the text", path("my programs"),
       [&] {
         WriteFile(beside, QByteArray(8000, 'x'));
         QFile::setPermissions(beside, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
       },
       beside},
      {"link planted in its place", path("my programs"),
       [&] { ASSERT_TRUE(QFile::remove(beside) && QFile::link(victim, beside)); }, beside},
      {"missing folder", path("missing folder"), [] {}, cached},
      {"a file for a folder", path("plain"), [] {}, cached},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.row);
    frmAbout::setProgramFolderForTests(r.folder);
    r.leftover();
    backend.clear();
    frmAbout().cmdNF_Click();
    ExpectNewFeatures(ReadFile(r.written));
    EXPECT_EQ(Recorded(), Open(r.written));  // the whole path, blanks and all
    EXPECT_FALSE(QFileInfo(r.written).isSymLink());
    EXPECT_TRUE(QFileInfo(r.written).permissions() & QFileDevice::WriteOwner);
    EXPECT_FALSE(QFileInfo(r.written).permissions() & QFileDevice::ExeOwner);
  }
  EXPECT_EQ(ReadFile(victim), "keep me");

  // The Help menu's item shows no About window; the next start removes the text.
  frmAbout::setProgramFolderForTests(dir());
  backend.clear();
  frmMain().mnuHNF->trigger();
  for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->inherits("zelkar::frmAbout") && w->isVisible());
  EXPECT_EQ(Recorded(), Open(path("New Features")));
  frmAbout::RemoveNewFeaturesLeftover();
  EXPECT_FALSE(QFile::exists(path("New Features")));
  EXPECT_FALSE(QFile::exists(cached));
  EXPECT_TRUE(QFile::exists(path("plain")));
}

}  // namespace
}  // namespace zelkar::test
