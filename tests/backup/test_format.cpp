#include <utility>
#include <vector>

#include "backup/core/BackupFormat.h"
#include "support/BackupTest.h"

namespace zelkar::test {
namespace {

using backup::ProfileNumber;
using Records = std::vector<std::pair<QString, QString>>;

class FormatTest : public BackupTest {
 protected:
  Records read(const QByteArray& bytes) { return readFile(Write("old.zkb", bytes)); }
  static Records readFile(const QString& file) {
    Records records;
    QString error;
    EXPECT_TRUE(backup::ReadOldFormatRecords(
        file, [&](const QString& k, const QString& t) { records.emplace_back(k, t); }, &error));
    return records;
  }
};

TEST_F(FormatTest, ProfileNumberRule) {
  const std::vector<std::pair<const char*, std::optional<int>>> cases{{"18", 18},
                                                                      {"110", 110},
                                                                      {"", 0},
                                                                      {"abc", 0},
                                                                      {"17.5", 18},
                                                                      {"18.5", 18},
                                                                      {"18.51", 19},
                                                                      {"18.49", 18},
                                                                      {"  -2.5", -2},
                                                                      {"+7 apples", 7},
                                                                      {".6", 1},
                                                                      {"32767", 32767},
                                                                      {"-32768", -32768},
                                                                      {"32768", std::nullopt},
                                                                      {"32767.5", std::nullopt},
                                                                      {"-32769", std::nullopt},
                                                                      {"99999999999999999999999", std::nullopt}};
  for (const auto& [text, number] : cases) EXPECT_EQ(ProfileNumber(text), number) << text;
}

TEST_F(FormatTest, OldFormatRecords) {
  const Records expected{{"notepad.exe", "C:\\WINDOWS\\notepad.exe"},
                         {"calc.exe", "C:\\WINDOWS\\system32\\calc.exe"},
                         {"empty.exe", ""},
                         {"comma.exe", "C:\\a,b\\tool.exe"},
                         {"bare.exe", "/usr/bin/bare"}};
  EXPECT_EQ(readFile(testdata("backups/old-format.zkb")), expected);
  // Quoted line ends belong to the field; unquoted fields lose trailing blanks.
  EXPECT_EQ(read("\"two\nlines.exe\" junk ,\t plain target  \nk2,\"t2\""),
            (Records{{"two\nlines.exe", "plain target"}, {"k2", "t2"}}));
  // An unbalanced quote runs to the end of the file.
  EXPECT_EQ(read("a.exe,\"open, never closed\r\nb.exe,c"), (Records{{"a.exe", "open, never closed\r\nb.exe,c"}}));
  EXPECT_EQ(read("a,b\r\n\r\nc"), (Records{{"a", "b"}, {"", "c"}}));
  EXPECT_EQ(read("lonely"), (Records{{"lonely", ""}}));
  EXPECT_EQ(read("\"caf\xE9.exe\",\"/x\""), (Records{{QString::fromUtf8("caf\xC3\xA9.exe"), "/x"}}));

  QString error;
  EXPECT_FALSE(backup::ReadOldFormatRecords(
      path("missing.zkb"), [](const QString&, const QString&) {}, &error));
  EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace zelkar::test
