#include "app/frmMain.h"

#include "app/Controls.h"
#include "app/core/Dialogs.h"
#include "edit/DroppedFiles.h"
#include "edit/frmURL.h"
#include "store/PathHelpers.h"
#include "store/modRegEdit.h"

#include <QTextDocument>
#include <QToolButton>

namespace zelkar {
namespace {

// What a dropped file puts into the target label: a shortcut's address, else
// the file's full path (a folder as dropped). Nothing for a shortcut that
// cannot be one (a pipe, a device, a huge file): the drop changes nothing.
std::optional<QString> DroppedTarget(const QString& file) {
  if (IsInternetShortcut(file)) return ReadShortcut(file);
  return modMain::FileProperty(file, modMain::property::Path);
}

// A drop offers Register only for a new target and a named keyword.
void EnableRegisterIfNew(frmMain& form, const QString& before) {
  const QString caption = form.lblPath->caption();
  if (!caption.isEmpty() && !form.txtExe->text().isEmpty() && caption.toLower() != before.toLower())
    form.cmdSave->setEnabled(true);
}

}  // namespace

void frmMain::cmdBrowse_Click() {
  FileDialogRequest request;
  request.filter = QStringLiteral("All Files (*.*)|*.*");
  request.title = QStringLiteral("Select the target application for the keyword...");
  request.initialDir = modRegEdit::GetString(store::Hive::LocalMachine,
                                             QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion"),
                                             QStringLiteral("ProgramFilesDir"), QString());
  const std::optional<QString> chosen = Dialogs::current().openFile(request);
  if (chosen) {
    lblPath->setCaption(*chosen);
    if (!txtExe->text().isEmpty()) cmdSave->setEnabled(true);
  }
  txtExe->setFocus();
}

void frmMain::cmdDir_Click() {
  const std::optional<QString> chosen =
      Dialogs::current().browseFolder(QStringLiteral("Select the target directory for keyword..."));
  if (chosen) {
    // A path ends at its first NUL character; a longer one is kept whole.
    const qsizetype nul = chosen->indexOf(QChar(u'\0'));
    lblPath->setCaption(nul < 0 ? *chosen : chosen->left(nul));
    if (!txtExe->text().isEmpty()) cmdSave->setEnabled(true);
  }
  txtExe->setFocus();
}

void frmMain::cmdURL_Click() { frmURL::ShowModal(this); }

void frmMain::cmdClear_Click() {
  ClickRootNode();
  txtExe->setFocus();
}

void frmMain::cmdRefresh_Click() { LoadTVW(false); }

void frmMain::lblPath_Change() {
  const QString caption = lblPath->caption();
  if (caption.isEmpty()) {
    lblPath->setToolTip(QString());
    return;
  }
  QString tip = QStringLiteral(" ") + caption + QStringLiteral(" ");
  // A target that looks like markup is shown as the characters it holds.
  if (Qt::mightBeRichText(tip))
    tip = QStringLiteral("<p style='white-space:pre'>") + tip.toHtmlEscaped() + QStringLiteral("</p>");
  lblPath->setToolTip(tip);
}

void frmMain::lblPath_DblClick() {
  if (!lblPath->caption().isEmpty()) mnuTR_Click();
}

void frmMain::lblPath_MouseUp(int Button, int /*Shift*/, int /*X*/, int /*Y*/) {
  if (Button == 2 && !lblPath->caption().isEmpty()) PopupMenu(mnuTarget, mnuTR);
}

void frmMain::fraTarget_OLEDragDrop(const QMimeData* Data) {
  const QString O = lblPath->caption();
  const std::optional<QString> F = FirstDroppedFile(Data);
  const std::optional<QString> target = F ? DroppedTarget(*F) : std::nullopt;
  if (!target) return;
  lblPath->setCaption(*target);

  EnableRegisterIfNew(*this, O);
}

void frmMain::lblPath_OLEDragDrop(const QMimeData* Data) {
  const QString O = lblPath->caption();
  const std::optional<QString> F = FirstDroppedFile(Data);
  const std::optional<QString> target = F ? DroppedTarget(*F) : std::nullopt;
  if (!target) return;
  lblPath->setCaption(*target);

  // A dropped file proposes its own name as the keyword.
  const bool isFile = modMain::FileProperty(*F, modMain::property::Type) != *F;
  if (isFile && txtExe->text().isEmpty())
    txtExe->setText(AddExt(modMain::FileProperty(*F, modMain::property::Name)));

  EnableRegisterIfNew(*this, O);
}

}  // namespace zelkar
