#include "EditTest.h"

namespace zelkar::test {
namespace {

using RegisterTest = EditTest;

TEST_F(RegisterTest, ForbiddenCharactersAreReplacedAndNothingIsRegistered) {
  auto f = Window();
  ScriptedDialogs dialogs;
  f->lblPath->setCaption(QStringLiteral("/opt/prog/run"));
  for (const auto& [typed, fixed] : {std::pair{"my prog", "my_prog"}, std::pair{"a:b|c", "a_b_c"}}) {
    dialogs.expectBox(QStringLiteral("Error"), ForbiddenKeywordCharsMessage(), answer::OK, 16);
    f->txtExe->setText(QString::fromLatin1(typed));
    f->cmdSave_Click();
    EXPECT_EQ(f->txtExe->text(), QString::fromLatin1(fixed));
  }
  EXPECT_TRUE(Keys().isEmpty());

  f->cmdSave_Click();  // the corrected name registers with the second press
  EXPECT_EQ(TargetOf(QStringLiteral("a_b_c.exe")), QStringLiteral("/opt/prog/run"));
}

TEST_F(RegisterTest, SuffixIsAppendedUnlessPresentInAnyCase) {
  auto f = Window();
  ScriptedDialogs dialogs;
  f->lblPath->setCaption(QStringLiteral("/opt/t"));
  for (const QString typed : {"notepad", "Calc.EXE", "tool.ex", "ab"}) {
    f->txtExe->setText(typed);
    f->cmdSave_Click();
  }
  EXPECT_EQ(Keys(), (QStringList{"ab.exe", "Calc.EXE", "notepad.exe", "tool.ex.exe"}));
  EXPECT_EQ(f->windowTitle(), QStringLiteral("Zelkar - 4 Keywords"));
  EXPECT_EQ(f->txtExe->text(), QStringLiteral("ab.exe"));
}

TEST_F(RegisterTest, DecliningTheOverwriteKeepsTheOldTarget) {
  Put(QStringLiteral("x.exe"), QStringLiteral("/old"));
  auto f = Window();
  ScriptedDialogs dialogs;
  dialogs.expectBox(QStringLiteral("Overwrite?"),
                    QStringLiteral("This keyword is already registered, would you like to overwrite it?"),
                    answer::No, 308);
  f->txtExe->setText(QStringLiteral("x"));
  f->lblPath->setCaption(QStringLiteral("/new"));
  f->cmdSave_Click();
  EXPECT_EQ(TargetOf(QStringLiteral("x.exe")), QStringLiteral("/old"));
  EXPECT_EQ(f->tvw->Count(), 3);
}

}  // namespace
}  // namespace zelkar::test
