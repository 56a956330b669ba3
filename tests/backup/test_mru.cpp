#include "support/BackupTest.h"

#include <QAction>
#include <QMenu>

namespace zelkar::test {
namespace {

class MRUTest : public BackupTest {
 protected:
  QString File(const QString& name) { return Write(name, "[Zelkar]\nVersion=18\n[Count]\nKeywords=0\n"); }
};

TEST_F(MRUTest, AddingKeepsFiveNewestFirst) {
  frmMain form;
  QStringList f;
  for (int i = 0; i < 6; ++i) {
    f << File(QStringLiteral("f%1.zkb").arg(i));
    form.LoadMRU(f.back());
  }
  EXPECT_EQ(Slots(), (QStringList{f[5], f[4], f[3], f[2], f[1]}));
  form.LoadMRU(f[5]);
  EXPECT_EQ(Slots(), (QStringList{f[5], f[4], f[3], f[2], f[1]}));
  form.LoadMRU(f[2]);  // slot 3 moves to the front
  EXPECT_EQ(Slots(), (QStringList{f[2], f[5], f[4], f[3], f[1]}));

  // Files of one name in two folders: both stay until the next file comes.
  const QString b = File("B/Backup.zkb"), a = File("A/Backup.zkb");
  form.LoadMRU(b);
  form.LoadMRU(a);
  EXPECT_EQ(Slots().mid(0, 2), (QStringList{a, b}));
  form.LoadMRU(f[0]);
  EXPECT_EQ(Slots(), (QStringList{f[0], a, f[2], f[5], f[4]}));
}

TEST_F(MRUTest, RefreshPrunesCompactsAndBuildsTheMenu) {
  frmMain form;
  const QString first = File("first.zkb"), second = File("second & more.zkb");
  SetSlot(0, first);
  SetSlot(2, second);
  SetSlot(3, path("deleted.zkb"));
  SetSlot(4, dir());
  const qsizetype items = form.mnuLL->actions().size();
  for (int twice = 0; twice < 2; ++twice) form.mnuList_Click();
  EXPECT_EQ(Slots(), (QStringList{first, second, "", "", ""}));
  ASSERT_EQ(form.mnuMRU.size(), 2u);
  EXPECT_EQ(form.mnuMRU[0]->text(), first);
  EXPECT_EQ(form.mnuMRU[1]->text(), path("second && more.zkb"));
  EXPECT_TRUE(form.mnuMRU[0]->isEnabled());
  EXPECT_EQ(form.mnuLL->actions().size(), items + 1);

  ScriptedDialogs dialogs;
  ExpectLoadQuestion(dialogs, second, answer::No);
  form.mnuMRU[1]->trigger();
  ASSERT_TRUE(QFile::remove(first) && QFile::remove(second));
  form.mnuMRU_Click(0);  // gone since the refresh: nothing happens
  form.LoadMRU(QString());
  ASSERT_EQ(form.mnuMRU.size(), 1u);
  EXPECT_EQ(form.mnuMRU[0]->text(), "Empty");
  EXPECT_FALSE(form.mnuMRU[0]->isEnabled());
  EXPECT_EQ(form.mnuLL->actions().size(), items);
}

}  // namespace
}  // namespace zelkar::test
