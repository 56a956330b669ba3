#include "app/QtDialogs.h"

#include <gtest/gtest.h>

namespace zelkar::test {
namespace {

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
