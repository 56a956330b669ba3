#include "support/BackupTest.h"
#include "backup/core/modINI.h"

namespace zelkar::test {
namespace {

using ReformatTest = BackupTest;

TEST_F(ReformatTest, ConvertsOldFormatInPlaceAndLeavesAStrangersTmpAlone) {
  const QString file = Sample("old-format.zkb", "b/old.zkb");
  const QByteArray stranger = "[Keywords]\r\n9=stranger.exe\r\n[Targets]\r\n9=/x\r\n";
  Write("b/tmp", stranger);
  ScriptedDialogs dialogs;
  frmMain form;
  form.ReformatZKB(file);
  EXPECT_EQ(Bytes(file),
            "[Zelkar]\r\nVersion=18\r\n"
            "[Keywords]\r\n1=notepad.exe\r\n2=calc.exe\r\n3=comma.exe\r\n4=bare.exe\r\n"
            "[Targets]\r\n1=C:\\WINDOWS\\notepad.exe\r\n2=C:\\WINDOWS\\system32\\calc.exe\r\n"
            "3=C:\\a,b\\tool.exe\r\n4=/usr/bin/bare\r\n"
            "[Count]\r\nKeywords=4\r\n");
  EXPECT_EQ(Bytes(path("b/tmp")), stranger);
  EXPECT_EQ(FilesIn("b"), (QStringList{"old.zkb", "tmp"}));

  // A file without records gets an empty count.
  const QString empty = Write("empty.zkb", "\"only.exe\",\"\"\r\n,\"/no/keyword\"\r\n");
  form.ReformatZKB(empty);
  EXPECT_EQ(Bytes(empty), "[Zelkar]\r\nVersion=18\r\n[Count]\r\nKeywords=\r\n");
}

TEST_F(ReformatTest, FailuresShowTheReasonAndKeepTheOriginal) {
  QDir().mkpath(path("m"));
  ScriptedDialogs dialogs;
  frmMain form;
  dialogs.expectBox("Error", "No such file or directory", answer::OK, mb::Critical);
  form.ReformatZKB(path("m/gone.zkb"));
  EXPECT_TRUE(FilesIn("m").isEmpty());

  // The longest name the folder allows leaves no room for a work file beside it.
  const QByteArray old = "\"k.exe\",\"/t\"\r\n";
  const QString file = Write("long/" + QString(251, u'n') + ".zkb", old);
  dialogs.expectBox("Error", "File name too long", answer::OK, mb::Critical);
  form.ReformatZKB(file);
  EXPECT_EQ(Bytes(file), old);
  EXPECT_EQ(FilesIn("long").size(), 1);

  QDir().mkpath(path("d/dir.zkb"));
  dialogs.expectBoxTitled("Error", answer::OK);
  form.ReformatZKB(path("d/dir.zkb"));
  EXPECT_EQ(FilesIn("d"), QStringList{"dir.zkb"});
}

TEST_F(ReformatTest, OpenBatchSeesTheConvertedFile) {
  const QString file = Sample("old-format.zkb", "batched.zkb");
  ScriptedDialogs dialogs;
  frmMain form;
  {
    modINI::Batch batch(file);
    form.ReformatZKB(file);
    EXPECT_EQ(modINI::ReadINI("Targets", "3", file), "C:\\a,b\\tool.exe");
  }
  EXPECT_EQ(modINI::ReadINI("Count", "Keywords", file), "4");
}

}  // namespace
}  // namespace zelkar::test
