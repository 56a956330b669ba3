#include "app/Controls.h"
#include "list/TreeView.h"

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

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
    tree->Add(0, 0, QStringLiteral("Run Keywords"), QStringLiteral("key"));
    for (const QString& k : keywords) {
      const int n = tree->Add(1, tvwChild, k, QStringLiteral("fld"));
      tree->Add(n, tvwChild, QStringLiteral("/target/") + k, QStringLiteral("path"));
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
  Fill({QStringLiteral("b.exe"), QStringLiteral("a.exe"), QStringLiteral("c.exe")});
  ASSERT_EQ(tree->Count(), 7);
  EXPECT_EQ(tree->Text(2), QStringLiteral("b.exe"));
  EXPECT_EQ(tree->Text(4), QStringLiteral("a.exe"));
  EXPECT_EQ(tree->Parent(5), 4);
  EXPECT_EQ(tree->FirstChild(4), 5);
  EXPECT_EQ(tree->Parent(2), 1);
  EXPECT_EQ(tree->Parent(1), 0);
  EXPECT_EQ(tree->FirstChild(3), 0);

  // A keyword node goes with its target node; the later ones move up.
  tree->Remove(2);
  ASSERT_EQ(tree->Count(), 5);
  EXPECT_EQ(tree->Text(2), QStringLiteral("a.exe"));
  EXPECT_EQ(tree->Text(3), QStringLiteral("/target/a.exe"));
  EXPECT_EQ(tree->Parent(5), 4);
  EXPECT_EQ(tree->FindKeywordPrefix(QStringLiteral("C")), 4);

  // An unknown image key adds nothing.
  EXPECT_EQ(tree->Add(1, tvwChild, QStringLiteral("x"), QStringLiteral("tmp9")), 0);
  EXPECT_EQ(tree->Add(99, tvwChild, QStringLiteral("x"), QStringLiteral("fld")), 0);
  EXPECT_EQ(tree->Count(), 5);

  for (int i = tree->Count(); i >= 1; --i) tree->Remove(i);
  EXPECT_EQ(tree->Count(), 0);
  EXPECT_EQ(tree->SelectedItem(), 0);
  Fill({QStringLiteral("z.exe")});
  EXPECT_EQ(tree->Text(3), QStringLiteral("/target/z.exe"));
  tree->Clear();
  EXPECT_EQ(tree->Count(), 0);
  EXPECT_TRUE(tree->Text(1).isEmpty());  // no node: empty, not a crash
}

TEST_F(TreeViewTest, PropertiesAndPrefixSearchInLowerCase) {
  Fill({QStringLiteral("notes.exe"), QStringLiteral("notepad.exe")});
  tree->SetForeColor(2, colour::Red);
  tree->SetTag(2, QStringLiteral("old.exe"));
  EXPECT_EQ(tree->ForeColor(2), colour::Red);
  EXPECT_EQ(tree->Tag(2), QStringLiteral("old.exe"));
  EXPECT_EQ(tree->ForeColor(4), colour::Black);

  // Only keyword nodes (even indices) are searched; the first added wins.
  EXPECT_EQ(tree->FindKeywordPrefix(QStringLiteral("NOTE")), 2);
  EXPECT_EQ(tree->FindKeywordPrefix(QStringLiteral("notep")), 4);
  EXPECT_EQ(tree->FindKeywordPrefix(QStringLiteral("/target")), 0);
  EXPECT_EQ(tree->FindKeywordPrefix(QStringLiteral("notepad.exe!")), 0);
  tree->SetText(4, QStringLiteral("Äbc.exe"));
  EXPECT_EQ(tree->FindKeywordPrefix(QStringLiteral("äB")), 4);
}

TEST_F(TreeViewTest, SelectingFromCodeRaisesNoClickButTheUserDoes) {
  Fill({QStringLiteral("a.exe"), QStringLiteral("b.exe")});
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

  // Reaching a node with the keyboard is a node click.
  tree->widget()->setFocus();
  QTest::keyClick(tree->widget(), Qt::Key_Down);
  ASSERT_EQ(clicks.count(), 2);
  EXPECT_EQ(clicks.at(1).at(0).toInt(), tree->SelectedItem());
  EXPECT_NE(tree->SelectedItem(), 2);
}

TEST_F(TreeViewTest, LabelEditTakesTheHandlersTextOrKeepsTheOldOne) {
  Fill({QStringLiteral("a.exe")});
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

  edit(QStringLiteral("b"), Qt::Key_Return);
  EXPECT_EQ(tree->Text(2), QStringLiteral("b"));
  EXPECT_EQ(tree->FindKeywordPrefix(QStringLiteral("B")), 2);

  replacement = QStringLiteral("c.exe");
  edit(QStringLiteral("c"), Qt::Key_Return);
  EXPECT_EQ(tree->Text(2), QStringLiteral("c.exe"));

  cancel = 1;
  edit(QStringLiteral("d"), Qt::Key_Return);
  EXPECT_EQ(tree->Text(2), QStringLiteral("c.exe"));
  EXPECT_EQ(seen, (QStringList{QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}));

  // Esc ends the edit without asking anybody.
  cancel = 0;
  replacement = QString();
  edit(QStringLiteral("e"), Qt::Key_Escape);
  EXPECT_EQ(tree->Text(2), QStringLiteral("c.exe"));
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
  text.setText(QStringLiteral("plain"));
  EXPECT_FALSE(drag(text));
  EXPECT_EQ(drops.count(), 0);

  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/list.zkb"))});
  EXPECT_TRUE(drag(files));
  ASSERT_EQ(drops.count(), 1);
  EXPECT_EQ(drops.at(0).at(0).value<const QMimeData*>(), &files);
  EXPECT_EQ(drops.at(0).at(3).toInt(), 1);
}

TEST(ImageListTest, KeysAreUniqueAndIndicesFollowTheOrder) {
  ImageList list;
  EXPECT_TRUE(list.Add(QStringLiteral("fld"), QIcon()));
  EXPECT_TRUE(list.Add(QStringLiteral("tmp0"), QIcon()));
  EXPECT_TRUE(list.Add(QStringLiteral("tmp1"), QIcon()));
  EXPECT_FALSE(list.Add(QStringLiteral("tmp0"), QIcon()));
  EXPECT_FALSE(list.Add(QString(), QIcon()));
  EXPECT_EQ(list.Count(), 3);
  list.Remove(2);
  EXPECT_EQ(list.Key(2), QStringLiteral("tmp1"));
  EXPECT_FALSE(list.Contains(QStringLiteral("tmp0")));
  EXPECT_TRUE(list.Contains(QStringLiteral("tmp1")));
  EXPECT_TRUE(list.Add(QStringLiteral("tmp0"), QIcon()));
  EXPECT_EQ(list.Key(3), QStringLiteral("tmp0"));
  list.Remove(1);
  EXPECT_EQ(list.Key(1), QStringLiteral("tmp1"));
  EXPECT_TRUE(list.Contains(QStringLiteral("tmp0")));
  list.Remove(7);  // out of range: nothing
  EXPECT_EQ(list.Count(), 2);
  EXPECT_TRUE(list.Key(0).isEmpty());
}

}  // namespace
}  // namespace zelkar::test
