#include "app/frmMain.h"

#include "app/core/Dialogs.h"
#include "list/TreeView.h"

namespace zelkar {
namespace {

const QString kRootImage = QStringLiteral("key");
const QString kTargetImage = QStringLiteral("path");
const QString kBrokenImage = QStringLiteral("uk");

bool IsRenamed(const TreeView& tree, int node) {
  return tree.ForeColor(node) == colour::Red && !tree.Tag(node).isEmpty();
}

// The entry a keyword node stands for: a renamed keyword is still registered
// under its old name, while its new name may belong to another keyword.
QString RegisteredName(const TreeView& tree, int node) {
  return IsRenamed(tree, node) ? tree.Tag(node) : tree.Text(node);
}

// A deleted keyword's rename is dropped with it, so that the reload does not
// offer to register what was just deleted.
void ForgetRename(TreeView& tree, int node) {
  if (!IsRenamed(tree, node)) return;
  tree.SetText(node, tree.Tag(node));
  tree.SetForeColor(node, colour::Black);
}

}  // namespace

void frmMain::cmdDelete_Click() {
  int N = tvw->SelectedItem();
  if (N == 0) return;
  if (tvw->Image(N) == kTargetImage) {
    N = tvw->Parent(N);
    if (N == 0) return;
    tvw->Select(N);
  }
  if (tvw->Image(N) == kRootImage) return;

  const int P = N;
  const QString T = RegisteredName(*tvw, N);
  const QString S = T.size() > 4 ? T.left(T.size() - 4) : QString();

  const int answer = MsgBox(QStringLiteral("Are you sure you want to delete the keyword '") + S +
                                QStringLiteral("' from Windows?"),
                            mb::YesNo | mb::Exclamation | mb::DefaultButton2,
                            QStringLiteral("Delete ") + S.toUpper() + QStringLiteral("?"));
  if (answer != answer::Yes) return;

  ForgetRename(*tvw, N);
  DeleteKeyword(T, true);

  // Show the keyword that took its place, else the one before it.
  if (P <= tvw->Count()) {
    tvw_NodeClick(P);
  } else if (tvw->Count() <= 1 || P - 2 < 2) {
    ClickRootNode();
  } else {
    tvw_NodeClick(P - 2);
  }
}

void frmMain::mnuKWCU_Click() {
  const int answer = MsgBox(QStringLiteral("This will delete all keywords with broken targets.\r\n"
                                           "Would you like to proceed?"),
                            mb::YesNo | mb::Exclamation | mb::DefaultButton2, QStringLiteral("Warning"));
  if (answer != answer::Yes) return;

  // The tree is not reloaded inside the loop, so the positions stay valid.
  const int C = tvw->Count();
  bool deleted = false;
  for (int i = 2; i <= C; i += 2) {
    if (tvw->Image(i) != kBrokenImage) continue;
    const QString kw = RegisteredName(*tvw, i);
    ForgetRename(*tvw, i);
    DeleteKeyword(kw, false);
    deleted = true;
  }
  if (deleted) LoadTVW(true);
}

void frmMain::mnuKWDA_Click() {
  const int N = (tvw->Count() - 1) / 2;
  if (N <= 0) {
    MsgBox(QStringLiteral("There are no keywords to delete"), mb::Exclamation, QStringLiteral("Delete All"));
    return;
  }

  if (N == 1) {
    const int answer = MsgBox(QStringLiteral("Would you like to delete the only keyword?"),
                              mb::YesNo | mb::Exclamation | mb::DefaultButton2,
                              QStringLiteral("Delete Keyword?"));
    if (answer != answer::Yes) return;
  } else {
    const int answer = MsgBox(QStringLiteral("Would you like to backup the ") + QString::number(N) +
                                  QStringLiteral(" keywords before you delete them all?"),
                              mb::YesNoCancel | mb::Exclamation, QStringLiteral("Delete All Keywords?"));
    if (answer == answer::Yes) {
      // Nothing is deleted without the backup the user asked for.
      if (!SaveList()) return;
    } else if (answer != answer::No) {
      return;
    }
  }

  // Every node then names its registered entry.
  for (int i = 2; i <= tvw->Count(); i += 2) ForgetRename(*tvw, i);
  DeleteKeywords();
  LoadTVW(true);
}

}  // namespace zelkar
