#include "EditTest.h"
#include "edit/frmURL.h"

#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QTest>

namespace zelkar::test {
namespace {

using UrlTest = EditTest;

TEST_F(UrlTest, AddressBecomesTheTargetAsTyped) {
  Put(QStringLiteral("web.exe"), QStringLiteral("http://registered.example/"));
  Put(QStringLiteral("tool.exe"), QStringLiteral("/usr/bin/tool"));
  auto f = Window();
  ScriptedDialogs dialogs;
  int opened = 0;
  frmURL::ModalHook hook([&](frmURL& w) {
    ++opened;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Internet Address"));
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Type desired URL below:"));
    EXPECT_EQ(w.findChild<QPushButton*>(QStringLiteral("cmdOK"))->text(), QStringLiteral("OK"));
    EXPECT_EQ(w.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(w.txtURL->text().isEmpty());
    if (opened == 1) {
      dialogs.expectBox(QStringLiteral("Rename"), QStringLiteral("You must type in a URL"), answer::OK, 64);
      w.cmdOK_Click();  // empty: refused, stays open
      EXPECT_TRUE(w.isVisible());
      w.txtURL->setText(QStringLiteral("  "));
      QTest::keyClick(w.txtURL, Qt::Key_Return);  // Enter is OK
    } else if (opened == 2) {
      w.txtURL->setText(QStringLiteral("www.typed.example"));
      w.cmdOK_Click();
    } else {
      const QStringList offered =
          static_cast<QStringListModel*>(w.txtURL->completer()->model())->stringList();
      EXPECT_EQ(offered, (QStringList{"http://registered.example/", "www.typed.example"}));
      w.txtURL->setText(QStringLiteral("www.not-taken.example"));
      QTest::keyClick(w.txtURL, Qt::Key_Escape);
    }
    EXPECT_FALSE(w.isVisible());
  });

  f->cmdURL_Click();
  EXPECT_EQ(f->lblPath->caption(), QStringLiteral("  "));
  EXPECT_FALSE(f->cmdSave->isEnabled());  // no keyword typed

  f->txtExe->setText(QStringLiteral("newname"));
  f->cmdSave->setEnabled(false);
  f->cmdURL_Click();
  EXPECT_EQ(f->lblPath->caption(), QStringLiteral("www.typed.example"));
  EXPECT_TRUE(f->cmdSave->isEnabled());

  f->cmdURL_Click();  // cancelled: nothing set
  EXPECT_EQ(f->lblPath->caption(), QStringLiteral("www.typed.example"));
  EXPECT_EQ(opened, 3);
}

TEST_F(UrlTest, EveryPartTakesADroppedShortcut) {
  auto f = Window();
  ScriptedDialogs dialogs;
  const QString shortcut = MakeFile(QStringLiteral("site.url"), "[InternetShortcut]\nURL=http://dropped.example\n");
  const QString text = MakeFile(QStringLiteral("notes.txt"));
  frmURL::ModalHook hook([&](frmURL& w) {
    const auto list = FileList({shortcut});
    const auto other = FileList({text});
    for (QWidget* part : std::initializer_list<QWidget*>{&w, w.Label1, w.txtURL, w.cmdOK, w.cmdCancel}) {
      w.txtURL->setText(QStringLiteral("typed"));
      Drop(part, other.get());
      EXPECT_EQ(w.txtURL->text(), QStringLiteral("typed")) << part->objectName().toStdString();
      Drop(part, list.get());
      EXPECT_EQ(w.txtURL->text(), QStringLiteral("http://dropped.example")) << part->objectName().toStdString();
    }
    w.Form_OLEDragDrop(other.get());
    EXPECT_EQ(w.txtURL->text(), QStringLiteral("http://dropped.example"));
    EXPECT_TRUE(w.isVisible());
    w.cmdCancel_Click();
  });
  f->cmdURL_Click();
  EXPECT_TRUE(f->lblPath->caption().isEmpty());
}

}  // namespace
}  // namespace zelkar::test
