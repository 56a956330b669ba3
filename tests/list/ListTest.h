#pragma once

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QToolButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <ostream>

#include "app/Controls.h"
#include "app/frmMain.h"
#include "list/TreeView.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"
#include "support/ScriptedDialogs.h"
#include "support/StoreTest.h"

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace zelkar::test {

// A main window over the test's store, its tree loaded from the store.
class ListTest : public StoreTest {
 protected:
  static void Put(const QString& kw, const QString& target) {
    modRegEdit::RegWriteValue(kAppPathsFull + kw + "\\", target, 0);
  }
  static bool Has(const QString& kw) { return modRegEdit::KeyExists(store::Hive::LocalMachine, kAppPathsKey + kw); }
  static QString TargetOf(const QString& kw) { return modRegEdit::RegReadValue(kAppPathsFull + kw + "\\"); }

  std::unique_ptr<frmMain> Window() {
    auto form = std::make_unique<frmMain>();
    form->show();
    form->LoadTVW(false);
    return form;
  }

  QString MakeFile(const QString& name, const QByteArray& content = "x") {
    QFile file(path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
    file.write(content);
    return path(name);
  }

  static int Node(const frmMain& f, const QString& text) {
    for (int i = 2; i <= f.tvw->Count(); i += 2)
      if (f.tvw->Text(i) == text) return i;
    return 0;
  }
  // cmdRun, mnuKWR, mnuKWOCF, mnuKWMFE | cmdRename, cmdDelete, mnuKWRe, mnuKWD | cmdSave
  static QString States(const frmMain& f) {
    auto e = [](bool on) { return on ? 'E' : 'D'; };
    QString s;
    for (bool on : {f.cmdRun->isEnabled(), f.mnuKWR->isEnabled(), f.mnuKWOCF->isEnabled(), f.mnuKWMFE->isEnabled()})
      s += e(on);
    s += '|';
    for (bool on : {f.cmdRename->isEnabled(), f.cmdDelete->isEnabled(), f.mnuKWRe->isEnabled(), f.mnuKWD->isEnabled()})
      s += e(on);
    return s + '|' + e(f.cmdSave->isEnabled());
  }
  // Node texts in index order, from node 1.
  static QStringList Texts(const frmMain& f) {
    QStringList texts;
    for (int i = 1; i <= f.tvw->Count(); ++i) texts << f.tvw->Text(i);
    return texts;
  }
  static QStringList Images(const frmMain& f) {
    QStringList images;
    for (int i = 1; i <= f.tvw->Count(); ++i) images << f.tvw->Image(i);
    return images;
  }
  static int TmpImages(const frmMain& f) {
    int n = 0;
    for (int i = 1; i <= f.imlTVW->Count(); ++i)
      if (f.imlTVW->Key(i).startsWith(QLatin1String("tmp"))) ++n;
    return n;
  }

  // Where the user clicks to hit node `index`; the nodes above it are unfolded
  // (selecting from code raises nothing, and the selection is put back).
  static QPoint Spot(const frmMain& f, int index) {
    const int was = f.tvw->SelectedItem();
    f.tvw->Select(index);
    QTreeWidget* tree = f.tvw->widget();
    QTreeWidgetItem* item = tree->currentItem();
    if (was != 0) f.tvw->Select(was);
    tree->scrollToItem(item);
    return tree->visualItemRect(item).center();
  }
  static void Click(const frmMain& f, int index, Qt::MouseButton button = Qt::LeftButton) {
    const QPoint p = Spot(f, index);
    QTest::mouseClick(f.tvw->widget()->viewport(), button, Qt::NoModifier, p);
  }
};

}  // namespace zelkar::test
