#pragma once

#include "app/core/Dialogs.h"

#include <QList>
#include <QMessageBox>

namespace zelkar {

// What a message box style value asks of a QMessageBox.
struct BoxLayout {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QList<QMessageBox::StandardButton> buttons;  // left to right as the style names them
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  QMessageBox::StandardButton escapeButton = QMessageBox::NoButton;  // Esc and the close box
};

// Icon (16 critical, 32 question, 48 exclamation, 64 information), buttons
// (0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No,
// 5 Retry/Cancel) and default button (256 second, 512 third).
BoxLayout LayoutForStyle(int style);
// The answer code of a button: 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No.
int AnswerForButton(QMessageBox::StandardButton button);

// A filter in the "Description (*.x)|*.x|..." form as a Qt file dialog takes it.
QString QtFilter(const QString& filter);

// The dialogs the user sees: QMessageBox and QFileDialog, owned by the active window.
class QtDialogs final : public Dialogs {
 public:
  int messageBox(const QString& text, int style, const QString& title) override;
  std::optional<QString> openFile(const FileDialogRequest& request) override;
  std::optional<QString> saveFile(const FileDialogRequest& request) override;
  std::optional<QString> browseFolder(const QString& title) override;
};

}  // namespace zelkar
