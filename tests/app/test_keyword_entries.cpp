#include "app/frmMain.h"
#include "list/TreeView.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"
#include "support/ScriptedDialogs.h"
#include "support/WindowTest.h"

namespace zelkar::test {
namespace {

using store::Hive;

const QString kOverwrite = QStringLiteral("This keyword is already registered, would you like to overwrite it?");

class KeywordEntriesTest : public WindowTest {
 protected:
  // The tree as a load leaves it: root, then a keyword node and its target node per entry.
  static void addNode(frmMain& form, const QString& kw, const QString& image, const QString& targetText) {
    const int node = form.tvw->Add(1, tvwChild, kw, image);
    ASSERT_NE(node, 0);
    ASSERT_NE(form.tvw->Add(node, tvwChild, targetText, QStringLiteral("path")), 0);
  }
  static void addRoot(frmMain& form) {
    form.tvw->Clear();
    ASSERT_EQ(form.tvw->Add(0, 0, QStringLiteral("Run Keywords"), QStringLiteral("key")), 1);
  }
};

TEST_F(KeywordEntriesTest, SaveKeywordAsksOnlyBeforeOverwriting) {
  ScriptedDialogs dialogs;
  frmMain form;

  EXPECT_TRUE(form.SaveKeyword(QStringLiteral("Notepad.exe"), QStringLiteral("/usr/bin/gedit"), true));
  EXPECT_EQ(TargetOf(QStringLiteral("notepad.exe")), QStringLiteral("/usr/bin/gedit"));
  EXPECT_TRUE(dialogs.boxes().empty());

  // Key names compare without regard to case.
  dialogs.expectBox(QStringLiteral("Overwrite?"), kOverwrite, answer::No, 308);
  EXPECT_FALSE(form.SaveKeyword(QStringLiteral("notepad.exe"), QStringLiteral("/usr/bin/kate"), true));
  EXPECT_EQ(TargetOf(QStringLiteral("notepad.exe")), QStringLiteral("/usr/bin/gedit"));

  dialogs.expectBox(QStringLiteral("Overwrite?"), kOverwrite, answer::Yes, 308);
  EXPECT_TRUE(form.SaveKeyword(QStringLiteral("notepad.exe"), QStringLiteral("/usr/bin/kate"), true));
  EXPECT_EQ(TargetOf(QStringLiteral("notepad.exe")), QStringLiteral("/usr/bin/kate"));

  // Loading and renaming replace without a word.
  EXPECT_TRUE(form.SaveKeyword(QStringLiteral("NOTEPAD.EXE"), QStringLiteral("/usr/bin/vi"), false));
  EXPECT_EQ(TargetOf(QStringLiteral("notepad.exe")), QStringLiteral("/usr/bin/vi"));
  EXPECT_EQ(dialogs.boxes().size(), 2u);
}

TEST_F(KeywordEntriesTest, DeleteKeywordReloadsTheTreeOnlyWhenAsked) {
  ScriptedDialogs dialogs;
  frmMain form;
  Put(QStringLiteral("one.exe"), QStringLiteral("/usr/bin/one"));
  Put(QStringLiteral("two.exe"), QStringLiteral("/usr/bin/two"));
  Put(QStringLiteral("nested.exe"), QStringLiteral("/usr/bin/x"));
  Put(QStringLiteral("nested.exe\\inner"), QStringLiteral("y"));
  form.LoadTVW(false);
  ASSERT_EQ(form.tvw->Count(), 7);

  EXPECT_TRUE(form.DeleteKeyword(QStringLiteral("ONE.exe"), false));
  EXPECT_FALSE(Has(QStringLiteral("one.exe")));
  EXPECT_EQ(form.tvw->Count(), 7);
  // An entry with subkeys of its own stays, silently; so does a missing one.
  EXPECT_TRUE(form.DeleteKeyword(QStringLiteral("nested.exe"), false));
  EXPECT_TRUE(Has(QStringLiteral("nested.exe")));
  EXPECT_TRUE(form.DeleteKeyword(QStringLiteral("never.exe"), false));

  EXPECT_TRUE(form.DeleteKeyword(QStringLiteral("two.exe"), true));
  ASSERT_EQ(form.tvw->Count(), 3);
  EXPECT_EQ(form.tvw->Text(2), QStringLiteral("nested.exe"));
  EXPECT_TRUE(dialogs.boxes().empty());
}

TEST_F(KeywordEntriesTest, DeleteKeywordsRemovesWhatTheTreeLists) {
  ScriptedDialogs dialogs;
  frmMain form;
  addRoot(form);
  Put(QStringLiteral("only.exe"), QStringLiteral("/bin/sh"));
  form.DeleteKeywords();
  EXPECT_TRUE(Has(QStringLiteral("only.exe")));

  Put(QStringLiteral("a.exe"), QStringLiteral("/bin/a"));
  Put(QStringLiteral("B.exe"), QStringLiteral("/missing/b.sh"));
  Put(QStringLiteral("old.exe"), QStringLiteral("/bin/old"));
  Put(QStringLiteral("empty.exe"), QString());
  addNode(form, QStringLiteral("a.exe"), QStringLiteral("fld"), QStringLiteral("/bin/a"));
  addNode(form, QStringLiteral("b.exe"), QStringLiteral("uk"), QStringLiteral("/missing/b.sh"));
  // Renamed in the tree, not yet registered: its edited text names no entry.
  addNode(form, QStringLiteral("new.exe"), QStringLiteral("fld"), QStringLiteral("/bin/old"));
  form.tvw->SetForeColor(6, colour::Red);
  form.tvw->SetTag(6, QStringLiteral("old.exe"));

  form.DeleteKeywords();
  EXPECT_FALSE(Has(QStringLiteral("a.exe")));
  EXPECT_FALSE(Has(QStringLiteral("b.exe")));
  EXPECT_TRUE(Has(QStringLiteral("old.exe")));
  EXPECT_TRUE(Has(QStringLiteral("empty.exe")));
  EXPECT_TRUE(Has(QStringLiteral("only.exe")));
  EXPECT_EQ(form.tvw->Count(), 7);
}

TEST_F(KeywordEntriesTest, ClearQuotesTakesOneQuoteOffEachEndAndWritesBackWhatItRead) {
  ScriptedDialogs dialogs;
  frmMain form;
  const QString kw = QStringLiteral("q.exe");
  struct Case {
    QString stored;
    QString cleaned;
  };
  for (const Case& c : {Case{QStringLiteral("\"/opt/My App/app\""), QStringLiteral("/opt/My App/app")},
                        Case{QStringLiteral("\"/opt/app"), QStringLiteral("/opt/app")},
                        Case{QStringLiteral("/opt/app\""), QStringLiteral("/opt/app")},
                        Case{QStringLiteral("\"\"/opt/app\"\""), QStringLiteral("\"/opt/app\"")},
                        Case{QStringLiteral("/opt/\"in\"/app"), QStringLiteral("/opt/\"in\"/app")},
                        Case{QStringLiteral("\""), QString()}, Case{QStringLiteral("\"\""), QString()}}) {
    Put(kw, c.stored);
    EXPECT_EQ(form.ClearQuotes(kw, c.stored), c.cleaned) << c.stored.toStdString();
    EXPECT_EQ(TargetOf(kw), c.cleaned) << c.stored.toStdString();
  }
  // Another program changed or deleted the entry after the load read it: its
  // work stands, and a deleted keyword does not come back.
  Put(kw, QStringLiteral("/changed"));
  EXPECT_EQ(form.ClearQuotes(kw, QStringLiteral("\"/read\"")), QStringLiteral("/read"));
  EXPECT_EQ(TargetOf(kw), QStringLiteral("/changed"));
  const QString gone = QStringLiteral("gone.exe");
  for (const QString& read : {QStringLiteral("/read"), QStringLiteral("\"/read\"")}) {
    EXPECT_EQ(form.ClearQuotes(gone, read), QStringLiteral("/read"));
    EXPECT_FALSE(Has(gone)) << read.toStdString();
  }
  EXPECT_TRUE(form.FixVarPath(gone, QStringLiteral("%systemroot%\\x")));
  EXPECT_FALSE(Has(gone));
  EXPECT_TRUE(dialogs.boxes().empty());
}

TEST_F(KeywordEntriesTest, FixVarPathReplacesOnlyTheExactFolderVariables) {
  ScriptedDialogs dialogs;
  frmMain form;
  const QString kw = QStringLiteral("v.exe");

  const QString system = QStringLiteral("%systemroot%\\notepad.exe");
  Put(kw, system);
  EXPECT_TRUE(form.FixVarPath(kw, system));
  EXPECT_EQ(TargetOf(kw), QStringLiteral("/usr\\notepad.exe"));

  const QString programs = QStringLiteral("%programfiles%/App/app");
  Put(kw, programs);
  EXPECT_TRUE(form.FixVarPath(kw, programs));
  EXPECT_EQ(TargetOf(kw), QStringLiteral("/opt/App/app"));

  for (const QString& s : {QStringLiteral("%SystemRoot%\\notepad.exe"), QStringLiteral("x%systemroot%\\notepad.exe"),
                           QStringLiteral("%systemroot"), QStringLiteral("%windir%\\notepad.exe"),
                           QStringLiteral("%%\\x"), QStringLiteral("/usr/bin/x")}) {
    Put(kw, s);
    EXPECT_FALSE(form.FixVarPath(kw, s)) << s.toStdString();
    EXPECT_EQ(TargetOf(kw), s);
  }
  EXPECT_TRUE(dialogs.boxes().empty());
}

}  // namespace
}  // namespace zelkar::test
