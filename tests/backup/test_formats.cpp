// The file formats: profile files as every backup is one, the numbers they
// hold, and old-format backups and their conversion.
#include "backup/core/BackupFormat.h"
#include "backup/core/modINI.h"
#include "support/BackupTest.h"

namespace zelkar::test {
namespace {

using namespace modINI;

using FormatTest = BackupTest;

TEST_F(FormatTest, ReadingFollowsTheProfileRules) {
  const QString file = Write("rules.ini",
                             "Key=before any section\n  [ Shortcut ]  \n  URL  =  http://example.org/a b  \n"
                             "dq=\"quoted value\"\nsq=' single '\nodd=\"mixed'\nlone=\"\nurl=second of the same name\n"
                             "noequals\n[Other]\nKey=other\n");
  const std::pair<const char*, const char*> cases[] = {
      {"url", "http://example.org/a b"}, {"DQ", "quoted value"}, {"sq", " single "}, {"odd", "\"mixed'"},
      {"lone", "\""}, {"Key", ""}, {"noequals", ""}};  // Key: the line before the first section
  for (const auto& [key, value] : cases) EXPECT_EQ(ReadINI("SHORTCUT", key, file), value) << key;
  EXPECT_EQ(ReadINI("Other", "Key", file), "other");

  // Long values are written whole and read back cut, by characters, never splitting one outside the BMP.
  const QString target = "/" + QString(299, u'x');
  const QString wide = QString(253, u'a') + QString::fromUtf8("\xF0\x9F\x98\x80") + "tail";
  WriteINI("Targets", "1", target, file);
  WriteINI("Targets", "2", wide, file);
  EXPECT_TRUE(Bytes(file).contains(target.toUtf8()));
  EXPECT_EQ(ReadINI("Targets", "1", file), target.left(254));
  EXPECT_EQ(ReadINI("Targets", "2", file), wide.left(255));

  // A line break in a name or value would start a line of its own, forging a key or section: it is written as a blank.
  WriteINI("Other", "k\n[Count]", "v\r\n[Count]\r\nKeywords=9", file);
  EXPECT_EQ(ReadINI("Other", "k [Count]", file), "v  [Count]  Keywords=9");
  EXPECT_EQ(ReadINI("Count", "Keywords", file), "");
}

TEST_F(FormatTest, RewriteKeepsLineEndsPermissionsAndEverythingElse) {
  for (const char* eol : {"\n", "\r\n", "\r"}) {
    SCOPED_TRACE(QByteArray(eol).toHex().toStdString());
    // A byte order mark is kept, and so is text that is not ASCII.
    const QString file =
        Write("lf.ini", QByteArray("\xEF\xBB\xBF[A]|; by hand|one = 1|two=\xC3\xA9||[B]|x=y|").replace('|', eol));
    const auto perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(file, perms));
    WriteINI("a", "ONE", "first", file);  // in place, spelling of the key kept
    WriteINI("A", "three", "3", file);    // after the last key, before the blank line
    WriteINI("C", "z", "last", file);     // new section at the end, no blank line
    WriteINI("B", "x", "y", file);        // same value: nothing changes
    EXPECT_EQ(Bytes(file), QByteArray("\xEF\xBB\xBF[A]|; by hand|one=first|two=\xC3\xA9|three=3||[B]|x=y|[C]|z=last|")
                               .replace('|', eol));
    EXPECT_EQ(QFile::permissions(file) & 0x7077, perms);
  }
}

TEST_F(FormatTest, TextThatIsNotUtf8IsWindows1252) {
  // 0x80..0x9F are not Latin-1 in that code page.
  const QString cp = Write("cp.ini", "[S]\nk=\x80 \x93q\x94 \x81\n");
  EXPECT_EQ(ReadINI("S", "k", cp), QString::fromUtf8("\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC2\x81"));
  WriteINI("S", "n", "1", cp);  // rewritten as UTF-8, text unchanged
  EXPECT_EQ(Bytes(cp), "[S]\nk=\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC2\x81\nn=1\n");
}

TEST_F(FormatTest, BatchWritesOnceAtTheEndOrNothing) {
  const QString file = path("batch.zkb");
  {
    Batch batch(file);
    WriteINI("Zelkar", "Version", "18", file);
    // Another spelling of the same file joins the same copy.
    WriteINI("Keywords", "1", "one.exe", dir() + "/./sub/../batch.zkb");
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(ReadINI("keywords", "1", file), "one.exe");
    {
      Batch inner(path("batch.zkb"));
      WriteINI("Count", "Keywords", "1", file);
    }
    Batch reading(path("none.zkb"));  // reading in a batch creates nothing
    EXPECT_EQ(ReadINI("A", "b", path("none.zkb")), "");
  }
  EXPECT_EQ(Bytes(file), "[Zelkar]\r\nVersion=18\r\n[Keywords]\r\n1=one.exe\r\n[Count]\r\nKeywords=1\r\n");
  EXPECT_FALSE(QFile::exists(path("none.zkb")));

  // A directory in the file's place is neither read nor replaced.
  ASSERT_TRUE(QDir(dir()).mkpath("adir.zkb"));
  EXPECT_EQ(WriteINI("S", "k", "v", path("adir.zkb")), 0);
  EXPECT_TRUE(QFileInfo(path("adir.zkb")).isDir());
}

using Records = std::vector<std::pair<QString, QString>>;

TEST_F(FormatTest, ProfileNumberRule) {
  const std::vector<std::pair<const char*, std::optional<int>>> cases{
      {"", 0}, {"17.5", 18}, {"18.5", 18}, {"18.51", 19}, {"  -2.5", -2}, {"+7 apples", 7}, {".6", 1}, {"32767", 32767},
      {"-32768", -32768}, {"32768", std::nullopt}, {"32767.5", std::nullopt}, {"-32769", std::nullopt},
      {"99999999999999999999999", std::nullopt}};
  for (const auto& [text, number] : cases) EXPECT_EQ(backup::ProfileNumber(text), number) << text;
  // Counts by the same rule in 32 bits: every file written loads again.
  const std::vector<std::pair<const char*, std::optional<int>>> counts{
      {"40000", 40000}, {"2147483647", 2147483647}, {"2147483648", std::nullopt}};
  for (const auto& [text, number] : counts) EXPECT_EQ(backup::ProfileCount(text), number) << text;
}

TEST_F(FormatTest, OldFormatRecords) {
  const std::pair<QByteArray, Records> cases[] = {
      // Quoted line ends belong to the field; unquoted fields lose trailing blanks.
      {"\"two\nlines.exe\" junk ,\t plain target  \nk2,\"t2\"", {{"two\nlines.exe", "plain target"}, {"k2", "t2"}}},
      // An unbalanced quote runs to the end of the file.
      {"a.exe,\"open, never closed\r\nb.exe,c", {{"a.exe", "open, never closed\r\nb.exe,c"}}},
      {"a,b\rc, d\r", {{"a", "b"}, {"c", "d"}}},
      {"lonely", {{"lonely", ""}}},
      {"\"caf\xE9.exe\",\"/x\"", {{QString::fromUtf8("caf\xC3\xA9.exe"), "/x"}}}};
  for (const auto& [bytes, expected] : cases) {
    Records records;
    EXPECT_TRUE(backup::ReadOldFormatRecords(
        Write("old.zkb", bytes), [&](const QString& k, const QString& t) { records.emplace_back(k, t); }, nullptr));
    EXPECT_EQ(records, expected) << bytes.toStdString();
  }
}

TEST_F(FormatTest, ReformatConvertsInPlaceOrFailsWholeAndLeavesAStrangersTmpAlone) {
  const QString file = Sample("old-format.zkb", "b/old.zkb");
  const QByteArray stranger = "[Keywords]\r\n9=stranger.exe\r\n[Targets]\r\n9=/x\r\n";
  Write("b/tmp", stranger);
  ScriptedDialogs dialogs;
  frmMain form;
  {
    Batch batch(file);  // an open batch sees the converted file
    form.ReformatZKB(file);
    EXPECT_EQ(ReadINI("Targets", "3", file), "C:\\a,b\\tool.exe");
  }
  EXPECT_EQ(Bytes(file),
            "[Zelkar]\r\nVersion=18\r\n"
            "[Keywords]\r\n1=notepad.exe\r\n2=calc.exe\r\n3=comma.exe\r\n4=bare.exe\r\n"
            "[Targets]\r\n1=C:\\WINDOWS\\notepad.exe\r\n2=C:\\WINDOWS\\system32\\calc.exe\r\n"
            "3=C:\\a,b\\tool.exe\r\n4=/usr/bin/bare\r\n"
            "[Count]\r\nKeywords=4\r\n");
  EXPECT_EQ(Bytes(path("b/tmp")), stranger);
  EXPECT_EQ(FilesIn("b"), (QStringList{"old.zkb", "tmp"}));

  // Failures show the reason and leave the folder as it was.
  QDir().mkpath(path("d/dir.zkb"));
  for (const auto& [file, reason] : {std::pair<QString, QString>{path("d/gone.zkb"), "No such file or directory"},
                                     {path("d/dir.zkb"), ""}}) {
    dialogs.expectBox("Error", reason, answer::OK, mb::Critical);  // an empty reason is not compared
    form.ReformatZKB(file);
  }
  EXPECT_EQ(FilesIn("d"), QStringList{"dir.zkb"});
}

}  // namespace
}  // namespace zelkar::test
