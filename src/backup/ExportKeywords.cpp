#include "app/frmMain.h"

#include "app/core/Dialogs.h"
#include "list/TreeView.h"

namespace zelkar {

// Marks live only in the tree; offer to export the marked keywords before a
// rebuild or a close loses them. 2 tells the caller to stop.
std::int16_t frmMain::ExportKeywords() {
  int blue = 0;
  for (int i = 2; i <= tvw->Count(); i += 2)
    if (tvw->ForeColor(i) == colour::Blue) ++blue;
  if (blue == 0) return 0;

  const int answer =
      blue == 1 ? MsgBox(QStringLiteral("There is a keyword marked for exportation. Export it now?"),
                         mb::YesNoCancel | mb::Exclamation, QStringLiteral("Export Keyword?"))
                : MsgBox(QStringLiteral("There are some keywords marked for exportation. Export them now?"),
                         mb::YesNoCancel | mb::Exclamation, QStringLiteral("Export Keywords?"));
  if (answer == answer::Yes) return Export(false) ? 0 : 2;
  if (answer == answer::Cancel) return 2;
  return 0;
}

}  // namespace zelkar
