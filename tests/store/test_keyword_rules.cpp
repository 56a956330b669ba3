#include <QDir>
#include <QFile>

#include "store/Keywords.h"
#include "support/StoreTest.h"

namespace zelkar::test {
namespace {

class KeywordRulesTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    saved_ = QDir::currentPath();
  }
  void TearDown() override {
    QDir::setCurrent(saved_);
    StoreTest::TearDown();
  }
  QString touch(const QString& name) {
    QFile f(path(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    return f.fileName();
  }

 private:
  QString saved_;
};

TEST_F(KeywordRulesTest, KindOfTarget) {
  ASSERT_TRUE(QDir().mkpath(path("My App 1.0")));
  ASSERT_TRUE(QDir().mkpath(path("My App")));
  const QString file = touch("tool.sh");
  const QString hidden = touch(".tool.sh");

  const std::pair<QString, TargetKind> cases[] = {
      {file, TargetKind::File},
      {path("My App 1.0"), TargetKind::Broken},
      {path("My App"), TargetKind::Directory},
      {path("missing.sh"), TargetKind::Broken},
      {path("gone"), TargetKind::Directory},
      {hidden, TargetKind::Broken},
      {"C:\\Program Files\\App\\app.exe", TargetKind::Broken},
      // Addresses hold "/" and dots but are never broken files.
      {"www.example.org/docs/index.html", TargetKind::InternetAddress},
      {"http://example.org/a/b.html", TargetKind::InternetAddress},
      {"https://example.org/a/b.html", TargetKind::InternetAddress},
      // A capitalised prefix is no internet keyword, yet never a broken file for Clean Up to delete.
      {"HTTP://intranet", TargetKind::Directory},
      {"WWW.example.org/x.html", TargetKind::Directory},
      {"Https://example.org/a/b.html", TargetKind::Directory}};
  for (const auto& [target, kind] : cases) EXPECT_EQ(KindOfTarget(target), kind) << target.toStdString();

  // A bare name is never a file of the current folder.
  QDir::setCurrent(dir());
  EXPECT_EQ(KindOfTarget("tool.sh"), TargetKind::Directory);
  EXPECT_EQ(KindOfTarget("notepad.exe"), TargetKind::Directory);
}

TEST(KeywordNameRuleTest, ForbiddenCharactersAreReplacedInOnePass) {
  EXPECT_FALSE(HasForbiddenKeywordChars("my_prog.exe"));
  for (const QChar c : QStringLiteral(" \\/:*?\"<>|")) {
    const QString name = QString("a") + c + "b";
    EXPECT_TRUE(HasForbiddenKeywordChars(name)) << name.toStdString();
    EXPECT_EQ(ReplaceForbiddenKeywordChars(name), "a_b");
  }
  EXPECT_EQ(ReplaceForbiddenKeywordChars("a:b|c"), "a_b_c");
}

TEST(KeywordNameRuleTest, ExeSuffixKeepsTheNamesOwnCase) {
  for (const auto& [name, full] : {std::pair{"notepad", "notepad.exe"},
                                   {"Notepad.EXE", "Notepad.EXE"},
                                   {"tool.Exe", "tool.Exe"},
                                   {"tool.ex", "tool.ex.exe"},
                                   {"exe", "exe.exe"},
                                   {"", ".exe"}})
    EXPECT_EQ(WithExeSuffix(name), full) << name;
}

TEST(KeywordNameRuleTest, MessageListsTheCharactersOnItsSecondLine) {
  EXPECT_EQ(ForbiddenKeywordCharsMessage(),
            "Keywords may not contain any of the following:\r\nSpaces, \\, /, :, *, ?, \", <, >, |");
}

}  // namespace
}  // namespace zelkar::test
