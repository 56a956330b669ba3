#include "app/frmMain.h"

#include "app/Controls.h"
#include "app/core/Dialogs.h"
#include "list/TreeView.h"
#include "store/Keywords.h"

namespace zelkar {
namespace {

const QString kRootImage = QStringLiteral("key");
const QString kTargetImage = QStringLiteral("path");

bool IsKeywordNode(const TreeView& tree, int node) {
  if (node < 1 || node > tree.Count()) return false;
  const QString image = tree.Image(node);
  return image != kRootImage && image != kTargetImage;
}

// A renamed keyword not registered yet: red, with its registered name kept.
bool IsUnregistered(const TreeView& tree, int node) {
  return IsKeywordNode(tree, node) && tree.ForeColor(node) == colour::Red && !tree.Tag(node).isEmpty();
}

}  // namespace

void frmMain::cmdRename_Click() {
  const int N = tvw->SelectedItem();
  if (N == 0 || tvw->Image(N) == kRootImage) return;
  const int parent = tvw->Parent(N);

  if (tvw->ForeColor(N) == colour::Blue || (parent != 0 && tvw->ForeColor(parent) == colour::Blue)) {
    MsgBox(QStringLiteral("This keyword is marked for exportation. It will be unmarked if you choose to rename it."),
           mb::Information, QStringLiteral("Renaming Marked Keyword"));
  }

  // A target node is renamed through its keyword.
  if (tvw->Image(N) == kTargetImage && parent != 0) tvw->Select(parent);
  tvw->StartLabelEdit();
}

void frmMain::tvw_AfterLabelEdit(int& Cancel, QString& NewString) {
  const int N = tvw->SelectedItem();
  // Only keyword names are edited; the root and the targets keep their texts.
  if (!IsKeywordNode(*tvw, N)) {
    Cancel = 1;
    return;
  }
  const QString O = tvw->Text(N);

  if (NewString.isEmpty()) {
    Cancel = 1;
    return;
  }

  if (HasForbiddenKeywordChars(NewString)) {
    MsgBox(ForbiddenKeywordCharsMessage(), mb::Critical, QStringLiteral("Error"));
    NewString = ReplaceForbiddenKeywordChars(NewString);
  }
  NewString = WithExeSuffix(NewString);

  // Only the letter case changed: nothing to register.
  if (NewString.toLower() == O.toLower()) return;

  // The tag keeps the registered name however often the label is edited.
  if (tvw->ForeColor(N) != colour::Red) {
    tvw->SetForeColor(N, colour::Red);
    tvw->SetTag(N, O);
  }
  txtExe->setText(NewString);
}

void frmMain::mnuRHRegister_Click() {
  const int N = tvw->SelectedItem();
  // Without a registered name there is nothing to move (and an empty name
  // would address the whole list).
  if (!IsUnregistered(*tvw, N)) return;
  const int target = tvw->FirstChild(N);
  if (target == 0) return;
  const QString R = tvw->Tag(N);

  DeleteKeyword(R, false);
  SaveKeyword(tvw->Text(N), tvw->Text(target), false);
  tvw->SetForeColor(N, colour::Black);
  UpdateTVW(false);
}

void frmMain::mnuRHRestore_Click() {
  const int N = tvw->SelectedItem();
  if (!IsUnregistered(*tvw, N)) return;
  tvw->SetText(N, tvw->Tag(N));
  tvw->SetForeColor(N, colour::Black);
  txtExe->setText(tvw->Text(N));
}

}  // namespace zelkar
