#include "app/frmMain.h"

#include "app/Controls.h"
#include "list/TreeView.h"

#include <QPushButton>
#include <QToolButton>

#include <algorithm>

namespace zelkar {

void frmMain::txtExe_Change() {
  const QString T = txtExe->text();
  if (T.isEmpty()) {
    cmdRunTxt->setEnabled(false);
    ClickRootNode();
    return;
  }
  cmdRunTxt->setEnabled(true);
  cmdRunTxt->setToolTip(QStringLiteral(" Run '") + T + QStringLiteral("' "));
  cmdSave->setEnabled(!lblPath->caption().isEmpty());

  const int i = tvw->FindKeywordPrefix(T);
  if (i == 0) return;
  tvw->Select(i);
  if (!CompletionSuppressed) {
    // The part not typed yet, in the keyword's own letter case, selected so
    // that the next character typed replaces it. Setting the text runs this
    // handler once more; that pass finds nothing left to complete.
    const QString name = tvw->Text(i);
    const QString S = name.right(std::max<qsizetype>(0, name.size() - T.size()));
    const QString completed = T + S;
    txtExe->setText(completed);
    txtExe->setSelection(static_cast<int>(completed.size() - S.size()), static_cast<int>(S.size()));
  }
  EnableNodeButtons();
  cmdSave->setEnabled(false);
}

void frmMain::txtExe_KeyDown(int KeyCode, int) { CompletionSuppressed = KeyCode == 8 || KeyCode == 46; }

void frmMain::txtExe_GotFocus() { txtExe->setSelection(0, static_cast<int>(txtExe->text().size())); }

void frmMain::EnableNodeButtons() {
  // While the list is folded away there is no node to act on.
  if (tvw->isHidden()) return;
  cmdRun->setEnabled(true);
  cmdRename->setEnabled(true);
  cmdDelete->setEnabled(true);
}

}  // namespace zelkar
