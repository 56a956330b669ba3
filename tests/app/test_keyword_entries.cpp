// Writing and removing keyword entries, and the load's cleaning of the targets it reads.
#include "app/frmMain.h"
#include "list/TreeView.h"
#include "support/ScriptedDialogs.h"
#include "support/WindowTest.h"

namespace zelkar::test {
namespace {

using KeywordEntriesTest = WindowTest;

TEST_F(KeywordEntriesTest, SavingAsksOnlyBeforeOverwritingAndDeletingReloadsOnlyWhenAsked) {
  ScriptedDialogs dialogs;
  frmMain form;
  EXPECT_TRUE(form.SaveKeyword("Notepad.exe", "/usr/bin/gedit", true));
  // Key names compare without regard to case.
  for (const int answer : {answer::No, answer::Yes}) {
    dialogs.expectBox("Overwrite?", "This keyword is already registered, would you like to overwrite it?", answer, 308);
    EXPECT_EQ(form.SaveKeyword("notepad.exe", "/usr/bin/kate", true), answer == answer::Yes);
    EXPECT_EQ(TargetOf("notepad.exe"), answer == answer::Yes ? "/usr/bin/kate" : "/usr/bin/gedit");
  }
  // Loading and renaming replace without a word.
  EXPECT_TRUE(form.SaveKeyword("NOTEPAD.EXE", "/usr/bin/vi", false));
  EXPECT_EQ(TargetOf("notepad.exe"), "/usr/bin/vi");

  for (const char* kw : {"two.exe", "three.exe", "nested.exe", "nested.exe\\inner", "old.exe"}) Put(kw, "/usr/bin/x");
  form.LoadTVW(false);
  ASSERT_EQ(form.tvw->Count(), 11);
  EXPECT_TRUE(form.DeleteKeyword("NotePad.exe", false));
  EXPECT_FALSE(Has("notepad.exe"));
  EXPECT_EQ(form.tvw->Count(), 11);
  // An entry with subkeys of its own stays, silently; so does a missing one.
  EXPECT_TRUE(form.DeleteKeyword("nested.exe", false));
  EXPECT_TRUE(Has("nested.exe"));
  EXPECT_TRUE(form.DeleteKeyword("never.exe", false));
  EXPECT_TRUE(form.DeleteKeyword("two.exe", true));
  ASSERT_EQ(form.tvw->Count(), 7);

  // Renamed in the tree, not yet registered: its edited text names no entry.
  Put("unlisted.exe", "/usr/bin/x");
  const int renamed = Node(form, "old.exe");
  form.tvw->SetText(renamed, "new.exe");
  form.tvw->SetTag(renamed, "old.exe");
  form.DeleteKeywords();
  EXPECT_EQ(Keys(), (QStringList{"nested.exe", "old.exe", "unlisted.exe"}));
  EXPECT_EQ(form.tvw->Count(), 7);
  EXPECT_EQ(dialogs.boxes().size(), 2u);
}

TEST_F(KeywordEntriesTest, TheLoadsCleaningWritesBackOnlyOverWhatItRead) {
  ScriptedDialogs dialogs;
  frmMain form;
  const QString kw = QStringLiteral("q.exe");
  // The cases the tree's own tests leave out: one quote off each end, each
  // variable only at the start and closed.
  const struct {
    bool quotes;  // ClearQuotes, else FixVarPath
    QString stored, after;
  } rows[] = {{true, "\"/opt/app", "/opt/app"},
              {true, "\"\"/opt/app\"\"", "\"/opt/app\""},
              {true, "\"", ""},
              {false, "%systemroot%\\notepad.exe", "/usr\\notepad.exe"},
              {false, "x%systemroot%\\notepad.exe", "x%systemroot%\\notepad.exe"},
              {false, "%systemroot", "%systemroot"}};
  for (const auto& r : rows) {
    Put(kw, r.stored);
    if (r.quotes)
      EXPECT_EQ(form.ClearQuotes(kw, r.stored), r.after);
    else
      EXPECT_EQ(form.FixVarPath(kw, r.stored), r.after != r.stored);
    EXPECT_EQ(TargetOf(kw), r.after) << r.stored.toStdString();
  }
  // Another program changed or deleted the entry after the load read it: its
  // work stands, and a deleted keyword does not come back.
  Put(kw, "/changed");
  EXPECT_EQ(form.ClearQuotes(kw, "\"/read\""), "/read");
  EXPECT_EQ(TargetOf(kw), "/changed");
  EXPECT_EQ(form.ClearQuotes("gone.exe", "\"/read\""), "/read");
  EXPECT_TRUE(form.FixVarPath("gone.exe", "%systemroot%\\x"));
  EXPECT_FALSE(Has("gone.exe"));
  EXPECT_TRUE(dialogs.boxes().empty());
}

}  // namespace
}  // namespace zelkar::test
