#include "backup/core/BackupFormat.h"
#include "backup/core/modINI.h"
#include "support/StoreTest.h"

#include <QFile>

#include <utility>
#include <vector>

namespace zelkar::test {
namespace {

using backup::ProfileNumber;
using Records = std::vector<std::pair<QString, QString>>;

class FormatTest : public StoreTest {
 protected:
  Records read(const QByteArray& bytes) {
    const QString file = path("old.zkb");
    QFile f(file);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    return readFile(file);
  }
  static Records readFile(const QString& file) {
    Records records;
    QString error;
    EXPECT_TRUE(backup::ReadOldFormatRecords(
        file, [&](const QString& k, const QString& t) { records.emplace_back(k, t); }, &error));
    return records;
  }
};

TEST_F(FormatTest, ProfileNumberRule) {
  EXPECT_EQ(ProfileNumber("18"), 18);
  EXPECT_EQ(ProfileNumber("110"), 110);
  EXPECT_EQ(ProfileNumber(""), 0);
  EXPECT_EQ(ProfileNumber("abc"), 0);
  EXPECT_EQ(ProfileNumber("17.5"), 18);
  EXPECT_EQ(ProfileNumber("18.5"), 18);
  EXPECT_EQ(ProfileNumber("18.51"), 19);
  EXPECT_EQ(ProfileNumber("18.49"), 18);
  EXPECT_EQ(ProfileNumber("  -2.5"), -2);
  EXPECT_EQ(ProfileNumber("+7 apples"), 7);
  EXPECT_EQ(ProfileNumber(".6"), 1);
  EXPECT_EQ(ProfileNumber("32767"), 32767);
  EXPECT_EQ(ProfileNumber("-32768"), -32768);
  EXPECT_EQ(ProfileNumber("32768"), std::nullopt);
  EXPECT_EQ(ProfileNumber("32767.5"), std::nullopt);
  EXPECT_EQ(ProfileNumber("-32769"), std::nullopt);
  EXPECT_EQ(ProfileNumber("99999999999999999999999"), std::nullopt);
}

TEST_F(FormatTest, SampleVersionsAndCounts) {
  using modINI::ReadINI;
  const auto version = [](const QString& file) { return ProfileNumber(ReadINI("Zelkar", "Version", file)); };
  EXPECT_EQ(version(testdata("backups/no-version.zkb")), 0);
  EXPECT_EQ(version(testdata("backups/later-version.zkb")), 110);
  EXPECT_EQ(version(testdata("backups/old-format.zkb")), 0);
  EXPECT_EQ(version(path("missing.zkb")), 0);
  const QString tooLarge = testdata("backups/count-too-large.zkb");
  EXPECT_EQ(version(tooLarge), 18);
  EXPECT_EQ(ProfileNumber(ReadINI("Count", "Keywords", tooLarge)), std::nullopt);
  EXPECT_EQ(ProfileNumber(ReadINI("Count", "Keywords", testdata("backups/gaps-and-count.zkb"))), 5);
}

TEST_F(FormatTest, OldFormatSample) {
  const Records expected{{"notepad.exe", "C:\\WINDOWS\\notepad.exe"},
                         {"calc.exe", "C:\\WINDOWS\\system32\\calc.exe"},
                         {"empty.exe", ""},
                         {"comma.exe", "C:\\a,b\\tool.exe"},
                         {"bare.exe", "/usr/bin/bare"}};
  EXPECT_EQ(readFile(testdata("backups/old-format.zkb")), expected);
}

TEST_F(FormatTest, OldFormatFieldRules) {
  // Line ends inside quotes belong to the field; text after the closing quote
  // is skipped; unquoted fields lose trailing blanks; LF alone ends a line.
  EXPECT_EQ(read("\"two\nlines.exe\" junk ,\t plain target  \nk2,\"t2\""),
            (Records{{"two\nlines.exe", "plain target"}, {"k2", "t2"}}));
  // An unbalanced quote runs to the end of the file.
  EXPECT_EQ(read("a.exe,\"open, never closed\r\nb.exe,c"),
            (Records{{"a.exe", "open, never closed\r\nb.exe,c"}}));
  // A blank line is an empty field; a record cut short has an empty target.
  EXPECT_EQ(read("a,b\r\n\r\nc"), (Records{{"a", "b"}, {"", "c"}}));
  EXPECT_EQ(read("lonely"), (Records{{"lonely", ""}}));
  EXPECT_EQ(read(""), Records{});
  EXPECT_EQ(read("\"caf\xE9.exe\",\"/x\""), (Records{{QString::fromUtf8("caf\xC3\xA9.exe"), "/x"}}));

  QString error;
  EXPECT_FALSE(backup::ReadOldFormatRecords(path("missing.zkb"), [](const QString&, const QString&) {}, &error));
  EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace zelkar::test
