#include "store/Keywords.h"
#include "support/StoreTest.h"

#include <QDir>
#include <QFile>

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
  ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("My App 1.0"))));
  ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("My App"))));
  const QString file = touch(QStringLiteral("tool.sh"));
  const QString hidden = touch(QStringLiteral(".tool.sh"));

  EXPECT_EQ(KindOfTarget(file), TargetKind::File);
  EXPECT_EQ(KindOfTarget(path(QStringLiteral("My App 1.0"))), TargetKind::Broken);
  EXPECT_EQ(KindOfTarget(path(QStringLiteral("My App"))), TargetKind::Directory);
  EXPECT_EQ(KindOfTarget(path(QStringLiteral("missing.sh"))), TargetKind::Broken);
  EXPECT_EQ(KindOfTarget(path(QStringLiteral("gone"))), TargetKind::Directory);
  EXPECT_EQ(KindOfTarget(hidden), TargetKind::Broken);
  EXPECT_EQ(KindOfTarget(QStringLiteral("C:\\Program Files\\App\\app.exe")), TargetKind::Broken);

  // Addresses hold "/" and dots but are never broken files.
  EXPECT_EQ(KindOfTarget(QStringLiteral("www.example.org/docs/index.html")), TargetKind::InternetAddress);
  EXPECT_EQ(KindOfTarget(QStringLiteral("http://example.org/a/b.html")), TargetKind::InternetAddress);
  EXPECT_EQ(KindOfTarget(QStringLiteral("https://example.org/a/b.html")), TargetKind::InternetAddress);
  // A capitalised prefix is no internet keyword, yet never a broken file that
  // Clean Up would delete.
  EXPECT_EQ(KindOfTarget(QStringLiteral("HTTP://intranet")), TargetKind::Directory);
  EXPECT_EQ(KindOfTarget(QStringLiteral("WWW.example.org/x.html")), TargetKind::Directory);
  EXPECT_EQ(KindOfTarget(QStringLiteral("Https://example.org/a/b.html")), TargetKind::Directory);

  // A bare name is a file only when it is in the current folder.
  EXPECT_EQ(KindOfTarget(QStringLiteral("tool.sh")), TargetKind::Directory);
  QDir::setCurrent(dir());
  EXPECT_EQ(KindOfTarget(QStringLiteral("tool.sh")), TargetKind::File);
  EXPECT_EQ(KindOfTarget(QStringLiteral("notepad.exe")), TargetKind::Directory);
}

TEST(KeywordNameRuleTest, ForbiddenCharactersAreReplacedInOnePass) {
  EXPECT_FALSE(HasForbiddenKeywordChars(QStringLiteral("my_prog.exe")));
  for (const QChar c : QStringLiteral(" \\/:*?\"<>|")) {
    const QString name = QStringLiteral("a") + c + QStringLiteral("b");
    EXPECT_TRUE(HasForbiddenKeywordChars(name)) << name.toStdString();
    EXPECT_EQ(ReplaceForbiddenKeywordChars(name), QStringLiteral("a_b"));
  }
  EXPECT_EQ(ReplaceForbiddenKeywordChars(QStringLiteral("my prog")), QStringLiteral("my_prog"));
  EXPECT_EQ(ReplaceForbiddenKeywordChars(QStringLiteral("a:b|c")), QStringLiteral("a_b_c"));
}

TEST(KeywordNameRuleTest, ExeSuffixKeepsTheNamesOwnCase) {
  EXPECT_EQ(WithExeSuffix(QStringLiteral("notepad")), QStringLiteral("notepad.exe"));
  EXPECT_EQ(WithExeSuffix(QStringLiteral("Notepad.EXE")), QStringLiteral("Notepad.EXE"));
  EXPECT_EQ(WithExeSuffix(QStringLiteral("tool.Exe")), QStringLiteral("tool.Exe"));
  EXPECT_EQ(WithExeSuffix(QStringLiteral("tool.ex")), QStringLiteral("tool.ex.exe"));
  EXPECT_EQ(WithExeSuffix(QStringLiteral("ab")), QStringLiteral("ab.exe"));
  EXPECT_EQ(WithExeSuffix(QStringLiteral("exe")), QStringLiteral("exe.exe"));
  EXPECT_EQ(WithExeSuffix(QString()), QStringLiteral(".exe"));
}

TEST(KeywordNameRuleTest, MessageListsTheCharactersOnItsSecondLine) {
  EXPECT_EQ(ForbiddenKeywordCharsMessage(),
            QStringLiteral("Keywords may not contain any of the following:\r\nSpaces, \\, /, :, *, ?, \", <, >, |"));
}

}  // namespace
}  // namespace zelkar::test
