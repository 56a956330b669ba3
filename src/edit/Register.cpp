#include "app/frmMain.h"

#include "app/Controls.h"
#include "app/core/Dialogs.h"
#include "list/TreeView.h"
#include "store/Keywords.h"

#include <QLabel>
#include <QToolButton>

namespace zelkar {

void frmMain::cmdSave_Click() {
  const QString K = txtExe->text();
  const int N = tvw->SelectedItem();

  // The box names the selected renamed keyword: register the rename instead.
  if (N != 0 && K.toLower() == tvw->Text(N).toLower() && tvw->ForeColor(N) == colour::Red) {
    mnuRHRegister_Click();
    return;
  }

  if (HasForbiddenKeywordChars(K)) {
    MsgBox(ForbiddenKeywordCharsMessage(), mb::Critical, QStringLiteral("Error"));
    // The user registers the corrected name with a second press.
    txtExe->setText(ReplaceForbiddenKeywordChars(K));
    txtExe->setFocus();
    return;
  }

  // The name is kept apart from the box: showing it there runs the completion,
  // which must not change what gets registered.
  const QString kw = WithExeSuffix(K);
  txtExe->setText(kw);
  SaveKeyword(kw, lblPath->caption(), true);
  UpdateTVW(false);
  txtExe->setFocus();
}

}  // namespace zelkar
