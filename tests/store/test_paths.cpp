#include <sys/stat.h>

#include <QDir>
#include <QFile>

#include "store/Keywords.h"
#include "store/PathHelpers.h"
#include "store/modRegEdit.h"
#include "support/StoreTest.h"

namespace zelkar::test {
namespace {

using modMain::FileProperty;
namespace property = modMain::property;

class PathHelpersTest : public StoreTest {
 protected:
  void TearDown() override {
    QDir::setCurrent(saved_);
    StoreTest::TearDown();
  }
  QString touch(const QString& name) {
    QDir().mkpath(QFileInfo(path(name)).absolutePath());
    QFile f(path(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    return f.fileName();
  }
  void fifo(const QString& name) { ASSERT_EQ(::mkfifo(QFile::encodeName(path(name)).constData(), 0600), 0); }

 private:
  QString saved_ = QDir::currentPath();
};

TEST(HasExtTest, LooksForADotAfterTheLastSeparator) {
  for (const char* s : {"", "file.txt", "/home/u/dir/", "C:\\dir\\", "/home/u.old/file", "C:\\a.b\\c", "C:\\x.y/file"})
    EXPECT_FALSE(HasExt(QString::fromLatin1(s))) << s;
  for (const char* s : {"/home/u/file.txt", "C:\\dir\\file.txt", "/home/u/My App 1.0", "/x/y\\file.z"})
    EXPECT_TRUE(HasExt(QString::fromLatin1(s))) << s;
}

TEST(AddExtTest, CutsAtTheFirstDot) {
  for (const auto& [name, keyword] : {std::pair{"notepad.exe", "notepad.exe"},
                                      {"report.final.doc", "report.exe"},
                                      {"readme", "readme.exe"},
                                      {".profile", ".exe"},
                                      {"", ".exe"}})
    EXPECT_EQ(AddExt(name), keyword) << name;
}

TEST_F(PathHelpersTest, FileExistsOnlyForVisibleOrdinaryFiles) {
  const QString file = touch("sub/tool.sh");
  touch("sub/.hidden");
  fifo("sub/pipe");
  ASSERT_TRUE(QFile::link(file, path("sub/link")));
  ASSERT_TRUE(QFile::link(path("nowhere"), path("sub/dangling")));

  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(FileExists(path("sub/link")));
  for (const QString& s : QStringList{QString(), file + QLatin1Char('/'), file + QLatin1Char('\\'), path("sub"),
                                      path("sub/.hidden"), path("sub/pipe"), "/dev/null", path("sub/dangling")})
    EXPECT_FALSE(FileExists(s)) << s.toStdString();

  QDir::setCurrent(path("sub"));
  EXPECT_TRUE(FileExists("tool.sh"));
  EXPECT_FALSE(FileExists("Tool.sh"));
}

TEST_F(PathHelpersTest, FileExistsSearchesPatternsInTheirFolder) {
  touch("p/report.txt");
  touch("p/.secret.txt");
  QDir().mkpath(path("p/folder.doc"));
  fifo("p/fifo.log");

  EXPECT_TRUE(FileExists(path("p/*.txt")));
  EXPECT_TRUE(FileExists(path("p/rep?rt.*")));
  EXPECT_TRUE(FileExists(path("p/report.txt**")));
  // Only hidden files, folders, pipes, nothing, or a pattern in the folder part.
  for (const char* s : {"p/.secret*", "p/*.doc", "p/*.log", "p/report?.txt", "missing/*.txt", "*/report.txt"})
    EXPECT_FALSE(FileExists(path(QString::fromLatin1(s)))) << s;
  QDir::setCurrent(path("p"));
  EXPECT_TRUE(FileExists("*.txt"));
}

TEST_F(PathHelpersTest, FilePropertyOfAFile) {
  const QString file = touch("docs/notes.txt");
  const QString folder = path("docs");
  const QString roundabout = folder + "/../docs/./notes.txt";
  EXPECT_EQ(FileProperty(roundabout, property::Name), "notes.txt");
  EXPECT_EQ(FileProperty(roundabout, property::ShortName), "notes.txt");
  EXPECT_EQ(FileProperty(roundabout, property::ParentFolder), folder);
  EXPECT_EQ(FileProperty(roundabout, property::Path), file);
  EXPECT_EQ(FileProperty(roundabout, property::ShortPath), file);
  EXPECT_EQ(FileProperty(roundabout, property::LongPath), file);
  EXPECT_EQ(FileProperty(roundabout, 11), roundabout);
  // A link keeps its own name and place.
  ASSERT_TRUE(QFile::link(file, path("alias.txt")));
  EXPECT_EQ(FileProperty(path("alias.txt"), property::Path), path("alias.txt"));
  QDir::setCurrent(folder);
  EXPECT_EQ(FileProperty("notes.txt", property::ParentFolder), folder);

  // Anything that is not an existing file passes through unchanged.
  QDir().mkpath(path("My App"));
  for (const QString& text : QStringList{path("My App"), path("My App/"), QString(), "http://example.org/a.txt",
                                         "www.example.org", path("missing.txt"), file + QLatin1Char('/')})
    for (const std::int16_t kind : {6, 7, 8, 9, 10, 12, 13}) EXPECT_EQ(FileProperty(text, kind), text) << kind;
}

TEST_F(PathHelpersTest, TypeDescriptionFromTheRegisteredFileType) {
  const QString backup = touch("keywords.zkb");
  const QString text = touch("readme.txt");
  // Without the file type, the file's MIME type names it.
  EXPECT_NE(FileProperty(backup, property::Type), "Zelkar Backup File");
  EXPECT_NE(FileProperty(backup, property::Type), backup);
  EXPECT_NE(FileProperty(text, property::Type), text);

  modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\.zkb\\", "Zelkar.File", 0);
  EXPECT_NE(FileProperty(backup, property::Type), "Zelkar Backup File");  // class not described
  modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\Zelkar.File\\", "Zelkar Backup File", 0);
  EXPECT_EQ(FileProperty(backup, property::Type), "Zelkar Backup File");
  EXPECT_EQ(FileProperty(touch("OLD.ZKB"), property::Type), "Zelkar Backup File");
  EXPECT_NE(FileProperty(touch(".zkb"), property::Type), "Zelkar Backup File");  // a hidden name, no extension
}

TEST_F(PathHelpersTest, LongPathAndSpecialFolders) {
  const QString file = touch("x/y.txt");
  EXPECT_EQ(modMain::GetLongPath(path("x/../x/y.txt")), file);
  EXPECT_EQ(modMain::GetLongPath(path("x/")), path("x"));
  EXPECT_EQ(modMain::GetLongPath(path("x/z.txt")), QString());
  EXPECT_EQ(modMain::GetLongPath(QString()), QString());
  EXPECT_EQ(modMain::GetSpecialFolder(38), "/opt");
  EXPECT_EQ(modMain::GetSpecialFolder(36), "/usr");
  EXPECT_EQ(modMain::GetSpecialFolder(37), "???");
}

TEST_F(PathHelpersTest, KindOfTarget) {
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

}  // namespace
}  // namespace zelkar::test
