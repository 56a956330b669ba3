#include "app/frmMain.h"

#include "app/Controls.h"
#include "list/TreeView.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace zelkar {
namespace {

const QString kMark = QStringLiteral("Mark For Exportation");
const QString kUnmark = QStringLiteral("Unmark For Exportation");

// The window as it stands with the root node picked: nothing to act on.
void PickRoot(frmMain& f) {
  f.txtExe->setText(QString());
  f.lblPath->setCaption(QString());
  f.cmdSave->setEnabled(false);
  f.cmdRename->setEnabled(false);
  f.cmdRun->setEnabled(false);
  f.mnuKWR->setEnabled(false);
  f.cmdDelete->setEnabled(false);
  f.mnuKWOCF->setEnabled(false);
  f.mnuKWMFE->setEnabled(false);
  f.mnuKWRe->setEnabled(false);
  f.mnuKWD->setEnabled(false);
  f.tvw->Select(1);
}

}  // namespace

void frmMain::tvw_NodeClick(int Node) {
  if (Node < 1 || Node > tvw->Count()) return;
  if (tvw->Text(Node) == QLatin1String("Run Keywords")) {
    PickRoot(*this);
    return;
  }
  cmdRun->setEnabled(true);
  mnuKWR->setEnabled(true);
  mnuKWOCF->setEnabled(true);
  mnuKWMFE->setEnabled(true);
  if (tvw->Image(Node) != QLatin1String("path")) {
    cmdRename->setEnabled(true);
    cmdDelete->setEnabled(true);
    mnuKWRe->setEnabled(true);
    mnuKWD->setEnabled(true);
    txtExe->setText(tvw->Text(Node));
    lblPath->setCaption(tvw->Text(tvw->FirstChild(Node)));
    if (tvw->ForeColor(Node) == colour::Red) cmdSave->setEnabled(true);
  } else {
    txtExe->setText(tvw->Text(tvw->Parent(Node)));
    lblPath->setCaption(tvw->Text(Node));
  }
}

void frmMain::tvw_KeyUp(int KeyCode, int) {
  if (KeyCode == 46 && cmdDelete->isEnabled()) cmdDelete_Click();
}

void frmMain::tvw_MouseUp(int Button, int, int, int) {
  const int S = tvw->SelectedItem();
  if (S == 0) return;
  const QString K = tvw->Image(S);
  const bool root = K == QLatin1String("key");
  const bool target = K == QLatin1String("path");

  if (!root) {
    mnuHideRun->setEnabled(true);
    mnuHOCF->setEnabled(true);
    mnuHMFE->setEnabled(true);
    if (!target) {
      mnuHMFE->setText(tvw->ForeColor(S) == colour::Blue ? kUnmark : kMark);
    } else {
      const int P = tvw->ForeColor(tvw->Parent(S));
      if (P == colour::Red) {
        mnuHMFE->setEnabled(false);
        mnuHMFE->setText(kMark);
      } else {
        mnuHMFE->setText(P == colour::Blue ? kUnmark : kMark);
      }
    }
  } else {
    mnuHideRun->setEnabled(false);
    mnuHOCF->setEnabled(false);
    mnuHMFE->setEnabled(false);
    mnuHMFE->setText(kMark);
    mnuHideRename->setEnabled(false);
    mnuHideDelete->setEnabled(false);
  }

  if (tvw->ForeColor(S) != colour::Red) cmdSave->setEnabled(false);

  if (Button != 2) return;
  mnuHideRename->setEnabled(cmdRename->isEnabled());
  mnuHideDelete->setEnabled(cmdDelete->isEnabled());
  if (!root && !target) {
    if (tvw->ForeColor(S) == colour::Red)
      PopupMenu(mnuRH);
    else
      PopupMenu(mnuHide);
  } else {
    PopupMenu(mnuHide, mnuHideRun);
  }
}

void frmMain::tvw_DblClick() {
  if (tvw->Image(tvw->SelectedItem()) == QLatin1String("path")) cmdRun_Click();
}

void frmMain::ClickRootNode() { PickRoot(*this); }

}  // namespace zelkar
