#pragma once

#include <QString>

namespace zelkar {
class frmMain;
}

namespace zelkar::test {

// Starts a rename of the node and ends it the way the user does: type the new
// name, press Enter. Fails the test when no label edit starts.
void RenameByLabelEdit(frmMain& f, int node, const QString& text);

}  // namespace zelkar::test
