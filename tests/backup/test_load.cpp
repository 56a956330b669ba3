// Loading and importing backup files: by path, through the dialog, dropped on
// the tree or named on the command line; old formats, odd files and files
// from outside.
#include "support/BackupTest.h"

#include <sys/stat.h>

namespace zelkar::test {
namespace {

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
};

TEST_F(LoadTest, LoadReplacesAndImportMerges) {
  const auto form = Window();
  ScriptedDialogs dialogs;  // importing asks nothing, even about overwriting
  const QString crlf = Sample("windows-crlf.zkb", "sub/crlf.zkb");
  Put("notepad.exe", "/old/notepad");
  form->LoadTVW(false);
  EXPECT_TRUE(form->ImportList(crlf));
  Keywords crlfKeywords{{"docs.exe", "C:\\Documents and Settings\\All Users\\Documents"},
                        {"notepad.exe", "C:\\WINDOWS\\notepad.exe"}, {"site.exe", "www.example.org/start"},
                        *kKeep.begin()};
  EXPECT_EQ(Listed(), crlfKeywords);
  crlfKeywords.erase("keep.exe");
  EXPECT_EQ(Slots(), QStringList(5, ""));
  EXPECT_EQ(Dir(), "");  // by path, never through the dialog

  dialogs.expectOpen(crlf);  // (a load declined: the drop's test)
  ExpectLoadQuestion(dialogs, crlf, answer::Yes);
  EXPECT_TRUE(form->LoadList(""));
  EXPECT_EQ(Listed(), crlfKeywords);
  EXPECT_EQ(Registered().count("hollow.exe"), 1u);
  EXPECT_EQ(form->tvw->Count(), 7);
  EXPECT_EQ(Slots()[0], crlf);
  EXPECT_EQ(Dir(), path("sub") + "/");
  EXPECT_EQ(dialogs.dialogs()[0].request.initialDir, QDir::homePath());
}

TEST_F(LoadTest, ImportTakesEntriesWithBothPartsFromThisVersionOnAndConvertsOlderFilesWhenAllowed) {
  const auto form = Window();
  const QString old = Sample("old-format.zkb", "old.zkb");
  const QByteArray before = Bytes(old);
  ScriptedDialogs dialogs;
  dialogs.expectBox("Format Error", "", answer::No, 20);
  EXPECT_FALSE(form->ImportList(old));
  EXPECT_EQ(Bytes(old), before);
  EXPECT_EQ(Listed(), kKeep);

  EXPECT_TRUE(form->ImportList(testdata("backups/gaps-and-count.zkb")));
  dialogs.expectBox("Format Error", "", answer::Yes, 20);
  EXPECT_TRUE(form->ImportList(old));
  const Keywords expected{{"keep.exe", "/usr/bin/keep"}, {"one.exe", "/usr/bin/one"}, {"three.exe", "/usr/bin/three"},
                          {"notepad.exe", "C:\\WINDOWS\\notepad.exe"}, {"calc.exe", "C:\\WINDOWS\\system32\\calc.exe"},
                          {"comma.exe", "C:\\a,b\\tool.exe"}, {"bare.exe", "/usr/bin/bare"}};
  EXPECT_EQ(Listed(), expected);
}

TEST_F(LoadTest, FilesDroppedOrNamedOnTheCommandLineAreLoadedNeverRun) {
  const auto form = Window();
  const QString backup = Sample("windows-crlf.zkb", "x;$(touch pwned)`id`&.ZKB");  // a hostile name
  const QString text = Write("notes.txt", "just text\n");
  CurrentFolder here(dir());
  ScriptedDialogs dialogs;
  ExpectLoadQuestion(dialogs, backup, answer::No);
  form->tvw_OLEDragDrop(FileList({backup}).get());
  dialogs.expectBoxTitled("Zelkar", answer::OK);
  form->tvw_OLEDragDrop(FileList({text, backup}).get());  // only the first file counts
  dialogs.expectBox("Zelkar", "Zelkar cannot load directories", answer::OK, 64);
  form->tvw_OLEDragDrop(FileList({dir()}).get());
  for (const QString& line : {text, '"' + backup + '"', dir(), QString("/dev/null"), path("missing.zkb")}) {
    dialogs.expectBoxTitled("Zelkar", answer::OK);
    RunCommandLine(line);
  }
  RunCommandLine(QString());
  dialogs.expectOpen(std::nullopt);  // a lone -I: the import dialog, as from a dock
  RunCommandLine("-I");
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

// Pipes (devices alike) and huge files where a backup or a shortcut is expected.
TEST_F(LoadTest, SpecialFilesAreNeverReadAndSayWhy) {
  const auto form = Window();
  for (const QString kind : {"pipe", "huge"}) {
    SCOPED_TRACE(kind.toStdString());
    const QString shortcut = path(kind + ".url"), backup = path(kind + ".zkb");
    for (const QString& file : {shortcut, backup}) {
      if (kind == "pipe") {  // no writer ever comes: a reader that waits for one hangs
        ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0644), 0);
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
    EXPECT_EQ(Listed(), kKeep);
  }
}

}  // namespace
}  // namespace zelkar::test
