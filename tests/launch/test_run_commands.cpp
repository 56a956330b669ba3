// The window's commands that run keywords, targets, typed text and help pages.
#include <QAction>
#include <QDir>

#include "support/WindowTest.h"

namespace zelkar::test {
namespace {

class RunCommandsTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    folder = path("Music");
    ASSERT_TRUE(QDir().mkpath(folder));
    song = MakeFile("Music/song.ogg");
    Put("song.exe", song);
    Put("music.exe", folder);
    Put("site.exe", "www.example.com/Page");
    Put("edited.exe", MakeFile("decoy.txt"));
    f = Window();
  }
  // What a command asked for, on a node clicked as the user clicks it.
  std::string On(const QString& keyword, int offset, QAction* command) {
    backend.clear();
    const int node = keyword.isEmpty() ? 1 : Node(*f, keyword) + offset;
    f->tvw->Select(node);
    if (node > 1) f->tvw_NodeClick(node);
    f->tvw->Select(node);
    command->trigger();
    return Recorded();
  }
  static void ExpectBroken(ScriptedDialogs& dialogs, int answer) {
    dialogs.expectBox("Delete Broken Keyword?",
                      "The keyword has a broken target and cannot be launched. Would you like to delete the keyword?",
                      answer, 52);
  }

  QString folder, song;
  std::unique_ptr<frmMain> f;
};

TEST_F(RunCommandsTest, RunAndOpenContainingFolder) {
  ScriptedDialogs dialogs;
  const struct {
    const char* keyword;
    int offset;  // 1: its target node
    QAction* command;
    std::string recorded;
  } rows[] = {
      {"site.exe", 0, f->mnuKWR, "open http://www.example.com/Page"},  // the address, never the keyword's name
      {"music.exe", 0, f->mnuKWR, Open(folder)},
      {"song.exe", 1, f->mnuHideRun, Open(song)},
      {"song.exe", 0, f->mnuKWOCF, Open(folder)},
      {"song.exe", 1, f->mnuHOCF, Open(folder)},  // the node's own text
      {"music.exe", 0, f->mnuKWOCF, Open(folder)},
      {"site.exe", 0, f->mnuHOCF, "open http://www.example.com/Page"},
  };
  for (const auto& r : rows) EXPECT_EQ(On(r.keyword, r.offset, r.command), r.recorded) << r.keyword;
  backend.clear();
  f->tvw->Select(1);  // the root: nothing run, nothing asked
  f->cmdRun_Click();
  f->mnuHOCF_Click();
  EXPECT_EQ(Recorded(), "none");
  QFile::remove(song);
  dialogs.expectBox("Error", "File not found", answer::OK, 16);
  EXPECT_EQ(On("song.exe", 0, f->mnuHOCF), "none");
}

TEST_F(RunCommandsTest, ABrokenKeywordMayBeDeletedUnderItsRegisteredName) {
  ScriptedDialogs dialogs;
  QFile::remove(song);
  ExpectBroken(dialogs, answer::No);
  EXPECT_EQ(On("song.exe", 0, f->mnuKWR), "none");
  EXPECT_TRUE(Has("song.exe"));

  // An unregistered keyword runs under the registered name, and that entry is deleted.
  const int node = Node(*f, "song.exe");
  f->tvw->SetText(node, "edited.exe");  // as an unfinished rename leaves it
  f->tvw->SetForeColor(node, colour::Red);
  f->tvw->SetTag(node, "song.exe");
  f->tvw->Select(node);
  ExpectBroken(dialogs, answer::Yes);
  dialogs.expectBoxTitled("Unregistered Keyword", answer::No);  // asked by the reload
  f->cmdRun_Click();
  EXPECT_FALSE(Has("song.exe"));
  EXPECT_TRUE(Has("edited.exe"));
  EXPECT_EQ(Node(*f, "song.exe"), 0);
  EXPECT_EQ(Recorded(), "none");
}

TEST_F(RunCommandsTest, TargetLabelAndHelpCommands) {
  ScriptedDialogs dialogs;
  f->lblPath->setCaption(song);
  EXPECT_EQ(On("", 0, f->mnuTR), Open(song));
  backend.openResult = false;  // no browser: Update stays silent
  EXPECT_EQ(On("", 0, f->mnuHU), "open https://orbrin.example/zelkar");
  EXPECT_EQ(On("", 0, f->mnuHRB), "open mailto:support@orbrin.example?Subject=Found%20a%20bug...");
}

}  // namespace
}  // namespace zelkar::test
