#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include "app/Controls.h"
#include "list/TreeView.h"

namespace zelkar::test {
namespace {

// A tree with the five fixed images, shown (offscreen) so that it can be clicked.
class TreeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* key : {"fld", "key", "uk", "path", "url"})
      images.Add(QString::fromLatin1(key), QApplication::style()->standardIcon(QStyle::SP_FileIcon));
    tree = new TreeView(images, &window);
    tree->resize(300, 400);
    window.resize(300, 400);
    window.show();
  }
  // Root, then keyword/target pairs.
  void Fill(const QStringList& keywords) {
    tree->Add(0, 0, "Run Keywords", "key");
    for (const QString& k : keywords) {
      const int n = tree->Add(1, tvwChild, k, "fld");
      tree->Add(n, tvwChild, "/target/" + k, "path");
    }
  }
  QPoint Spot(int index) {
    tree->Select(index);
    QTreeWidgetItem* item = tree->widget()->currentItem();
    return tree->widget()->visualItemRect(item).center();
  }
  QLineEdit* Editor() const {
    for (QLineEdit* e : tree->widget()->findChildren<QLineEdit*>())
      if (e->isVisible()) return e;
    return nullptr;
  }

  ImageList images;
  QWidget window;
  TreeView* tree = nullptr;  // owned by the window
};

TEST_F(TreeViewTest, IndicesFollowAdditionAndRemovalRenumbers) {
  Fill({"b.exe", "a.exe", "c.exe"});
  ASSERT_EQ(tree->Count(), 7);
  EXPECT_EQ(tree->Text(2), "b.exe");
  EXPECT_EQ(tree->Text(4), "a.exe");
  EXPECT_EQ(tree->Parent(5), 4);
  EXPECT_EQ(tree->FirstChild(4), 5);
  EXPECT_EQ(tree->Parent(2), 1);

  // A keyword node goes with its target node; the later ones move up.
  tree->Remove(2);
  ASSERT_EQ(tree->Count(), 5);
  EXPECT_EQ(tree->Text(2), "a.exe");
  EXPECT_EQ(tree->Text(3), "/target/a.exe");
  EXPECT_EQ(tree->Parent(5), 4);
  EXPECT_EQ(tree->FindKeywordPrefix("C"), 4);

  // An unknown image key adds nothing.
  EXPECT_EQ(tree->Add(1, tvwChild, "x", "tmp9"), 0);
  EXPECT_EQ(tree->Add(99, tvwChild, "x", "fld"), 0);
  EXPECT_EQ(tree->Count(), 5);

  for (int i = tree->Count(); i >= 1; --i) tree->Remove(i);
  EXPECT_EQ(tree->Count(), 0);
  EXPECT_EQ(tree->SelectedItem(), 0);
  Fill({"z.exe"});
  tree->Clear();
  EXPECT_EQ(tree->Count(), 0);
  EXPECT_TRUE(tree->Text(1).isEmpty());  // no node: empty, not a crash
}

TEST_F(TreeViewTest, PrefixSearchInLowerCase) {
  Fill({"notes.exe", "notepad.exe"});
  // Only keyword nodes (even indices) are searched; the first added wins.
  EXPECT_EQ(tree->FindKeywordPrefix("NOTE"), 2);
  EXPECT_EQ(tree->FindKeywordPrefix("notep"), 4);
  EXPECT_EQ(tree->FindKeywordPrefix("/target"), 0);
  EXPECT_EQ(tree->FindKeywordPrefix("notepad.exe!"), 0);
  tree->SetText(4, "Äbc.exe");
  EXPECT_EQ(tree->FindKeywordPrefix("äB"), 4);
}

TEST_F(TreeViewTest, SelectingFromCodeRaisesNoClickButTheUserDoes) {
  Fill({"a.exe", "b.exe"});
  QSignalSpy clicks(tree, &TreeView::NodeClick);
  QSignalSpy ups(tree, &TreeView::MouseUp);
  tree->Select(4);
  EXPECT_EQ(tree->SelectedItem(), 4);
  EXPECT_EQ(clicks.count(), 0);

  const QPoint a = Spot(2);
  tree->Select(4);
  QTest::mouseClick(tree->widget()->viewport(), Qt::LeftButton, Qt::NoModifier, a);
  ASSERT_EQ(clicks.count(), 1);
  EXPECT_EQ(clicks.at(0).at(0).toInt(), 2);
  EXPECT_EQ(tree->SelectedItem(), 2);
  ASSERT_EQ(ups.count(), 1);
  EXPECT_EQ(ups.at(0).at(0).toInt(), 1);

  // The right button reports its release but leaves the selection alone.
  const QPoint b = Spot(4);
  tree->Select(2);
  QTest::mouseClick(tree->widget()->viewport(), Qt::RightButton, Qt::ShiftModifier, b);
  EXPECT_EQ(tree->SelectedItem(), 2);
  EXPECT_EQ(clicks.count(), 1);
  ASSERT_EQ(ups.count(), 2);
  EXPECT_EQ(ups.at(1).at(0).toInt(), 2);
  EXPECT_EQ(ups.at(1).at(1).toInt(), 1);
}

TEST_F(TreeViewTest, LabelEditTakesTheHandlersTextOrKeepsTheOldOne) {
  Fill({"a.exe"});
  int cancel = 0;
  QString replacement;
  QStringList seen;
  QObject::connect(
      tree, &TreeView::AfterLabelEdit, tree,
      [&](int& Cancel, QString& NewString) {
        seen << NewString;
        Cancel = cancel;
        if (!replacement.isNull()) NewString = replacement;
      },
      Qt::DirectConnection);

  auto edit = [&](const QString& text, Qt::Key key) {
    tree->Select(2);
    tree->StartLabelEdit();
    QLineEdit* editor = Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), tree->Text(2));
    editor->setText(text);
    QTest::keyClick(editor, key);
    QCoreApplication::processEvents();
  };

  edit("b", Qt::Key_Return);
  EXPECT_EQ(tree->Text(2), "b");
  EXPECT_EQ(tree->FindKeywordPrefix("B"), 2);

  replacement = "c.exe";
  edit("c", Qt::Key_Return);
  EXPECT_EQ(tree->Text(2), "c.exe");

  cancel = 1;
  edit("d", Qt::Key_Return);
  EXPECT_EQ(tree->Text(2), "c.exe");
  EXPECT_EQ(seen, (QStringList{"b", "c", "d"}));

  // Esc ends the edit without asking anybody.
  cancel = 0;
  replacement = QString();
  edit("e", Qt::Key_Escape);
  EXPECT_EQ(tree->Text(2), "c.exe");
  EXPECT_EQ(seen.size(), 3);
}

TEST_F(TreeViewTest, OnlyFileDropsAreTaken) {
  Fill({});
  QSignalSpy drops(tree, &TreeView::OLEDragDrop);
  QWidget* viewport = tree->widget()->viewport();
  // What the desktop sends: enter, move, drop.
  auto drag = [&](const QMimeData& data) {
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(QPoint(6, 6), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QDropEvent drop(QPointF(6, 6), Qt::CopyAction, &data, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(viewport, &drop);
    return enter.isAccepted() && move.isAccepted();
  };
  QMimeData text;
  text.setText("plain");
  EXPECT_FALSE(drag(text));
  EXPECT_EQ(drops.count(), 0);

  QMimeData files;
  files.setUrls({QUrl::fromLocalFile("/tmp/list.zkb")});
  EXPECT_TRUE(drag(files));
  ASSERT_EQ(drops.count(), 1);
  EXPECT_EQ(drops.at(0).at(0).value<const QMimeData*>(), &files);
  EXPECT_EQ(drops.at(0).at(3).toInt(), 1);
}

TEST(ImageListTest, KeysAreUniqueAndIndicesFollowTheOrder) {
  ImageList list;
  EXPECT_TRUE(list.Add("fld", QIcon()));
  EXPECT_TRUE(list.Add("tmp0", QIcon()));
  EXPECT_TRUE(list.Add("tmp1", QIcon()));
  EXPECT_FALSE(list.Add("tmp0", QIcon()));
  EXPECT_FALSE(list.Add(QString(), QIcon()));
  EXPECT_EQ(list.Count(), 3);
  list.Remove(2);
  EXPECT_EQ(list.Key(2), "tmp1");
  EXPECT_FALSE(list.Contains("tmp0"));
  EXPECT_TRUE(list.Contains("tmp1"));
  EXPECT_TRUE(list.Add("tmp0", QIcon()));
  EXPECT_EQ(list.Key(3), "tmp0");
  list.Remove(1);
  EXPECT_EQ(list.Key(1), "tmp1");
  EXPECT_TRUE(list.Contains("tmp0"));
  list.Remove(7);  // out of range: nothing
  EXPECT_EQ(list.Count(), 2);
  EXPECT_TRUE(list.Key(0).isEmpty());
}

}  // namespace
}  // namespace zelkar::test
