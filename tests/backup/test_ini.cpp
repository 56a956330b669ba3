#include "backup/core/modINI.h"
#include "support/BackupTest.h"

namespace zelkar::test {
namespace {

using modINI::Batch;
using modINI::ReadINI;
using modINI::WriteINI;

using IniTest = BackupTest;

TEST_F(IniTest, ReadingFollowsTheProfileRules) {
  const QString file = Write("rules.ini",
                             "Key=before any section\n  [ Shortcut ]  \n  URL  =  http://example.org/a b  \n"
                             "dq=\"quoted value\"\nsq=' single '\nodd=\"mixed'\nlone=\"\nurl=second of the same name\n"
                             "noequals\n[Other]\nKey=other\n");
  const std::pair<const char*, const char*> cases[] = {
      {"url", "http://example.org/a b"}, {"DQ", "quoted value"}, {"sq", " single "}, {"odd", "\"mixed'"},
      {"lone", "\""}, {"Key", ""}, {"noequals", ""}};  // Key: the line before the first section
  for (const auto& [key, value] : cases) EXPECT_EQ(ReadINI("SHORTCUT", key, file), value) << key;
  EXPECT_EQ(ReadINI("Other", "Key", file), "other");
  EXPECT_EQ(ReadINI("S", "k", path("absent.ini")), "");
  EXPECT_FALSE(QFile::exists(path("absent.ini")));

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

TEST_F(IniTest, RewriteKeepsLineEndsPermissionsAndEverythingElse) {
  for (const char* eol : {"\n", "\r\n", "\r"}) {
    SCOPED_TRACE(QByteArray(eol).toHex().toStdString());
    const QString file = Write("lf.ini", QByteArray("; by hand|[A]|one = 1|two=2||[B]|x=y|").replace('|', eol));
    const auto perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(file, perms));
    WriteINI("a", "ONE", "first", file);  // in place, spelling of the key kept
    WriteINI("A", "three", "3", file);    // after the last key, before the blank line
    WriteINI("C", "z", "last", file);     // new section at the end, no blank line
    WriteINI("B", "x", "y", file);        // same value: nothing changes
    EXPECT_EQ(Bytes(file), QByteArray("; by hand|[A]|one=first|two=2|three=3||[B]|x=y|[C]|z=last|").replace('|', eol));
    EXPECT_EQ(ReadINI("A", "two", file), "2");
    EXPECT_EQ(QFile::permissions(file) & 0x7077, perms);
  }
}

TEST_F(IniTest, TextIsUtf8OrWindows1252) {
  // 0x80..0x9F are not Latin-1 in that code page.
  const QString cp = Write("cp.ini", "[S]\nk=\x80 \x93q\x94 \x81\n");
  EXPECT_EQ(ReadINI("S", "k", cp), QString::fromUtf8("\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC2\x81"));
  WriteINI("S", "n", "1", cp);  // rewritten as UTF-8, text unchanged
  EXPECT_EQ(Bytes(cp), "[S]\nk=\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC2\x81\nn=1\n");

  const QString bom = Write("bom.ini", "\xEF\xBB\xBF[S]\r\nk=\xC3\xA9\r\n");
  EXPECT_EQ(ReadINI("S", "k", bom), QString::fromUtf8("\xC3\xA9"));
  WriteINI("S", "k", "2", bom);
  EXPECT_EQ(Bytes(bom), "\xEF\xBB\xBF[S]\r\nk=2\r\n");
}

TEST_F(IniTest, BatchWritesOnceAtTheEndOrNothing) {
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

  // What cannot be written is left as it was: a missing folder is not made, a
  // directory in the file's place is neither read nor replaced.
  {
    Batch failing(path("nofolder/x.zkb"));
    WriteINI("S", "k", "v", path("nofolder/x.zkb"));
    EXPECT_FALSE(failing.flush());
    EXPECT_FALSE(failing.ok());
  }
  EXPECT_FALSE(QFileInfo::exists(path("nofolder")));
  ASSERT_TRUE(QDir(dir()).mkpath("adir.zkb"));
  EXPECT_EQ(WriteINI("S", "k", "v", path("adir.zkb")), 0);
  EXPECT_TRUE(QFileInfo(path("adir.zkb")).isDir());
}

}  // namespace
}  // namespace zelkar::test
