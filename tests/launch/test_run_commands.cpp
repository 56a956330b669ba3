#include "LaunchTest.h"

#include "app/Controls.h"
#include "app/frmMain.h"
#include "list/TreeView.h"

#include <QAction>
#include <QSignalBlocker>

#include <memory>

namespace zelkar::test {
namespace {

class RunCommandsTest : public LaunchTest {
 protected:
  void SetUp() override {
    LaunchTest::SetUp();
    folder = path(QStringLiteral("Music"));
    ASSERT_TRUE(QDir().mkpath(folder));
    song = MakeFile(QStringLiteral("Music/song.ogg"));
    Put(QStringLiteral("song.exe"), song);
    Put(QStringLiteral("music.exe"), folder);
    Put(QStringLiteral("site.exe"), QStringLiteral("www.example.com/Page"));
    Put(QStringLiteral("edited.exe"), MakeFile(QStringLiteral("decoy.txt")));
    f = std::make_unique<frmMain>();
    f->show();
    f->LoadTVW(false);
  }
  int Node(const QString& text) const {
    for (int i = 2; i <= f->tvw->Count(); i += 2)
      if (f->tvw->Text(i) == text) return i;
    return 0;
  }
  // What a command asked for, on a node clicked as the user clicks it.
  std::string On(int node, QAction* command) {
    backend.clear();
    f->tvw->Select(node);
    if (node > 1) f->tvw_NodeClick(node);
    f->tvw->Select(node);
    command->trigger();
    return Recorded();
  }
  static void ExpectBroken(ScriptedDialogs& dialogs, int answer) {
    dialogs.expectBox(QStringLiteral("Delete Broken Keyword?"),
                      QStringLiteral("The keyword has a broken target and cannot be launched. Would you like to "
                                     "delete the keyword?"),
                      answer, 52);
  }

  QString folder, song;
  std::unique_ptr<frmMain> f;
};

TEST_F(RunCommandsTest, RunAndOpenContainingFolder) {
  ScriptedDialogs dialogs;
  // The address itself opens, never the keyword's name; a folder keyword runs by its name.
  EXPECT_EQ(On(Node(QStringLiteral("site.exe")), f->mnuKWR), "open http://www.example.com/Page");
  EXPECT_EQ(On(Node(QStringLiteral("music.exe")), f->mnuKWR), Open(folder));
  EXPECT_EQ(On(Node(QStringLiteral("song.exe")) + 1, f->mnuHideRun), Open(song));  // a target node

  EXPECT_EQ(On(Node(QStringLiteral("song.exe")), f->mnuKWOCF), Open(folder));
  EXPECT_EQ(On(Node(QStringLiteral("song.exe")) + 1, f->mnuHOCF), Open(folder));  // the node's own text
  EXPECT_EQ(On(Node(QStringLiteral("music.exe")), f->mnuKWOCF), Open(folder));
  EXPECT_EQ(On(Node(QStringLiteral("site.exe")), f->mnuHOCF), "open http://www.example.com/Page");
  QFile::remove(song);
  dialogs.expectBox(QStringLiteral("Error"), QStringLiteral("File not found"), answer::OK, 16);
  EXPECT_EQ(On(Node(QStringLiteral("song.exe")), f->mnuHOCF), "none");

  f->tvw->Select(1);  // the root: nothing run, nothing asked
  f->cmdRun_Click();
  f->mnuHOCF_Click();
  EXPECT_EQ(Recorded(), "none");
}

TEST_F(RunCommandsTest, ABrokenKeywordMayBeDeletedUnderItsRegisteredName) {
  ScriptedDialogs dialogs;
  QFile::remove(song);
  ExpectBroken(dialogs, answer::No);
  EXPECT_EQ(On(Node(QStringLiteral("song.exe")), f->mnuKWR), "none");
  EXPECT_TRUE(Has(QStringLiteral("song.exe")));

  // An unregistered keyword runs under the registered name, and that entry is deleted.
  const int node = Node(QStringLiteral("song.exe"));
  f->tvw->SetText(node, QStringLiteral("edited.exe"));  // as an unfinished rename leaves it
  f->tvw->SetForeColor(node, colour::Red);
  f->tvw->SetTag(node, QStringLiteral("song.exe"));
  f->tvw->Select(node);
  ExpectBroken(dialogs, answer::Yes);
  dialogs.expectBoxTitled(QStringLiteral("Unregistered Keyword"), answer::No);  // asked by the reload
  f->cmdRun_Click();
  EXPECT_FALSE(Has(QStringLiteral("song.exe")));
  EXPECT_TRUE(Has(QStringLiteral("edited.exe")));
  EXPECT_EQ(Node(QStringLiteral("song.exe")), 0);
  EXPECT_EQ(Recorded(), "none");
}

TEST_F(RunCommandsTest, TypedTextTargetLabelAndHelpCommands) {
  ScriptedDialogs dialogs;
  const auto runText = [&](const QString& text) {
    backend.clear();
    const QSignalBlocker asTyped(f->txtExe);  // no completion
    f->txtExe->setText(text);
    f->cmdRunTxt_Click();
    return Recorded();
  };
  dialogs.expectBox(QStringLiteral("Error"), QStringLiteral("File not found"), answer::OK, 16);
  EXPECT_EQ(runText(QStringLiteral("no-such-program-zk")), "none");
  EXPECT_EQ(runText(QStringLiteral("www.example.com")), "open http://www.example.com");
  dialogs.expectBox(QStringLiteral("Error"),
                    QStringLiteral("The keyword 'music' opens %1, which takes no words. Put %s in its target where "
                                   "the words go.").arg(folder),
                    answer::OK, 16);
  EXPECT_EQ(runText(QStringLiteral("music some jazz")), "none");

  f->lblPath->setCaption(song);
  EXPECT_EQ(On(1, f->mnuTR), Open(song));
  backend.openResult = false;  // no browser: Update stays silent
  EXPECT_EQ(On(1, f->mnuHU), "open https://orbrin.example/zelkar");
  EXPECT_EQ(On(1, f->mnuHRB), "open mailto:support@orbrin.example?Subject=Found%20a%20bug...");
}

}  // namespace
}  // namespace zelkar::test
