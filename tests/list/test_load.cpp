#include "ListTest.h"

#include "store/PathHelpers.h"

#include <QDir>
#include <QProgressBar>

namespace zelkar::test {
namespace {

using LoadTest = ListTest;
using store::Hive;

TEST_F(LoadTest, FileTargetsGiveKeywordAndTargetNodesInListingOrder) {
  const QString np = MakeFile(QStringLiteral("Notepad.TXT"));
  const QString calc = MakeFile(QStringLiteral("calc.sh"), "#!/bin/sh\n");
  Put(QStringLiteral("Notepad.EXE"), np);
  Put(QStringLiteral("calc.exe"), calc);
  auto f = Window();

  EXPECT_EQ(Texts(*f), (QStringList{QStringLiteral("Run Keywords"), QStringLiteral("calc.exe"), calc,
                                    QStringLiteral("notepad.exe"), np}));
  EXPECT_EQ(Images(*f), (QStringList{QStringLiteral("key"), QStringLiteral("tmp0"), QStringLiteral("path"),
                                     QStringLiteral("tmp1"), QStringLiteral("path")}));
  EXPECT_EQ(f->tvw->Parent(3), 2);
  EXPECT_EQ(f->tvw->Parent(4), 1);
  EXPECT_EQ(f->windowTitle(), QStringLiteral("Zelkar - 2 Keywords"));
  EXPECT_EQ(f->KeywordCount(), 2);
  EXPECT_EQ(f->tvw->SelectedItem(), 1);
  EXPECT_FALSE(f->pb->isVisible());
  // Images for the two files, after the five fixed ones.
  EXPECT_EQ(f->imlTVW->Count(), 7);
  EXPECT_EQ(f->imlTVW->Key(6), QStringLiteral("tmp0"));

  // A second load leaves the same nodes and no images of the first one.
  f->LoadTVW(false);
  EXPECT_EQ(Texts(*f).size(), 5);
  EXPECT_EQ(f->imlTVW->Count(), 7);
  EXPECT_EQ(TmpImages(*f), 2);

  // One keyword left: singular title.
  modRegEdit::DeleteKey(Hive::LocalMachine, kAppPathsKey + QStringLiteral("calc.exe"));
  f->LoadTVW(false);
  EXPECT_EQ(f->windowTitle(), QStringLiteral("Zelkar - 1 Keyword"));
  EXPECT_EQ(f->tvw->Image(2), QStringLiteral("tmp0"));  // its position in this listing
  EXPECT_EQ(TmpImages(*f), 1);

  modRegEdit::DeleteKey(Hive::LocalMachine, kAppPathsKey + QStringLiteral("Notepad.EXE"));
  f->LoadTVW(false);
  EXPECT_EQ(f->windowTitle(), QStringLiteral("Zelkar - 0 Keywords"));
  EXPECT_EQ(f->tvw->Count(), 1);
  EXPECT_EQ(f->imlTVW->Count(), 5);
}

TEST_F(LoadTest, EmptyEntriesAreHiddenAndRemovedOnlyWhenAsked) {
  Put(QStringLiteral("empty.exe"), QString());
  ASSERT_EQ(store().createKey(Hive::LocalMachine, kAppPathsKey + QStringLiteral("novalue.exe")),
            store::Outcome::Done);
  Put(QStringLiteral("real.exe"), QStringLiteral("/srv/Real"));
  auto f = Window();
  EXPECT_EQ(Texts(*f), (QStringList{QStringLiteral("Run Keywords"), QStringLiteral("real.exe"),
                                    QStringLiteral("/srv/Real")}));
  EXPECT_EQ(f->windowTitle(), QStringLiteral("Zelkar - 1 Keyword"));
  EXPECT_TRUE(Has(QStringLiteral("empty.exe")));

  f->LoadTVW(true);
  EXPECT_FALSE(Has(QStringLiteral("empty.exe")));
  EXPECT_FALSE(Has(QStringLiteral("novalue.exe")));
  EXPECT_TRUE(Has(QStringLiteral("real.exe")));
  EXPECT_EQ(f->tvw->Count(), 3);
}

TEST_F(LoadTest, TargetsAreNormalisedAndKeepTheirLetterCase) {
  const QString doc = MakeFile(QStringLiteral("My Document.TXT"));
  QDir(dir()).mkpath(QStringLiteral("Some Dir"));
  Put(QStringLiteral("Quoted.exe"), QStringLiteral("\"") + doc + QStringLiteral("\""));
  Put(QStringLiteral("pf.exe"), QStringLiteral("%programfiles%/Vendor/App.bin"));
  Put(QStringLiteral("shell.exe"), QStringLiteral("%systemroot%/bin/sh"));
  Put(QStringLiteral("web.exe"), QStringLiteral("www.Example.org/Some/Path"));
  Put(QStringLiteral("folder.exe"), path(QStringLiteral("Some Dir")));
  Put(QStringLiteral("gone.exe"), path(QStringLiteral("Missing.File")));
  Put(QStringLiteral("mixed.exe"), QStringLiteral("%ProgramFiles%/x"));
  auto f = Window();

  auto node = [&](const QString& kw) {
    for (int i = 2; i <= f->tvw->Count(); i += 2)
      if (f->tvw->Text(i) == kw) return i;
    return 0;
  };
  // Quotes leave the tree and the store.
  const int q = node(QStringLiteral("quoted.exe"));
  ASSERT_NE(q, 0);
  EXPECT_EQ(f->tvw->Text(q + 1), doc);
  EXPECT_TRUE(f->tvw->Image(q).startsWith(QLatin1String("tmp")));
  EXPECT_EQ(TargetOf(QStringLiteral("Quoted.exe")), doc);

  // Folder variables are replaced in the store, and the kind is that of the result.
  const int p = node(QStringLiteral("pf.exe"));
  EXPECT_EQ(f->tvw->Text(p + 1), QStringLiteral("/opt/Vendor/App.bin"));
  EXPECT_EQ(f->tvw->Image(p), QStringLiteral("uk"));
  EXPECT_EQ(TargetOf(QStringLiteral("pf.exe")), QStringLiteral("/opt/Vendor/App.bin"));
  if (FileExists(QStringLiteral("/usr/bin/sh"))) {
    const int s = node(QStringLiteral("shell.exe"));
    EXPECT_EQ(f->tvw->Text(s + 1), QStringLiteral("/usr/bin/sh"));
    EXPECT_TRUE(f->tvw->Image(s).startsWith(QLatin1String("tmp")));
  }
  const int m = node(QStringLiteral("mixed.exe"));
  EXPECT_EQ(f->tvw->Text(m + 1), QStringLiteral("%ProgramFiles%/x"));

  const int w = node(QStringLiteral("web.exe"));
  EXPECT_EQ(f->tvw->Image(w), QStringLiteral("url"));
  EXPECT_EQ(f->tvw->Text(w + 1), QStringLiteral("www.Example.org/Some/Path"));
  const int d = node(QStringLiteral("folder.exe"));
  EXPECT_EQ(f->tvw->Image(d), QStringLiteral("fld"));
  EXPECT_EQ(f->tvw->Text(d + 1), path(QStringLiteral("Some Dir")));
  EXPECT_EQ(f->tvw->Image(node(QStringLiteral("gone.exe"))), QStringLiteral("uk"));
}

TEST_F(LoadTest, CancelInTheUnregisteredQuestionKeepsTheTree) {
  Put(QStringLiteral("a.exe"), QStringLiteral("/a"));
  Put(QStringLiteral("b.exe"), QStringLiteral("/b"));
  auto f = Window();
  f->tvw->SetText(2, QStringLiteral("renamed.exe"));
  f->tvw->SetForeColor(2, colour::Red);
  f->tvw->SetTag(2, QStringLiteral("a.exe"));
  f->tvw->SetForeColor(4, colour::Blue);
  Put(QStringLiteral("c.exe"), QStringLiteral("/c"));

  ScriptedDialogs dialogs;
  dialogs.expectBox(QStringLiteral("Unregistered Keyword"),
                    QStringLiteral("There is an unregistered keyword. Register it now?"), answer::Cancel, 51);
  f->LoadTVW(false);
  EXPECT_EQ(f->tvw->Count(), 5);
  EXPECT_EQ(f->tvw->Text(2), QStringLiteral("renamed.exe"));
  EXPECT_EQ(f->tvw->ForeColor(2), colour::Red);
  EXPECT_EQ(f->tvw->Tag(2), QStringLiteral("a.exe"));
  EXPECT_EQ(f->windowTitle(), QStringLiteral("Zelkar - 2 Keywords"));

  // No, then Cancel at the export question: still nothing rebuilt.
  dialogs.expectBox(QStringLiteral("Unregistered Keyword"), QString(), answer::No, 51);
  dialogs.expectBox(QStringLiteral("Export Keyword?"), QString(), answer::Cancel, 51);
  f->LoadTVW(false);
  EXPECT_EQ(f->tvw->ForeColor(4), colour::Blue);
  EXPECT_EQ(f->tvw->Count(), 5);
}

TEST_F(LoadTest, OddNamesAndTargetsAreListedAsThemselves) {
  const QString longName = QString(10000, QLatin1Char('k'));
  const QList<std::pair<QString, QString>> entries = {
      {QStringLiteral("Ünïcødé ñame.exe"), QStringLiteral("/data/Ünïcødé/ß")},
      {QStringLiteral("semi;colon.exe"), QStringLiteral("a;b && c")},
      {QStringLiteral("$(rm -rf ~).exe"), QStringLiteral("$(rm -rf ~)")},
      {QStringLiteral("`id`.exe"), QStringLiteral("`id`")},
      {QStringLiteral("pipe|name.exe"), QStringLiteral("x | y")},
      {QStringLiteral("--help.exe"), QStringLiteral("-rf")},
      {QStringLiteral("in\"side.exe"), QStringLiteral("say \"hi\" there")},
      {longName + QStringLiteral(".exe"), QString(10000, QLatin1Char('T'))},
  };
  for (const auto& [kw, target] : entries) Put(kw, target);
  auto f = Window();
  ASSERT_EQ(f->KeywordCount(), entries.size());
  for (const auto& [kw, target] : entries) {
    int found = 0;
    for (int i = 2; i <= f->tvw->Count(); i += 2)
      if (f->tvw->Text(i) == kw.toLower()) found = i;
    ASSERT_NE(found, 0) << kw.left(40).toStdString();
    EXPECT_EQ(f->tvw->Text(found + 1), target);
    EXPECT_EQ(TargetOf(kw), target);
  }
}

TEST_F(LoadTest, ThousandsOfEntriesWithEmptyOnesAndOtherValueTypes) {
  const QString doc = MakeFile(QStringLiteral("shared.txt"));
  {
    store::RegistryStore::Transaction group(store(), Hive::LocalMachine);
    for (int i = 0; i < 3000; ++i) {
      const QString kw = QStringLiteral("kw%1.exe").arg(i, 4, 10, QLatin1Char('0'));
      const QString target = i % 3 == 0 ? doc : QStringLiteral("/srv/d%1").arg(i);
      store().writeValue(Hive::LocalMachine, kAppPathsKey + kw, QString(), store::Value::fromString(target));
    }
    for (int i = 0; i < 50; ++i)
      store().createKey(Hive::LocalMachine, kAppPathsKey + QStringLiteral("void%1.exe").arg(i));
    store().writeValue(Hive::LocalMachine, kAppPathsKey + QStringLiteral("number.exe"), QString(),
                       store::Value::fromDWord(42));
    ASSERT_TRUE(group.commit());
  }
  auto f = Window();
  EXPECT_EQ(f->KeywordCount(), 3001);
  EXPECT_EQ(f->windowTitle(), QStringLiteral("Zelkar - 3001 Keywords"));
  // One image per file keyword, however many share a file.
  EXPECT_EQ(TmpImages(*f), 1000);
  EXPECT_EQ(f->tvw->Text(2), QStringLiteral("kw0000.exe"));
  EXPECT_EQ(f->tvw->Text(3), doc);
  EXPECT_EQ(f->tvw->Text(5), QStringLiteral("/srv/d1"));
  const int last = f->tvw->Count() - 1;
  EXPECT_EQ(f->tvw->Text(last), QStringLiteral("number.exe"));
  EXPECT_EQ(f->tvw->Text(last + 1), QStringLiteral("42"));
  EXPECT_EQ(f->tvw->Image(last), QStringLiteral("fld"));
  for (int i = 2; i <= f->tvw->Count(); i += 2) ASSERT_EQ(f->tvw->Parent(i + 1), i);
}

}  // namespace
}  // namespace zelkar::test
