#include "app/QtDialogs.h"

#include <gtest/gtest.h>

namespace zelkar::test {
namespace {

using List = QList<QMessageBox::StandardButton>;

TEST(DialogStyleTest, StylesOfTheProgramsBoxes) {
  // 308: Yes/No, exclamation, No as default; Esc says No.
  BoxLayout box = LayoutForStyle(308);
  EXPECT_EQ(box.icon, QMessageBox::Warning);
  EXPECT_EQ(box.buttons, (List{QMessageBox::Yes, QMessageBox::No}));
  EXPECT_EQ(box.defaultButton, QMessageBox::No);
  EXPECT_EQ(box.escapeButton, QMessageBox::No);
  // 51: Yes/No/Cancel, Yes as default; Esc cancels.
  box = LayoutForStyle(51);
  EXPECT_EQ(box.buttons, (List{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}));
  EXPECT_EQ(box.defaultButton, QMessageBox::Yes);
  EXPECT_EQ(box.escapeButton, QMessageBox::Cancel);
  EXPECT_EQ(LayoutForStyle(20).icon, QMessageBox::Critical);
  EXPECT_EQ(LayoutForStyle(64).icon, QMessageBox::Information);
  box = LayoutForStyle(16);
  EXPECT_EQ(box.buttons, List{QMessageBox::Ok});
  EXPECT_EQ(box.escapeButton, QMessageBox::Ok);
  EXPECT_EQ(LayoutForStyle(512 + 4).defaultButton, QMessageBox::Yes);  // no third button

  EXPECT_EQ(AnswerForButton(QMessageBox::Ok), 1);
  EXPECT_EQ(AnswerForButton(QMessageBox::Cancel), 2);
  EXPECT_EQ(AnswerForButton(QMessageBox::Yes), 6);
  EXPECT_EQ(AnswerForButton(QMessageBox::No), 7);
}

TEST(DialogFilterTest, ProgramFiltersBecomeQtFilters) {
  EXPECT_EQ(QtFilter(QStringLiteral("Zelkar Backup Files (*.zkb)|*.zkb")),
            QStringLiteral("Zelkar Backup Files (*.zkb)"));
  // "*.*" covers names without a dot too.
  EXPECT_EQ(QtFilter(QStringLiteral("Programs|*.exe;*.sh|All Files (*.*)|*.*")),
            QStringLiteral("Programs (*.exe *.sh);;All Files (*)"));
  EXPECT_EQ(QtFilter(QStringLiteral("Old (*.txt)|*.zkb")), QStringLiteral("Old (*.zkb)"));
}

}  // namespace
}  // namespace zelkar::test
