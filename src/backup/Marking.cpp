#include "app/frmMain.h"

#include "list/TreeView.h"

#include <QAction>

namespace zelkar {
namespace {

const QString kMark = QStringLiteral("Mark For Exportation");
const QString kUnmark = QStringLiteral("Unmark For Exportation");

// The keyword node a mark acts on for the selected node: the node itself, or
// the keyword of a selected target node; 0 for no node or the root.
int MarkedNodeFor(const TreeView& tree, int selected) {
  if (selected == 0) return 0;
  const QString image = tree.Image(selected);
  if (image == QLatin1String("key")) return 0;
  return image == QLatin1String("path") ? tree.Parent(selected) : selected;
}

}  // namespace

void frmMain::mnuHMFE_Click() {
  const int node = MarkedNodeFor(*tvw, tvw->SelectedItem());
  if (node == 0) return;
  const int colour = tvw->ForeColor(node);
  // A renamed keyword not yet registered keeps its red mark: a blue one would
  // hide the rename, and it would be lost with the next rebuild.
  if (colour == colour::Red) return;
  tvw->SetForeColor(node, colour == colour::Blue ? colour::Black : colour::Blue);
}

void frmMain::mnuKWMFE_Click() { mnuHMFE_Click(); }

void frmMain::mnuKW_Click() {
  const int selected = tvw->SelectedItem();
  if (selected == 0) return;
  if (tvw->Image(selected) == QLatin1String("key")) {
    mnuKWMFE->setText(tvw->ForeColor(selected) == colour::Blue ? kUnmark : kMark);
    return;
  }
  // A keyword node or a target node: either way the mark is its keyword's, and
  // an unregistered keyword cannot be marked.
  const int node = MarkedNodeFor(*tvw, selected);
  if (node == 0) return;
  const int colour = tvw->ForeColor(node);
  mnuKWMFE->setEnabled(colour != colour::Red);
  mnuKWMFE->setText(colour == colour::Blue ? kUnmark : kMark);
}

}  // namespace zelkar
