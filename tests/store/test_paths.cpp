// Keyword names, and the paths and files that keywords point at.
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

 private:
  QString saved_ = QDir::currentPath();
};

TEST(KeywordNameTest, ExtensionsSuffixesAndForbiddenCharacters) {
  // An extension is a dot after the last separator of either kind.
  for (const char* s : {"file.txt", "/home/u/dir/", "/home/u.old/file", "C:\\x.y/file"}) EXPECT_FALSE(HasExt(s)) << s;
  for (const char* s : {"/home/u/file.txt", "C:\\dir\\file.txt", "/x/y\\file.z"}) EXPECT_TRUE(HasExt(s)) << s;
  for (const auto& [name, keyword] : {std::pair{"report.final.doc", "report.exe"}, {"readme", "readme.exe"}, {".profile", ".exe"}})
    EXPECT_EQ(AddExt(name), keyword) << name;
  for (const auto& [name, full] : {std::pair{"notepad", "notepad.exe"}, {"Notepad.EXE", "Notepad.EXE"}, {"tool.ex", "tool.ex.exe"}})
    EXPECT_EQ(WithExeSuffix(name), full) << name;
  EXPECT_FALSE(HasForbiddenKeywordChars("my_prog.exe"));
  for (const QChar c : QStringLiteral(" \\/:*?\"<>|")) {
    const QString name = QString("ab") + c;
    EXPECT_TRUE(HasForbiddenKeywordChars(name)) << name.toStdString();
    EXPECT_EQ(ReplaceForbiddenKeywordChars(name), "ab_");
  }
  EXPECT_EQ(ReplaceForbiddenKeywordChars("a:b|c"), "a_b_c");
}

TEST_F(PathHelpersTest, FileExistsOnlyForVisibleOrdinaryFilesAndPatternsOfThem) {
  const QString file = touch("p/report.txt");
  touch("p/.secret.txt");
  QDir().mkpath(path("p/folder.doc"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(path("p/fifo.log")).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link(file, path("p/link")));
  ASSERT_TRUE(QFile::link(path("nowhere"), path("p/dangling")));
  for (const char* s : {"p/report.txt", "p/link", "p/*.txt", "p/rep?rt.*", "p/report.txt**"})
    EXPECT_TRUE(FileExists(path(s))) << s;
  for (const char* s : {"p/report.txt/", "p/report.txt\\", "p", "p/.secret.txt", "p/fifo.log", "p/dangling", "p/.secret*",
                        "p/*.doc", "p/*.log", "p/report?.txt", "missing/*.txt", "*/report.txt"})
    EXPECT_FALSE(FileExists(path(s))) << s;
  EXPECT_FALSE(FileExists(QString()));
  EXPECT_FALSE(FileExists("/dev/null"));
  QDir::setCurrent(path("p"));
  EXPECT_TRUE(FileExists("*.txt"));
  EXPECT_FALSE(FileExists("Report.txt"));
}

TEST_F(PathHelpersTest, FilePropertiesAndKindsOfTarget) {
  const QString file = touch("docs/notes.txt");
  const QString roundabout = path("docs/../docs/./notes.txt");
  EXPECT_EQ(FileProperty(roundabout, property::ParentFolder), path("docs"));
  EXPECT_EQ(FileProperty(roundabout, property::ShortPath), file);
  EXPECT_EQ(modMain::GetLongPath(path("docs/")), path("docs"));
  ASSERT_TRUE(QFile::link(file, path("alias.txt")));
  EXPECT_EQ(FileProperty(path("alias.txt"), property::Path), path("alias.txt"));  // a link keeps its own place
  // Anything that is not an existing file passes through unchanged.
  for (const QString& text : QStringList{path("docs"), QString(), "http://example.org/a.txt", file + '/'})
    for (const std::int16_t kind : {6, 7, 8, 9, 10, 12, 13}) EXPECT_EQ(FileProperty(text, kind), text) << kind;
  // The type is the registered file type's description, else the MIME type's.
  modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\.zkb\\", "Zelkar.File", 0);
  modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\Zelkar.File\\", "Zelkar Backup File", 0);
  EXPECT_EQ(FileProperty(touch("OLD.ZKB"), property::Type), "Zelkar Backup File");
  EXPECT_NE(FileProperty(touch(".zkb"), property::Type), "Zelkar Backup File");  // a hidden name, no extension

  ASSERT_TRUE(QDir().mkpath(path("My App 1.0")) && QDir().mkpath(path("My App")));
  const std::pair<QString, TargetKind> kinds[] = {
      {file, TargetKind::File},
      {path("My App 1.0"), TargetKind::Broken},
      {path("My App"), TargetKind::Directory},
      {path("missing.sh"), TargetKind::Broken},
      {touch(".tool.sh"), TargetKind::Broken},
      {"https://example.org/a/b.html", TargetKind::InternetAddress},
      // A capitalised prefix is no internet keyword, yet never a broken file for Clean Up to delete.
      {"WWW.example.org/x.html", TargetKind::Directory}};
  for (const auto& [target, kind] : kinds) EXPECT_EQ(KindOfTarget(target), kind) << target.toStdString();
}

}  // namespace
}  // namespace zelkar::test
