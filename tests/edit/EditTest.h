#pragma once

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <memory>

#include "app/Controls.h"
#include "app/frmMain.h"
#include "list/TreeView.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"
#include "support/ScriptedDialogs.h"
#include "support/StoreTest.h"

namespace zelkar::test {

// A main window over the test's store, driven through its real handlers.
class EditTest : public StoreTest {
 protected:
  static void Put(const QString& kw, const QString& target) {
    modRegEdit::RegWriteValue(kAppPathsFull + kw + "\\", target, 0);
  }
  static bool Has(const QString& kw) { return modRegEdit::KeyExists(store::Hive::LocalMachine, kAppPathsKey + kw); }
  static QStringList Keys() { return modRegEdit::EnumKeys(store::Hive::LocalMachine, kAppPathsKey); }
  static QString TargetOf(const QString& kw) {
    return modRegEdit::GetString(store::Hive::LocalMachine, kAppPathsKey + kw, QString(), QString());
  }
  std::unique_ptr<frmMain> Window() {
    auto form = std::make_unique<frmMain>();
    form->show();
    form->LoadTVW(false);
    return form;
  }
  // The node of a keyword (by its text), 0 when not listed.
  static int Node(const frmMain& f, const QString& text) {
    for (int i = 2; i <= f.tvw->Count(); i += 2)
      if (f.tvw->Text(i) == text) return i;
    return 0;
  }
  QString MakeFile(const QString& name, const QByteArray& content = "x") {
    QFile file(path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path(name);
  }
  static std::unique_ptr<QMimeData> FileList(const QStringList& files) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& f : files) urls.append(QUrl::fromLocalFile(f));
    data->setUrls(urls);
    return data;
  }
  // Drags the data onto a widget and drops it there if the widget takes it,
  // the way the desktop does; false when the drag was refused.
  static bool Drop(QWidget* target, const QMimeData* data) {
    QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(4, 4), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return true;
  }
};

}  // namespace zelkar::test
