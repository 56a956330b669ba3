#include "app/QtDialogs.h"

#include <gtest/gtest.h>

#include <tuple>

namespace zelkar::test {
namespace {

constexpr auto Cancel = QMessageBox::Cancel, No = QMessageBox::No, Ok = QMessageBox::Ok, Yes = QMessageBox::Yes;

TEST(QtDialogsTest, BoxStylesAnswersAndFileFilters) {
  const struct {
    int style;
    QMessageBox::Icon icon;
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton, escapeButton;
  } rows[] = {{308, QMessageBox::Warning, {Yes, No}, No, No},  // No as default; Esc says No
              {51, QMessageBox::Warning, {Yes, No, Cancel}, Yes, Cancel},
              {64, QMessageBox::Information, {Ok}, Ok, Ok},
              {512 + 4, QMessageBox::NoIcon, {Yes, No}, Yes, No}};  // no third button to default to
  for (const auto& r : rows) {
    const BoxLayout box = LayoutForStyle(r.style);
    EXPECT_EQ(std::tie(box.icon, box.buttons, box.defaultButton, box.escapeButton),
              std::tie(r.icon, r.buttons, r.defaultButton, r.escapeButton)) << r.style;
  }
  for (const auto& [button, answer] : {std::pair{Ok, 1}, {Cancel, 2}, {Yes, 6}, {No, 7}})
    EXPECT_EQ(AnswerForButton(button), answer);

  EXPECT_EQ(QtFilter("Zelkar Backup Files (*.zkb)|*.zkb"), "Zelkar Backup Files (*.zkb)");
  // "*.*" covers names without a dot too.
  EXPECT_EQ(QtFilter("Programs|*.exe;*.sh|All Files (*.*)|*.*"), "Programs (*.exe *.sh);;All Files (*)");
  EXPECT_EQ(QtFilter("Old (*.txt)|*.zkb"), "Old (*.zkb)");
}

}  // namespace
}  // namespace zelkar::test
