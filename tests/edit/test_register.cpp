#include "EditTest.h"

namespace zelkar::test {
namespace {

using RegisterTest = EditTest;

TEST_F(RegisterTest, ForbiddenCharactersAreReplacedAndNothingIsRegistered) {
  auto f = Window();
  ScriptedDialogs dialogs;
  f->lblPath->setCaption("/opt/prog/run");
  for (const auto& [typed, fixed] : {std::pair{"my prog", "my_prog"}, std::pair{"a:b|c", "a_b_c"}}) {
    dialogs.expectBox("Error", ForbiddenKeywordCharsMessage(), answer::OK, 16);
    f->txtExe->setText(QString::fromLatin1(typed));
    f->cmdSave_Click();
    EXPECT_EQ(f->txtExe->text(), QString::fromLatin1(fixed));
  }
  EXPECT_TRUE(Keys().isEmpty());

  f->cmdSave_Click();  // the corrected name registers with the second press
  EXPECT_EQ(TargetOf("a_b_c.exe"), "/opt/prog/run");
}

TEST_F(RegisterTest, SuffixIsAppendedUnlessPresentInAnyCase) {
  auto f = Window();
  ScriptedDialogs dialogs;
  f->lblPath->setCaption("/opt/t");
  for (const QString typed : {"notepad", "Calc.EXE", "tool.ex", "ab"}) {
    f->txtExe->setText(typed);
    f->cmdSave_Click();
  }
  EXPECT_EQ(Keys(), (QStringList{"ab.exe", "Calc.EXE", "notepad.exe", "tool.ex.exe"}));
  EXPECT_EQ(f->windowTitle(), "Zelkar - 4 Keywords");
  EXPECT_EQ(f->txtExe->text(), "ab.exe");
}

TEST_F(RegisterTest, DecliningTheOverwriteKeepsTheOldTarget) {
  Put("x.exe", "/old");
  auto f = Window();
  ScriptedDialogs dialogs;
  dialogs.expectBox("Overwrite?", "This keyword is already registered, would you like to overwrite it?", answer::No,
                    308);
  f->txtExe->setText("x");
  f->lblPath->setCaption("/new");
  f->cmdSave_Click();
  EXPECT_EQ(TargetOf("x.exe"), "/old");
  EXPECT_EQ(f->tvw->Count(), 3);
}

}  // namespace
}  // namespace zelkar::test
