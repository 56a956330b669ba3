#include "backup/core/BackupFormat.h"
#include "backup/core/modINI.h"
#include "support/BackupTest.h"

namespace zelkar::test {
namespace {

using Records = std::vector<std::pair<QString, QString>>;
using FormatTest = BackupTest;

TEST_F(FormatTest, ProfileNumberRule) {
  const std::vector<std::pair<const char*, std::optional<int>>> cases{
      {"18", 18},        {"", 0},          {"abc", 0},         {"17.5", 18},         {"18.5", 18},
      {"18.51", 19},     {"  -2.5", -2},   {"+7 apples", 7},   {".6", 1},            {"32767", 32767},
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
      {"a,b\r\n\r\nc", {{"a", "b"}, {"", "c"}}},
      {"a,b\rc, d\r", {{"a", "b"}, {"c", "d"}}},
      {"lonely", {{"lonely", ""}}},
      {"\"caf\xE9.exe\",\"/x\"", {{QString::fromUtf8("caf\xC3\xA9.exe"), "/x"}}}};
  QString error;
  for (const auto& [bytes, expected] : cases) {
    Records records;
    EXPECT_TRUE(backup::ReadOldFormatRecords(
        Write("old.zkb", bytes), [&](const QString& k, const QString& t) { records.emplace_back(k, t); }, &error));
    EXPECT_EQ(records, expected) << bytes.toStdString();
  }
  EXPECT_FALSE(backup::ReadOldFormatRecords(path("missing.zkb"), [](const QString&, const QString&) {}, &error));
  EXPECT_FALSE(error.isEmpty());
}

TEST_F(FormatTest, ReformatConvertsInPlaceOrFailsWholeAndLeavesAStrangersTmpAlone) {
  const QString file = Sample("old-format.zkb", "b/old.zkb");
  const QByteArray stranger = "[Keywords]\r\n9=stranger.exe\r\n[Targets]\r\n9=/x\r\n";
  Write("b/tmp", stranger);
  ScriptedDialogs dialogs;
  frmMain form;
  {
    modINI::Batch batch(file);  // an open batch sees the converted file
    form.ReformatZKB(file);
    EXPECT_EQ(modINI::ReadINI("Targets", "3", file), "C:\\a,b\\tool.exe");
  }
  EXPECT_EQ(Bytes(file),
            "[Zelkar]\r\nVersion=18\r\n"
            "[Keywords]\r\n1=notepad.exe\r\n2=calc.exe\r\n3=comma.exe\r\n4=bare.exe\r\n"
            "[Targets]\r\n1=C:\\WINDOWS\\notepad.exe\r\n2=C:\\WINDOWS\\system32\\calc.exe\r\n"
            "3=C:\\a,b\\tool.exe\r\n4=/usr/bin/bare\r\n"
            "[Count]\r\nKeywords=4\r\n");
  EXPECT_EQ(Bytes(path("b/tmp")), stranger);
  EXPECT_EQ(FilesIn("b"), (QStringList{"old.zkb", "tmp"}));

  // Failures show the reason and leave the folders as they were. The longest
  // name a folder allows leaves no room for a work file beside it.
  const QString longName = Write("long/" + QString(251, u'n') + ".zkb", "\"k.exe\",\"/t\"\r\n");
  QDir().mkpath(path("d/dir.zkb"));
  for (const auto& [file, reason] : {std::pair<QString, QString>{path("d/gone.zkb"), "No such file or directory"},
                                     {longName, "File name too long"}, {path("d/dir.zkb"), ""}}) {
    dialogs.expectBox("Error", reason, answer::OK, mb::Critical);  // an empty reason is not compared
    form.ReformatZKB(file);
  }
  EXPECT_EQ(Bytes(longName), "\"k.exe\",\"/t\"\r\n");
  EXPECT_EQ(FilesIn("long").size(), 1);
  EXPECT_EQ(FilesIn("d"), QStringList{"dir.zkb"});
}

}  // namespace
}  // namespace zelkar::test
