#include "app/frmMain.h"

#include "app/core/Dialogs.h"
#include "list/TreeView.h"

namespace zelkar {

// Renames made in the tree but not registered are lost by a rebuild or a close;
// offer to register them first.
std::int16_t frmMain::RegisterKeyWords() {
  int red = 0;
  for (int i = 2; i <= tvw->Count(); i += 2)
    if (tvw->ForeColor(i) == colour::Red) ++red;
  if (red == 0) return 0;

  const int answer =
      red == 1 ? MsgBox(QStringLiteral("There is an unregistered keyword. Register it now?"),
                        mb::YesNoCancel | mb::Exclamation, QStringLiteral("Unregistered Keyword"))
               : MsgBox(QStringLiteral("There are some unregistered keywords. Register them now?"),
                        mb::YesNoCancel | mb::Exclamation, QStringLiteral("Unregistered Keywords"));
  if (answer == answer::Cancel) return 2;
  if (answer != answer::Yes) return 0;

  for (int i = 2; i <= tvw->Count(); i += 2) {
    if (tvw->ForeColor(i) != colour::Red) continue;
    DeleteKeyword(tvw->Tag(i), false);
    SaveKeyword(tvw->Text(i), tvw->Text(i + 1), false);
  }
  return 0;
}

}  // namespace zelkar
