#include <QDir>
#include <QProgressBar>

#include "ListTest.h"
#include "store/PathHelpers.h"

namespace zelkar::test {
namespace {

using LoadTest = ListTest;
using store::Hive;

TEST_F(LoadTest, FileTargetsGiveKeywordAndTargetNodesInListingOrder) {
  const QString np = MakeFile("Notepad.TXT");
  const QString calc = MakeFile("calc.sh", "#!/bin/sh\n");
  Put("Notepad.EXE", np);
  Put("calc.exe", calc);
  auto f = Window();

  EXPECT_EQ(Texts(*f), (QStringList{"Run Keywords", "calc.exe", calc, "notepad.exe", np}));
  EXPECT_EQ(Images(*f), (QStringList{"key", "tmp0", "path", "tmp1", "path"}));
  EXPECT_EQ(f->windowTitle(), "Zelkar - 2 Keywords");
  EXPECT_EQ(f->tvw->SelectedItem(), 1);
  EXPECT_FALSE(f->pb->isVisible());
  EXPECT_EQ(f->imlTVW->Count(), 7);  // five fixed ones, one per file

  // A second load leaves the same nodes and no images of the first one.
  f->LoadTVW(false);
  EXPECT_EQ(Texts(*f).size(), 5);
  EXPECT_EQ(f->imlTVW->Count(), 7);

  // One keyword left: singular title.
  modRegEdit::DeleteKey(Hive::LocalMachine, kAppPathsKey + "calc.exe");
  f->LoadTVW(false);
  EXPECT_EQ(f->windowTitle(), "Zelkar - 1 Keyword");
  EXPECT_EQ(f->tvw->Image(2), "tmp0");  // its position in this listing
  EXPECT_EQ(TmpImages(*f), 1);

  modRegEdit::DeleteKey(Hive::LocalMachine, kAppPathsKey + "Notepad.EXE");
  f->LoadTVW(false);
  EXPECT_EQ(f->windowTitle(), "Zelkar - 0 Keywords");
  EXPECT_EQ(f->tvw->Count(), 1);
  EXPECT_EQ(f->imlTVW->Count(), 5);
}

TEST_F(LoadTest, EmptyEntriesAreHiddenAndRemovedOnlyWhenAsked) {
  Put("empty.exe", QString());
  ASSERT_EQ(store().createKey(Hive::LocalMachine, kAppPathsKey + "novalue.exe"), store::Outcome::Done);
  Put("real.exe", "/srv/Real");
  auto f = Window();
  EXPECT_EQ(Texts(*f), (QStringList{"Run Keywords", "real.exe", "/srv/Real"}));
  EXPECT_EQ(f->windowTitle(), "Zelkar - 1 Keyword");
  EXPECT_TRUE(Has("empty.exe"));

  f->LoadTVW(true);
  EXPECT_FALSE(Has("empty.exe"));
  EXPECT_FALSE(Has("novalue.exe"));
  EXPECT_TRUE(Has("real.exe"));
  EXPECT_EQ(f->tvw->Count(), 3);
}

TEST_F(LoadTest, TargetsAreNormalisedAndKeepTheirLetterCase) {
  const QString doc = MakeFile("My Document.TXT");
  QDir(dir()).mkpath("Some Dir");
  Put("Quoted.exe", "\"" + doc + "\"");
  Put("pf.exe", "%programfiles%/Vendor/App.bin");
  Put("shell.exe", "%systemroot%/bin/sh");
  Put("web.exe", "www.Example.org/Some/Path");
  Put("folder.exe", path("Some Dir"));
  Put("gone.exe", path("Missing.File"));
  Put("mixed.exe", "%ProgramFiles%/x");
  auto f = Window();

  // Quotes leave the tree and the store.
  const int q = Node(*f, "quoted.exe");
  ASSERT_NE(q, 0);
  EXPECT_EQ(f->tvw->Text(q + 1), doc);
  EXPECT_TRUE(f->tvw->Image(q).startsWith(QLatin1String("tmp")));
  EXPECT_EQ(TargetOf("Quoted.exe"), doc);

  // Folder variables are replaced in the store, and the kind is that of the result.
  const int p = Node(*f, "pf.exe");
  EXPECT_EQ(f->tvw->Text(p + 1), "/opt/Vendor/App.bin");
  EXPECT_EQ(f->tvw->Image(p), "uk");
  EXPECT_EQ(TargetOf("pf.exe"), "/opt/Vendor/App.bin");
  if (FileExists("/usr/bin/sh")) {
    const int s = Node(*f, "shell.exe");
    EXPECT_EQ(f->tvw->Text(s + 1), "/usr/bin/sh");
    EXPECT_TRUE(f->tvw->Image(s).startsWith(QLatin1String("tmp")));
  }
  const int m = Node(*f, "mixed.exe");
  EXPECT_EQ(f->tvw->Text(m + 1), "%ProgramFiles%/x");

  const int w = Node(*f, "web.exe");
  EXPECT_EQ(f->tvw->Image(w), "url");
  EXPECT_EQ(f->tvw->Text(w + 1), "www.Example.org/Some/Path");
  const int d = Node(*f, "folder.exe");
  EXPECT_EQ(f->tvw->Image(d), "fld");
  EXPECT_EQ(f->tvw->Text(d + 1), path("Some Dir"));
  EXPECT_EQ(f->tvw->Image(Node(*f, "gone.exe")), "uk");
}

TEST_F(LoadTest, CancelInTheUnregisteredQuestionKeepsTheTree) {
  Put("a.exe", "/a");
  Put("b.exe", "/b");
  auto f = Window();
  f->tvw->SetText(2, "renamed.exe");
  f->tvw->SetForeColor(2, colour::Red);
  f->tvw->SetTag(2, "a.exe");
  f->tvw->SetForeColor(4, colour::Blue);
  Put("c.exe", "/c");

  ScriptedDialogs dialogs;
  dialogs.expectBox("Unregistered Keyword", "There is an unregistered keyword. Register it now?", answer::Cancel, 51);
  f->LoadTVW(false);
  EXPECT_EQ(f->tvw->Count(), 5);
  EXPECT_EQ(f->tvw->Text(2), "renamed.exe");
  EXPECT_EQ(f->tvw->ForeColor(2), colour::Red);
  EXPECT_EQ(f->tvw->Tag(2), "a.exe");
  EXPECT_EQ(f->windowTitle(), "Zelkar - 2 Keywords");

  // No, then Cancel at the export question: still nothing rebuilt.
  dialogs.expectBox("Unregistered Keyword", QString(), answer::No, 51);
  dialogs.expectBox("Export Keyword?", QString(), answer::Cancel, 51);
  f->LoadTVW(false);
  EXPECT_EQ(f->tvw->ForeColor(4), colour::Blue);
  EXPECT_EQ(f->tvw->Count(), 5);
}

TEST_F(LoadTest, OddNamesAndTargetsAreListedAsThemselves) {
  const QString longName = QString(10000, QLatin1Char('k'));
  const QList<std::pair<QString, QString>> entries = {
      {"Ünïcødé ñame.exe", "/data/Ünïcødé/ß"},
      {"semi;colon.exe", "a;b && c"},
      {"$(rm -rf ~).exe", "$(rm -rf ~)"},
      {"`id`.exe", "`id`"},
      {"pipe|name.exe", "x | y"},
      {"--help.exe", "-rf"},
      {"in\"side.exe", "say \"hi\" there"},
      {longName + ".exe", QString(10000, QLatin1Char('T'))},
  };
  for (const auto& [kw, target] : entries) Put(kw, target);
  auto f = Window();
  ASSERT_EQ(f->KeywordCount(), entries.size());
  for (const auto& [kw, target] : entries) {
    const int found = Node(*f, kw.toLower());
    ASSERT_NE(found, 0) << kw.left(40).toStdString();
    EXPECT_EQ(f->tvw->Text(found + 1), target);
    EXPECT_EQ(TargetOf(kw), target);
  }
}

TEST_F(LoadTest, ThousandsOfEntriesWithEmptyOnesAndOtherValueTypes) {
  const QString doc = MakeFile("shared.txt");
  {
    store::RegistryStore::Transaction group(store(), Hive::LocalMachine);
    for (int i = 0; i < 3000; ++i) {
      const QString kw = QStringLiteral("kw%1.exe").arg(i, 4, 10, QLatin1Char('0'));
      const QString target = i % 3 == 0 ? doc : QStringLiteral("/srv/d%1").arg(i);
      store().writeValue(Hive::LocalMachine, kAppPathsKey + kw, QString(), store::Value::fromString(target));
    }
    for (int i = 0; i < 50; ++i)
      store().createKey(Hive::LocalMachine, kAppPathsKey + QStringLiteral("void%1.exe").arg(i));
    store().writeValue(Hive::LocalMachine, kAppPathsKey + "number.exe", QString(), store::Value::fromDWord(42));
    ASSERT_TRUE(group.commit());
  }
  auto f = Window();
  EXPECT_EQ(f->KeywordCount(), 3001);
  EXPECT_EQ(f->windowTitle(), "Zelkar - 3001 Keywords");
  // One image per file keyword, however many share a file.
  EXPECT_EQ(TmpImages(*f), 1000);
  EXPECT_EQ(f->tvw->Text(2), "kw0000.exe");
  EXPECT_EQ(f->tvw->Text(3), doc);
  EXPECT_EQ(f->tvw->Text(5), "/srv/d1");
  const int last = f->tvw->Count() - 1;
  EXPECT_EQ(f->tvw->Text(last), "number.exe");
  EXPECT_EQ(f->tvw->Text(last + 1), "42");
  EXPECT_EQ(f->tvw->Image(last), "fld");
  for (int i = 2; i <= f->tvw->Count(); i += 2) ASSERT_EQ(f->tvw->Parent(i + 1), i);
}

}  // namespace
}  // namespace zelkar::test
