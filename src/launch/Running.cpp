#include "app/frmMain.h"

#include "app/Controls.h"
#include "app/core/Dialogs.h"
#include "launch/core/LaunchResolver.h"
#include "launch/modShellExe.h"
#include "list/TreeView.h"
#include "store/PathHelpers.h"

namespace zelkar {
namespace {

constexpr std::int32_t kShowDefault = 10;

std::int32_t Open(const QString& text, bool showErrors) {
  return modShellExe::ExecuteFile(text, showErrors, kShowDefault, QString(), QString(), QStringLiteral("open"), 0);
}

}  // namespace

void frmMain::cmdRun_Click() {
  const int node = tvw->SelectedItem();
  if (node == 0) return;
  const QString image = tvw->Image(node);
  // Nothing to run on the root; running its caption would offer to delete a
  // keyword called "Run Keywords".
  if (image == QLatin1String("key")) return;

  if (image == QLatin1String("path")) {
    Open(tvw->Text(node), true);
    return;
  }
  // An unregistered keyword runs under the name that is registered.
  const QString name = tvw->ForeColor(node) == colour::Red ? tvw->Tag(node) : tvw->Text(node);
  if (image == QLatin1String("url")) {
    // Opens the address itself, from the target node.
    mnuHOCF_Click();
    return;
  }
  if (name.isEmpty()) return;
  if (Open(name, false) != 2) return;
  if (MsgBox(QStringLiteral("The keyword has a broken target and cannot be launched. Would you like to delete "
                            "the keyword?"),
             mb::YesNo + mb::Exclamation, QStringLiteral("Delete Broken Keyword?")) == answer::Yes)
    DeleteKeyword(name, true);
}

void frmMain::mnuHOCF_Click() {
  const int node = tvw->SelectedItem();
  if (node == 0 || tvw->Image(node) == QLatin1String("key")) return;
  const int targetNode = tvw->Image(node) == QLatin1String("path") ? node : node + 1;
  if (targetNode > tvw->Count()) return;
  // For a folder, an address or a missing file this is the text itself.
  const QString folder = modMain::FileProperty(tvw->Text(targetNode), modMain::property::ParentFolder);
  Open(folder, true);
}

void frmMain::cmdRunTxt_Click() {
  const QString text = txtExe->text();
  if (const std::optional<QString> refusal = launch::RefusedWords(text)) {
    MsgBox(*refusal, mb::Critical, QStringLiteral("Error"));
    return;
  }
  Open(text, true);
}

void frmMain::mnuTR_Click() { Open(lblPath->caption(), true); }

void frmMain::mnuHU_Click() { Open(modShellExe::kMakerWebPage, false); }

void frmMain::mnuHRB_Click() {
  modShellExe::SendMail(modShellExe::kSupportAddress, QStringLiteral("Found a bug..."), QString(), QString(),
                        QString());
}

}  // namespace zelkar
