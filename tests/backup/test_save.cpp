#include "support/BackupTest.h"

#include <QAction>
#include <QMenu>

namespace zelkar::test {
namespace {

const QByteArray kFresh =
    "[Zelkar]\r\nVersion=18\r\n[Keywords]\r\n1=alpha.exe\r\n2=beta.exe\r\n"
    "[Targets]\r\n1=/srv/First\r\n2=www.example.org/Two\r\n[Count]\r\nKeywords=2\r\n";


class SaveTest : public BackupTest {
 protected:
  void SetUp() override {
    BackupTest::SetUp();
    Put("Alpha.EXE", "/srv/First");
    Put("beta.exe", "www.example.org/Two");
  }
  static void Mark(frmMain& form, int node) {
    form.tvw->Select(node);
    form.mnuKWMFE_Click();
  }
  static constexpr int alpha = 2, beta = 4;  // the keyword nodes, in the tree's order
};

TEST_F(SaveTest, SaveWritesANewFileOverAnyOldAndFailsWhole) {
  const auto form = Window();
  const QString fresh = path("out/list.zkb");
  const QString old = Write("out/old.zkb", "[Zelkar]\nVersion=18\n[Keywords]\n1=a.exe\n2=b.exe\n3=c.exe\n"
                                           "[Targets]\n1=/a\n2=/b\n3=/c\n[Count]\nKeywords=3\n");
  Write("plain", "a file where a folder was");
  ScriptedDialogs dialogs;
  dialogs.expectSave(path("plain/Backup.zkb")).expectSave(path("out")).expectSave(fresh).expectSave(old);
  EXPECT_FALSE(form->SaveList());
  EXPECT_FALSE(form->SaveList());
  ASSERT_TRUE(form->SaveList());
  ASSERT_TRUE(form->SaveList());
  EXPECT_EQ(Bytes(fresh), kFresh);
  EXPECT_EQ(Bytes(old), kFresh);
  EXPECT_EQ(FilesIn("out"), (QStringList{"list.zkb", "old.zkb"}));
  EXPECT_EQ(Slots(), (QStringList{old, fresh, "", "", ""}));
  EXPECT_EQ(dialogs.dialogs()[3].request.initialDir, path("out") + "/");

  dialogs.expectBox("Export Marked", "You must first mark one or more keywords for exportation", answer::OK, 64);
  EXPECT_FALSE(form->Export(false));
}

TEST_F(SaveTest, MarkedKeywordsAreAskedAboutAndAppendedOrTheWholeListWritten) {
  const auto form = Window();
  const QString kept = Write("kept.zkb", "[Zelkar]\nVersion=17\n[Keywords]\n1=old.exe\n[Targets]\n1=/old\n[Count]\nKeywords=1\n");
  const QByteArray before = Bytes(kept);
  ScriptedDialogs dialogs;
  EXPECT_EQ(form->ExportKeywords(), 0);
  Mark(*form, beta + 1);  // a target node marks its keyword
  form->mnuKW_Click();
  EXPECT_EQ(form->mnuKWMFE->text(), "Unmark For Exportation");
  dialogs.expectBox("Export Keyword?", "There is a keyword marked for exportation. Export it now?", answer::No, 51);
  EXPECT_EQ(form->ExportKeywords(), 0);
  Mark(*form, alpha);
  dialogs.expectBox("Export Keywords?", "There are some keywords marked for exportation. Export them now?",
                    answer::Cancel, 51);
  EXPECT_EQ(form->ExportKeywords(), 2);
  // Not exported (question declined): the marks survive.
  dialogs.expectSave(kept).expectBox("Overwrite Duplicate Keywords?", "", answer::No, kAsk);
  EXPECT_FALSE(form->Export(false));
  EXPECT_EQ(Bytes(kept), before);
  EXPECT_EQ(form->tvw->ForeColor(beta), colour::Blue);
  dialogs.expectBox("Export Keywords?", "", answer::Yes, 51).expectSave(kept);
  dialogs.expectBox("Overwrite Duplicate Keywords?", "", answer::Yes, kAsk);
  EXPECT_EQ(form->ExportKeywords(), 0);
  EXPECT_EQ(Bytes(kept), "[Zelkar]\nVersion=18\n[Keywords]\n1=old.exe\n2=alpha.exe\n3=beta.exe\n[Targets]\n1=/old\n"
                         "2=/srv/First\n3=www.example.org/Two\n[Count]\nKeywords=3\n");
  EXPECT_EQ(form->tvw->ForeColor(beta), colour::Black);

  // An unregistered keyword is never marked: its rename would be lost.
  form->tvw->SetForeColor(beta, colour::Red);
  Mark(*form, beta);
  EXPECT_EQ(form->tvw->ForeColor(beta), colour::Red);
  Mark(*form, 1);  // the root has no mark
  EXPECT_EQ(form->tvw->ForeColor(1), colour::Black);
  dialogs.expectSave(path("all.zkb"));
  ASSERT_TRUE(form->Export(true));
  EXPECT_EQ(Bytes(path("all.zkb")), kFresh);
  EXPECT_EQ(Slots(), QStringList(5, ""));
}

using MRUTest = BackupTest;

TEST_F(MRUTest, FiveNewestFirstPrunedOnRefreshAndShownInTheMenu) {
  frmMain form;
  // The last two have one name in two folders: both stay until the next file comes.
  const QStringList f = {Write("f0.zkb", ""), Write("f1.zkb", ""), Write("f2.zkb", ""), Write("f3.zkb", ""),
                         Write("B/Backup & more.zkb", ""), Write("A/Backup & more.zkb", "")};
  for (const QString& file : f) form.LoadMRU(file);
  EXPECT_EQ(Slots(), (QStringList{f[5], f[4], f[3], f[2], f[1]}));
  form.LoadMRU(f[2]);  // slot 3 moves to the front
  EXPECT_EQ(Slots(), (QStringList{f[2], f[5], f[3], f[1], ""}));

  // A refresh drops what is gone (or a folder now) and closes up the rest.
  ASSERT_TRUE(QFile::remove(f[4]) && QFile::remove(f[3]) && QDir().rename(f[1], path("moved")) && QDir().mkpath(f[1]));
  const qsizetype items = form.mnuLL->actions().size();
  for (int twice = 0; twice < 2; ++twice) form.mnuList_Click();
  EXPECT_EQ(Slots(), (QStringList{f[2], f[5], "", "", ""}));
  ASSERT_EQ(form.mnuMRU.size(), 2u);
  EXPECT_EQ(form.mnuMRU[1]->text(), path("A/Backup && more.zkb"));
  EXPECT_EQ(form.mnuLL->actions().size(), items + 1);

  ScriptedDialogs dialogs;
  ExpectLoadQuestion(dialogs, f[5], answer::No);
  form.mnuMRU[1]->trigger();
  ASSERT_TRUE(QFile::remove(f[2]) && QFile::remove(f[5]));
  form.mnuMRU_Click(0);  // gone since the refresh: nothing happens
  form.LoadMRU(QString());
  ASSERT_EQ(form.mnuMRU.size(), 1u);
  EXPECT_EQ(form.mnuMRU[0]->text(), "Empty");
  EXPECT_FALSE(form.mnuMRU[0]->isEnabled());
  EXPECT_EQ(form.mnuLL->actions().size(), items);
}

}  // namespace
}  // namespace zelkar::test
