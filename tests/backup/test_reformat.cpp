#include "app/frmMain.h"
#include "backup/core/modINI.h"
#include "support/ScriptedDialogs.h"
#include "support/StoreTest.h"

#include <QDir>
#include <QFile>

namespace zelkar::test {
namespace {

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Put(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(f.write(bytes), bytes.size());
}

class ReformatTest : public StoreTest {
 protected:
  QStringList filesIn(const QString& folder) const {
    return QDir(path(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
  }
};

TEST_F(ReformatTest, ConvertsOldFormatInPlaceAndLeavesAStrangersTmpAlone) {
  ASSERT_TRUE(QDir(dir()).mkpath("b"));
  const QString file = path("b/old.zkb");
  ASSERT_TRUE(QFile::copy(testdata("backups/old-format.zkb"), file));
  const QByteArray stranger = "[Keywords]\r\n9=stranger.exe\r\n[Targets]\r\n9=/x\r\n";
  Put(path("b/tmp"), stranger);

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
  EXPECT_EQ(filesIn("b"), (QStringList{"old.zkb", "tmp"}));
  EXPECT_TRUE(dialogs.boxes().empty());
}

TEST_F(ReformatTest, FileWithoutRecordsGetsAnEmptyCount) {
  const QString file = path("empty.zkb");
  Put(file, "\"only.exe\",\"\"\r\n,\"/no/keyword\"\r\n");
  ScriptedDialogs dialogs;
  frmMain form;
  form.ReformatZKB(file);
  EXPECT_EQ(Bytes(file), "[Zelkar]\r\nVersion=18\r\n[Count]\r\nKeywords=\r\n");
}

TEST_F(ReformatTest, MissingFileShowsTheReasonAndCreatesNothing) {
  ASSERT_TRUE(QDir(dir()).mkpath("m"));
  ScriptedDialogs dialogs;
  dialogs.expectBox("Error", "No such file or directory", answer::OK, mb::Critical);
  frmMain form;
  form.ReformatZKB(path("m/gone.zkb"));
  EXPECT_TRUE(filesIn("m").isEmpty());
}

TEST_F(ReformatTest, FailedReplacementKeepsTheOriginal) {
  // A name of the longest length the folder allows leaves no room for a work
  // file's name beside it, so the converted text cannot be put in place.
  ASSERT_TRUE(QDir(dir()).mkpath("long"));
  const QString file = path("long/" + QString(251, u'n') + ".zkb");
  const QByteArray old = "\"k.exe\",\"/t\"\r\n";
  Put(file, old);

  ScriptedDialogs dialogs;
  dialogs.expectBox("Error", "File name too long", answer::OK, mb::Critical);
  frmMain form;
  form.ReformatZKB(file);
  EXPECT_EQ(Bytes(file), old);
  EXPECT_EQ(filesIn("long").size(), 1);

  // A folder in the file's place cannot be read as a backup.
  ASSERT_TRUE(QDir(dir()).mkpath("d/dir.zkb"));
  dialogs.expectBoxTitled("Error", answer::OK);
  form.ReformatZKB(path("d/dir.zkb"));
  EXPECT_TRUE(QFileInfo(path("d/dir.zkb")).isDir());
  EXPECT_EQ(filesIn("d"), QStringList{"dir.zkb"});
}

TEST_F(ReformatTest, OpenBatchSeesTheConvertedFile) {
  const QString file = path("batched.zkb");
  ASSERT_TRUE(QFile::copy(testdata("backups/old-format.zkb"), file));
  ScriptedDialogs dialogs;
  frmMain form;
  {
    modINI::Batch batch(file);
    EXPECT_EQ(modINI::ReadINI("Zelkar", "Version", file), "");
    form.ReformatZKB(file);
    EXPECT_EQ(modINI::ReadINI("Zelkar", "Version", file), "18");
    EXPECT_EQ(modINI::ReadINI("Targets", "3", file), "C:\\a,b\\tool.exe");
  }
  EXPECT_EQ(modINI::ReadINI("Count", "Keywords", file), "4");
}

}  // namespace
}  // namespace zelkar::test
