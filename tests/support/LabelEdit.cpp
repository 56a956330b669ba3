#include "support/LabelEdit.h"

#include "app/frmMain.h"
#include "list/TreeView.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace zelkar::test {

void RenameByLabelEdit(frmMain& f, int node, const QString& text) {
  f.tvw->Select(node);
  f.cmdRename_Click();
  QLineEdit* editor = nullptr;
  for (QLineEdit* e : f.tvw->widget()->findChildren<QLineEdit*>())
    if (e->isVisible()) editor = e;
  ASSERT_NE(editor, nullptr) << "no label edit started";
  editor->setText(text);
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the edit ends from the event loop
}

}  // namespace zelkar::test
