#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QTest>

#include "EditTest.h"
#include "edit/frmURL.h"

namespace zelkar::test {
namespace {

using UrlTest = EditTest;

TEST_F(UrlTest, AddressBecomesTheTargetAsTyped) {
  Put("web.exe", "http://registered.example/");
  Put("tool.exe", "/usr/bin/tool");
  auto f = Window();
  ScriptedDialogs dialogs;
  int opened = 0;
  frmURL::ModalHook hook([&](frmURL& w) {
    ++opened;
    EXPECT_EQ(w.windowTitle(), "Internet Address");
    EXPECT_EQ(w.findChild<QLabel*>("Label1")->text(), "Type desired URL below:");
    EXPECT_TRUE(w.txtURL->text().isEmpty());
    if (opened == 1) {
      dialogs.expectBox("Rename", "You must type in a URL", answer::OK, 64);
      w.cmdOK_Click();  // empty: refused, stays open
      EXPECT_TRUE(w.isVisible());
      w.txtURL->setText("  ");
      QTest::keyClick(w.txtURL, Qt::Key_Return);  // Enter is OK
    } else if (opened == 2) {
      w.txtURL->setText("www.typed.example");
      w.cmdOK_Click();
    } else {
      const QStringList offered = static_cast<QStringListModel*>(w.txtURL->completer()->model())->stringList();
      EXPECT_EQ(offered, (QStringList{"http://registered.example/", "www.typed.example"}));
      w.txtURL->setText("www.not-taken.example");
      QTest::keyClick(w.txtURL, Qt::Key_Escape);
    }
    EXPECT_FALSE(w.isVisible());
  });

  f->cmdURL_Click();
  EXPECT_EQ(f->lblPath->caption(), "  ");
  EXPECT_FALSE(f->cmdSave->isEnabled());  // no keyword typed

  f->txtExe->setText("newname");
  f->cmdSave->setEnabled(false);
  f->cmdURL_Click();
  EXPECT_EQ(f->lblPath->caption(), "www.typed.example");
  EXPECT_TRUE(f->cmdSave->isEnabled());

  f->cmdURL_Click();  // cancelled: nothing set
  EXPECT_EQ(f->lblPath->caption(), "www.typed.example");
  EXPECT_EQ(opened, 3);
}

TEST_F(UrlTest, EveryPartTakesADroppedShortcut) {
  auto f = Window();
  ScriptedDialogs dialogs;
  const QString shortcut = MakeFile("site.url", "[InternetShortcut]\nURL=http://dropped.example\n");
  const QString text = MakeFile("notes.txt");
  frmURL::ModalHook hook([&](frmURL& w) {
    const auto list = FileList({shortcut});
    const auto other = FileList({text});
    for (QWidget* part : std::initializer_list<QWidget*>{&w, w.Label1, w.txtURL, w.cmdOK, w.cmdCancel}) {
      w.txtURL->setText("typed");
      Drop(part, other.get());
      EXPECT_EQ(w.txtURL->text(), "typed") << part->objectName().toStdString();
      Drop(part, list.get());
      EXPECT_EQ(w.txtURL->text(), "http://dropped.example") << part->objectName().toStdString();
    }
    w.Form_OLEDragDrop(other.get());
    EXPECT_EQ(w.txtURL->text(), "http://dropped.example");
    EXPECT_TRUE(w.isVisible());
    w.cmdCancel_Click();
  });
  f->cmdURL_Click();
  EXPECT_TRUE(f->lblPath->caption().isEmpty());
}

}  // namespace
}  // namespace zelkar::test
