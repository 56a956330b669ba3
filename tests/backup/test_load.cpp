#include "support/BackupTest.h"

#include <sqlite3.h>

namespace zelkar::test {
namespace {

QString FormatError(const QString& title) {
  return title +
         " was written in a lower version of Zelkar and cannot be read unless\r\nreformatted for this version "
         "(v1.8).\r\n\r\nWould you like to reformat?\r\n\r\nNote: Once reformatted, only Zelkar v1.8 and up will "
         "be able to read the file.";
}

const Keywords kKeep{{"keep.exe", "/usr/bin/keep"}};

class LoadTest : public BackupTest {
 protected:
  void SetUp() override {
    BackupTest::SetUp();
    Put("keep.exe", "/usr/bin/keep");
    Put("hollow.exe", "");  // the tree does not list it, so a load leaves it
    form = Window();
  }
  void TearDown() override {
    form.reset();
    BackupTest::TearDown();
  }
  Keywords Listed() {
    Keywords all = Registered();
    all.erase("hollow.exe");
    return all;
  }
  std::unique_ptr<frmMain> form;
};

TEST_F(LoadTest, LoadReplacesImportMerges) {
  const QString crlf = Sample("windows-crlf.zkb", "crlf.zkb");
  Put("notepad.exe", "/old/notepad");
  form->LoadTVW(false);
  ScriptedDialogs dialogs;  // importing asks nothing, even about overwriting
  EXPECT_TRUE(form->ImportList(crlf));
  const Keywords crlfKeywords{{"docs.exe", "C:\\Documents and Settings\\All Users\\Documents"},
                              {"notepad.exe", "C:\\WINDOWS\\notepad.exe"},
                              {"site.exe", "www.example.org/start"}};
  Keywords merged = crlfKeywords;
  merged.insert(*kKeep.begin());
  EXPECT_EQ(Listed(), merged);
  EXPECT_EQ(Slots(), QStringList(5, ""));

  ExpectLoadQuestion(dialogs, crlf, answer::No);
  EXPECT_FALSE(form->LoadList(crlf));
  ExpectLoadQuestion(dialogs, crlf, answer::Yes);
  EXPECT_TRUE(form->LoadList(crlf));
  EXPECT_EQ(Listed(), crlfKeywords);
  EXPECT_EQ(Registered().count("hollow.exe"), 1u);
  EXPECT_EQ(form->tvw->Count(), 7);
  EXPECT_EQ(Slots()[0], crlf);

  // Count 0: a load unregisters what the tree showed, an import changes nothing.
  const QString zero = Write("zero.zkb", "[Zelkar]\nVersion=18\n[Keywords]\n1=x.exe\n[Targets]\n1=/x\n[Count]\nKeywords=0\n");
  EXPECT_TRUE(form->ImportList(zero));
  EXPECT_EQ(Listed(), crlfKeywords);
  ExpectLoadQuestion(dialogs, zero, answer::Yes);
  EXPECT_TRUE(form->LoadList(zero));
  EXPECT_EQ(Listed(), Keywords{});
  EXPECT_EQ(Dir(), "");  // loaded by path, never through the dialog
}

TEST_F(LoadTest, SamplesAndOddFiles) {
  const QString longTarget = "/t/" + QString(9997, 'x');
  const QString odd = Write("odd.zkb", "[Count]\nKeywords=3\n[Targets]\n2=/t/b\n1=/t/a\n3=" + longTarget.toUtf8() +
                                           "\n[Keywords]\n2=b.exe\n1=a.exe\n1=dup.exe\n3=long.exe\n[Zelkar]\nVersion=18\n");
  const QString cut = Write("cut.zkb", "[Zelkar]\r\nVersion=18\r\n[Keywords]\r\n1=cut.exe\r\n[Targets]\r\n1=/t/cut\r\n[Count]\r\nKeyw");
  ScriptedDialogs dialogs;
  for (const QString& file : {testdata("backups/windows-1252.zkb"), testdata("backups/gaps-and-count.zkb"),
                              testdata("backups/later-version.zkb"), odd, cut})
    EXPECT_TRUE(form->ImportList(file)) << file.toStdString();
  Keywords expected = kKeep;
  expected.insert({{QString::fromUtf8("café.exe"), QString::fromUtf8("/home/user/Café/menu.txt")},
                   {"one.exe", "/usr/bin/one"}, {"three.exe", "/usr/bin/three"},
                   {"later.exe", "https://example.org/Later/Path"}, {"a.exe", "/t/a"}, {"b.exe", "/t/b"},
                   {"long.exe", longTarget.left(254)}});
  EXPECT_EQ(Listed(), expected);
}

TEST_F(LoadTest, OldFormatIsReadOnlyAfterConversion) {
  const QString old = Sample("old-format.zkb", "old.zkb");
  const QByteArray before = Bytes(old);
  const char raw[] = "\x00\xff\xfe[Zelkar]\x00Version=18\x01\x80";
  ScriptedDialogs dialogs;
  for (const QString& file : {old, Sample("no-version.zkb", "nover.zkb"), Write("empty.zkb", ""),
                              Write("binary.zkb", QByteArray(raw, sizeof raw - 1))}) {
    dialogs.expectBox("Format Error", FormatError(QFileInfo(file).fileName()), answer::No, 20);
    EXPECT_FALSE(form->ImportList(file)) << file.toStdString();
  }
  EXPECT_EQ(Bytes(old), before);
  EXPECT_EQ(Listed(), kKeep);

  dialogs.expectBox("Format Error", FormatError("old.zkb"), answer::Yes, 20);
  EXPECT_TRUE(form->ImportList(old));
  EXPECT_EQ(Listed().size(), 5u);
  EXPECT_EQ(Listed()["comma.exe"], "C:\\a,b\\tool.exe");
}

TEST_F(LoadTest, FailuresKeepTheKeywordsAsTheyWere) {
  // A conversion that fails, shown with its own message.
  const QString missing = path("gone.zkb");
  ScriptedDialogs dialogs;
  ExpectLoadQuestion(dialogs, missing, answer::Yes);
  dialogs.expectBox("Format Error", FormatError(missing), answer::Yes, 20).expectBoxTitled("Error", answer::OK);
  EXPECT_FALSE(form->LoadList(missing));

  // The disk fills up as the second keyword is written.
  const QString fails = Write("fails.zkb", "[Zelkar]\nVersion=18\n[Keywords]\n1=first.exe\n2=boom.exe\n3=last.exe\n"
                                           "[Targets]\n1=/t/1\n2=/t/2\n3=/t/3\n[Count]\nKeywords=3\n");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(QFile::encodeName(path("registry/machine.sqlite")).constData(), &db), SQLITE_OK);
  const int rc = sqlite3_exec(db, "CREATE TRIGGER full BEFORE INSERT ON regkey WHEN NEW.folded = 'boom.exe' "
                                  "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END;", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  ASSERT_EQ(rc, SQLITE_OK);
  ExpectLoadQuestion(dialogs, fails, answer::Yes);
  EXPECT_FALSE(form->LoadList(fails));
  EXPECT_FALSE(form->ImportList(fails));

  EXPECT_EQ(Listed(), kKeep);
  EXPECT_EQ(Slots(), QStringList(5, ""));
  EXPECT_EQ(form->tvw->Count(), 3);
}

TEST_F(LoadTest, DialogsAndDir) {
  const QString file = Sample("later-version.zkb", "sub/later.zkb");
  ScriptedDialogs dialogs;
  dialogs.expectOpen(std::nullopt).expectOpen(file);
  EXPECT_FALSE(form->ImportList(""));
  ExpectLoadQuestion(dialogs, file, answer::Yes);
  EXPECT_TRUE(form->LoadList(""));
  EXPECT_EQ(Dir(), path("sub") + "/");
  ASSERT_EQ(dialogs.dialogs().size(), 2u);
  const FileDialogRequest& import = dialogs.dialogs()[0].request;
  EXPECT_EQ(import.title, "Import keywords from backup file");
  EXPECT_EQ(import.initialDir, QDir::homePath());
  const FileDialogRequest& load = dialogs.dialogs()[1].request;
  EXPECT_EQ(load.title, "Open a backup list of keywords");
  EXPECT_EQ(load.initialDir, QDir::homePath());
}

TEST_F(LoadTest, DropsOnTheTree) {
  const QString upper = Sample("windows-crlf.zkb", "UPPER.ZKB");
  const QString text = Write("notes.txt", "just text\n");
  QDir().mkpath(path("folder"));
  const QString type = modMain::FileProperty(text, modMain::property::Type);
  ASSERT_NE(type, text);
  auto drop = [this](const QStringList& files) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& f : files) urls << QUrl::fromLocalFile(f);
    data.setUrls(urls);
    form->tvw_OLEDragDrop(&data);
  };
  ScriptedDialogs dialogs;
  ExpectLoadQuestion(dialogs, upper, answer::No);
  drop({upper});
  dialogs.expectBox("Zelkar", "Zelkar does not handle " + type + (type.endsWith('s', Qt::CaseInsensitive) ? "" : "s"),
                    answer::OK, 64);
  drop({text, upper});  // only the first file counts
  dialogs.expectBox("Zelkar", "Zelkar cannot load directories", answer::OK, 64);
  drop({path("folder")});
  QMimeData words;
  words.setText(upper);
  form->tvw_OLEDragDrop(&words);  // not a file list
  EXPECT_EQ(Listed(), kKeep);
}

}  // namespace
}  // namespace zelkar::test
