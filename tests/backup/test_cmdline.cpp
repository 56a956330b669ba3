#include "support/BackupTest.h"

namespace zelkar::test {
namespace {

class CommandLineTest : public BackupTest {
 protected:
  void SetUp() override {
    BackupTest::SetUp();
    // What start-up registers for the backup file type.
    modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\.zkb\\", "Zelkar.File", 0);
    modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\Zelkar.File\\", "Zelkar Backup File", 0);
    backup = Sample("windows-crlf.zkb", "my backup.zkb");
  }
  void Run(const QString& commandLine) {
    frmMain form(commandLine);
    form.LoadTVW(false);
    form.DoCommandLine();
  }
  QString backup;
};

TEST_F(CommandLineTest, LoadOrImportABackupFile) {
  Put("keep.exe", "/usr/bin/keep");
  ScriptedDialogs dialogs;
  dialogs.expectBox("Import?", "Import keywords from '" + backup + "'?", answer::No, kAsk);
  Run(backup + " -i");
  EXPECT_EQ(Registered().size(), 1u);
  dialogs.expectBox("Import?", "Import keywords from '" + backup + "'?", answer::Yes, kAsk);
  Run(backup + " -I");
  EXPECT_EQ(Registered().size(), 4u);
  ExpectLoadQuestion(dialogs, backup, answer::Yes);
  Run(backup);
  EXPECT_EQ(Registered().size(), 3u);
  EXPECT_EQ(Registered().count("keep.exe"), 0u);
}

TEST_F(CommandLineTest, AnythingElseIsNotHandled) {
  const QString text = Write("notes.txt", "text\n");
  const QString type = modMain::FileProperty(text, modMain::property::Type);
  ASSERT_NE(type, text);
  ScriptedDialogs dialogs;
  for (const QString& c : {text, '"' + backup + '"', QString(100000, 'z'), dir(), QString("/dev/null"),
                           path("missing.zkb")}) {
    const QString t = c == text ? type : c;
    dialogs.expectBox("Zelkar", "Zelkar does not handle " + t + (t.endsWith('s', Qt::CaseInsensitive) ? "" : "s"),
                      answer::OK, 64);
    Run(c);
  }
  Run(QString());
  // A missing file named for import is still asked about; the import then fails on its own.
  dialogs.expectBox("Import?", "", answer::Yes, kAsk).expectBoxTitled("Format Error", answer::No);
  Run(path("missing.zkb -I"));
  EXPECT_EQ(dialogs.boxes().size(), 8u);
  EXPECT_TRUE(Registered().empty());
}

}  // namespace
}  // namespace zelkar::test
