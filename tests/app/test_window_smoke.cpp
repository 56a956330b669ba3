#include "app/frmMain.h"
#include "support/StoreTest.h"

#include <QMenuBar>

namespace zelkar::test {
namespace {

class WindowTest : public StoreTest {};

TEST_F(WindowTest, BuildsEveryControlWithItsName) {
  frmMain form;
  for (const char* name : {"fraTarget", "cmdBrowse", "cmdDir", "cmdURL", "lblPath", "cmdRun", "cmdRefresh",
                           "cmdDelete", "cmdRename", "fraKW", "cmdSave", "cmdRunTxt", "cmdClear", "txtExe",
                           "tvw", "pb", "pic16", "pic32", "pbTray"}) {
    QWidget* w = form.findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_NE(w, nullptr) << name;
    EXPECT_FALSE(w->accessibleName().isEmpty() && w->isVisibleTo(&form)) << name;
  }
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Zelkar"));
}

}  // namespace
}  // namespace zelkar::test
