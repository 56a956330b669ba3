// Loading and importing backup files: by path, through the dialog, dropped on
// the tree or named on the command line; old formats, odd files and files
// from outside.
#include "support/BackupTest.h"

#include <sqlite3.h>
#include <sys/stat.h>

namespace zelkar::test {
namespace {

QString NotHandled(const QString& type) {
  return "Zelkar does not handle " + type + (type.endsWith('s', Qt::CaseInsensitive) ? "" : "s");
}

const Keywords kKeep{{"keep.exe", "/usr/bin/keep"}};

class LoadTest : public BackupTest {
 protected:
  void SetUp() override {
    BackupTest::SetUp();
    // What start-up registers for the backup file type.
    modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\.zkb\\", "Zelkar.File", 0);
    modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\Zelkar.File\\", "Zelkar Backup File", 0);
    Put("keep.exe", "/usr/bin/keep");
    Put("hollow.exe", "");  // the tree does not list it, so a load leaves it
    form = Window();
  }
  void TearDown() override {
    form.reset();
    BackupTest::TearDown();
  }
  static Keywords Listed() {
    Keywords all = Registered();
    all.erase("hollow.exe");
    return all;
  }
  static void RunCommandLine(const QString& line) {
    frmMain started(line);
    started.LoadTVW(false);
    started.DoCommandLine();
  }
  std::unique_ptr<frmMain> form;
};

TEST_F(LoadTest, LoadReplacesImportMergesAndAFailedWriteChangesNothing) {
  // The disk fills up as the second keyword of this file is written.
  const QString fails = Write("fails.zkb", "[Zelkar]\nVersion=18\n[Keywords]\n1=first.exe\n2=boom.exe\n[Targets]\n"
                                           "1=/t/1\n2=/t/2\n[Count]\nKeywords=2\n");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(QFile::encodeName(path("registry/machine.sqlite")).constData(), &db), SQLITE_OK);
  const int rc = sqlite3_exec(db, "CREATE TRIGGER full BEFORE INSERT ON regkey WHEN NEW.folded = 'boom.exe' "
                                  "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END;", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  ASSERT_EQ(rc, SQLITE_OK);
  ScriptedDialogs dialogs;  // importing asks nothing, even about overwriting
  ExpectLoadQuestion(dialogs, fails, answer::Yes);
  EXPECT_FALSE(form->LoadList(fails));
  EXPECT_FALSE(form->ImportList(fails));
  EXPECT_EQ(Listed(), kKeep);

  const QString crlf = Sample("windows-crlf.zkb", "sub/crlf.zkb");
  Put("notepad.exe", "/old/notepad");
  form->LoadTVW(false);
  dialogs.expectOpen(std::nullopt);
  EXPECT_FALSE(form->ImportList(""));
  EXPECT_TRUE(form->ImportList(crlf));
  const Keywords crlfKeywords{{"docs.exe", "C:\\Documents and Settings\\All Users\\Documents"},
                              {"notepad.exe", "C:\\WINDOWS\\notepad.exe"}, {"site.exe", "www.example.org/start"}};
  Keywords merged = crlfKeywords;
  merged.insert(*kKeep.begin());
  EXPECT_EQ(Listed(), merged);
  EXPECT_EQ(Slots(), QStringList(5, ""));
  EXPECT_EQ(Dir(), "");  // by path, never through the dialog

  ExpectLoadQuestion(dialogs, crlf, answer::No);
  EXPECT_FALSE(form->LoadList(crlf));
  dialogs.expectOpen(crlf);
  ExpectLoadQuestion(dialogs, crlf, answer::Yes);
  EXPECT_TRUE(form->LoadList(""));
  EXPECT_EQ(Listed(), crlfKeywords);
  EXPECT_EQ(Registered().count("hollow.exe"), 1u);
  EXPECT_EQ(form->tvw->Count(), 7);
  EXPECT_EQ(Slots()[0], crlf);
  EXPECT_EQ(Dir(), path("sub") + "/");
  EXPECT_EQ(dialogs.dialogs()[1].request.initialDir, QDir::homePath());

  // Count 0: a load unregisters what the tree showed, an import changes nothing.
  const QString zero = Write("zero.zkb", "[Zelkar]\nVersion=18\n[Keywords]\n1=x.exe\n[Targets]\n1=/x\n[Count]\nKeywords=0\n");
  EXPECT_TRUE(form->ImportList(zero));
  EXPECT_EQ(Listed(), crlfKeywords);
  ExpectLoadQuestion(dialogs, zero, answer::Yes);
  EXPECT_TRUE(form->LoadList(zero));
  EXPECT_EQ(Listed(), Keywords{});
}

TEST_F(LoadTest, ImportTakesEntriesWithBothPartsFromThisVersionOnAndConvertsOlderFilesWhenAllowed) {
  const QString old = Sample("old-format.zkb", "old.zkb");
  const QByteArray before = Bytes(old);
  const char raw[] = "\x00\xff\xfe[Zelkar]\x00Version=18\x01\x80";
  ScriptedDialogs dialogs;
  for (const QString& file : {old, Sample("no-version.zkb", "nover.zkb"), Write("empty.zkb", ""),
                              Write("binary.zkb", QByteArray(raw, sizeof raw - 1))}) {
    dialogs.expectBox("Format Error", "", answer::No, 20);
    EXPECT_FALSE(form->ImportList(file)) << file.toStdString();
  }
  EXPECT_EQ(Bytes(old), before);
  EXPECT_EQ(Listed(), kKeep);

  const QString odd = Write("odd.zkb", "[Count]\nKeywords=2\n[Targets]\n2=/t/b\n1=/t/a\n[Keywords]\n2=b.exe\n1=a.exe\n"
                                       "1=dup.exe\n[Zelkar]\nVersion=18\n");
  for (const QString& file : {testdata("backups/gaps-and-count.zkb"), testdata("backups/later-version.zkb"), odd})
    EXPECT_TRUE(form->ImportList(file)) << file.toStdString();
  dialogs.expectBox("Format Error",
                    "old.zkb was written in a lower version of Zelkar and cannot be read unless\r\nreformatted for this "
                    "version (v1.8).\r\n\r\nWould you like to reformat?\r\n\r\nNote: Once reformatted, only Zelkar "
                    "v1.8 and up will be able to read the file.", answer::Yes, 20);
  EXPECT_TRUE(form->ImportList(old));
  const Keywords expected{{"keep.exe", "/usr/bin/keep"}, {"one.exe", "/usr/bin/one"}, {"three.exe", "/usr/bin/three"},
                          {"later.exe", "https://example.org/Later/Path"}, {"a.exe", "/t/a"}, {"b.exe", "/t/b"},
                          {"notepad.exe", "C:\\WINDOWS\\notepad.exe"}, {"calc.exe", "C:\\WINDOWS\\system32\\calc.exe"},
                          {"comma.exe", "C:\\a,b\\tool.exe"}, {"bare.exe", "/usr/bin/bare"}};
  EXPECT_EQ(Listed(), expected);
}

TEST_F(LoadTest, FilesDroppedOrNamedOnTheCommandLineAreLoadedNeverRun) {
  const QString backup = Sample("windows-crlf.zkb", "x;$(touch pwned)`id`&.ZKB");  // a hostile name
  const QString text = Write("notes.txt", "just text\n");
  QDir().mkpath(path("folder"));
  const QString type = modMain::FileProperty(text, modMain::property::Type);
  CurrentFolder here(dir());
  ScriptedDialogs dialogs;
  ExpectLoadQuestion(dialogs, backup, answer::No);
  form->tvw_OLEDragDrop(FileList({backup}).get());
  dialogs.expectBox("Zelkar", NotHandled(type), answer::OK, 64);
  form->tvw_OLEDragDrop(FileList({text, backup}).get());  // only the first file counts
  dialogs.expectBox("Zelkar", "Zelkar cannot load directories", answer::OK, 64);
  form->tvw_OLEDragDrop(FileList({path("folder")}).get());
  QMimeData words;
  words.setText(backup);
  form->tvw_OLEDragDrop(&words);  // not a file list
  for (const QString& line : {text, '"' + backup + '"', backup + "; touch pwned", QString(100000, 'z'), dir(),
                              QString("/dev/null"), path("missing.zkb")}) {
    dialogs.expectBox("Zelkar", NotHandled(line == text ? type : line), answer::OK, 64);
    RunCommandLine(line);
  }
  RunCommandLine(QString());
  dialogs.expectOpen(std::nullopt);  // a lone -I: the import dialog, as from a dock
  RunCommandLine("-I");
  // A missing file named for import is still asked about; the import then fails on its own.
  dialogs.expectBox("Import?", "", answer::Yes, kAsk).expectBoxTitled("Format Error", answer::No);
  RunCommandLine(path("missing.zkb -I"));
  dialogs.expectBox("Import?", "Import keywords from '" + backup + "'?", answer::No, kAsk);
  RunCommandLine(backup + " -i");
  EXPECT_EQ(Listed(), kKeep);

  dialogs.expectBox("Import?", "Import keywords from '" + backup + "'?", answer::Yes, kAsk);
  RunCommandLine(backup + " -I");
  EXPECT_EQ(Listed().size(), 4u);
  ExpectLoadQuestion(dialogs, backup, answer::Yes);
  RunCommandLine(backup);
  EXPECT_EQ(Listed().size(), 3u);  // keep.exe went
  EXPECT_EQ(Recorded(), "none");
  EXPECT_FALSE(QFileInfo::exists(path("pwned")));
}

// Pipes, devices and huge files where a backup or a shortcut is expected.
TEST_F(LoadTest, SpecialFilesAreNeverReadAndSayWhy) {
  for (const QString kind : {"pipe", "device", "huge"}) {
    SCOPED_TRACE(kind.toStdString());
    const QString shortcut = path(kind + ".url"), backup = path(kind + ".zkb");
    for (const QString& file : {shortcut, backup}) {
      if (kind == "pipe") {  // no writer ever comes: a reader that waits for one hangs
        ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0644), 0);
      } else if (kind == "device") {
        ASSERT_TRUE(QFile::link("/dev/zero", file));
      } else {
        // A byte more than a shortcut or a backup file ever has; sparse, so it costs no disk.
        Write(QFileInfo(file).fileName(), "[Zelkar]\r\n");
        ASSERT_TRUE(QFile(file).resize((file == shortcut ? 64 << 10 : 64 << 20) + 1));
      }
    }
    ScriptedDialogs dialogs;
    const QString why = kind == "huge" ? "File too large (more than 64 MiB)" : "Not a regular file";
    form->lblPath->setCaption("/usr/bin/before");
    form->fraTarget_OLEDragDrop(FileList({shortcut}).get());
    EXPECT_EQ(form->lblPath->caption(), "/usr/bin/before");
    ExpectLoadQuestion(dialogs, backup, answer::Yes);
    dialogs.expectBox("Error", "Zelkar cannot load '" + backup + "':\r\n" + why + ".", answer::OK, 16);
    form->tvw_OLEDragDrop(FileList({backup}).get());
    dialogs.expectOpen(backup).expectBox("Error", "Zelkar cannot import '" + backup + "':\r\n" + why + ".", answer::OK, 16);
    EXPECT_FALSE(form->ImportList(QString()));
    EXPECT_EQ(Listed(), kKeep);
  }
}

}  // namespace
}  // namespace zelkar::test
