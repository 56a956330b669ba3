#include "support/BackupTest.h"

#include <QAction>

namespace zelkar::test {
namespace {

class MarkingTest : public BackupTest {};

TEST_F(MarkingTest, ToggleAndKeywordsMenuCaption) {
  Put("one.exe", "/t/one");
  Put("two.exe", "/t/two");
  auto form = Window();
  const int one = Node(*form, "one.exe"), two = Node(*form, "two.exe");
  auto toggle = [&](int node) {
    form->tvw->Select(node);
    form->mnuKWMFE_Click();
  };
  auto caption = [&](int node) {
    form->tvw->Select(node);
    form->mnuKW_Click();
    return form->mnuKWMFE->text();
  };
  toggle(one);
  EXPECT_EQ(form->tvw->ForeColor(one), colour::Blue);
  EXPECT_EQ(caption(one), "Unmark For Exportation");
  EXPECT_EQ(caption(one + 1), "Unmark For Exportation");
  EXPECT_EQ(caption(two + 1), "Mark For Exportation");
  toggle(one + 1);  // a target node marks its keyword
  EXPECT_EQ(form->tvw->ForeColor(one), colour::Black);
  toggle(1);  // the root has no mark
  EXPECT_EQ(form->tvw->ForeColor(1), colour::Black);

  // An unregistered keyword is never marked: its rename would be lost.
  form->tvw->SetForeColor(two, colour::Red);
  for (const int node : {two, two + 1}) {
    form->mnuKWMFE->setEnabled(true);
    EXPECT_EQ(caption(node), "Mark For Exportation");
    EXPECT_FALSE(form->mnuKWMFE->isEnabled());
    toggle(node);
    EXPECT_EQ(form->tvw->ForeColor(two), colour::Red);
  }
  form->tvw->SetForeColor(two, colour::Black);  // restored
  caption(two);
  EXPECT_TRUE(form->mnuKWMFE->isEnabled());
}

}  // namespace
}  // namespace zelkar::test
