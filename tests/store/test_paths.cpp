#include "store/PathHelpers.h"
#include "store/modRegEdit.h"
#include "support/StoreTest.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

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
  EXPECT_EQ(AddExt(QStringLiteral("notepad.exe")), QStringLiteral("notepad.exe"));
  EXPECT_EQ(AddExt(QStringLiteral("report.final.doc")), QStringLiteral("report.exe"));
  EXPECT_EQ(AddExt(QStringLiteral("readme")), QStringLiteral("readme.exe"));
  EXPECT_EQ(AddExt(QStringLiteral(".profile")), QStringLiteral(".exe"));
  EXPECT_EQ(AddExt(QString()), QStringLiteral(".exe"));
}

TEST_F(PathHelpersTest, FileExistsOnlyForVisibleOrdinaryFiles) {
  const QString file = touch(QStringLiteral("sub/tool.sh"));
  touch(QStringLiteral("sub/.hidden"));
  fifo(QStringLiteral("sub/pipe"));
  ASSERT_TRUE(QFile::link(file, path(QStringLiteral("sub/link"))));
  ASSERT_TRUE(QFile::link(path(QStringLiteral("nowhere")), path(QStringLiteral("sub/dangling"))));

  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(FileExists(path(QStringLiteral("sub/link"))));
  for (const QString& s : {QString(), file + QLatin1Char('/'), file + QLatin1Char('\\'), path(QStringLiteral("sub")),
                           path(QStringLiteral("sub/.hidden")), path(QStringLiteral("sub/pipe")),
                           QStringLiteral("/dev/null"), path(QStringLiteral("sub/dangling"))})
    EXPECT_FALSE(FileExists(s)) << s.toStdString();

  QDir::setCurrent(path(QStringLiteral("sub")));
  EXPECT_TRUE(FileExists(QStringLiteral("tool.sh")));
  EXPECT_FALSE(FileExists(QStringLiteral("Tool.sh")));
}

TEST_F(PathHelpersTest, FileExistsSearchesPatternsInTheirFolder) {
  touch(QStringLiteral("p/report.txt"));
  touch(QStringLiteral("p/.secret.txt"));
  QDir().mkpath(path(QStringLiteral("p/folder.doc")));
  fifo(QStringLiteral("p/fifo.log"));

  EXPECT_TRUE(FileExists(path(QStringLiteral("p/*.txt"))));
  EXPECT_TRUE(FileExists(path(QStringLiteral("p/rep?rt.*"))));
  // Only hidden files, folders, pipes, nothing, or a pattern in the folder part.
  for (const char* s : {"p/.secret*", "p/*.doc", "p/*.log", "p/report?.txt", "missing/*.txt", "*/report.txt"})
    EXPECT_FALSE(FileExists(path(QString::fromLatin1(s)))) << s;
  QDir::setCurrent(path(QStringLiteral("p")));
  EXPECT_TRUE(FileExists(QStringLiteral("*.txt")));
}

TEST_F(PathHelpersTest, FilePropertyOfAFile) {
  const QString file = touch(QStringLiteral("docs/notes.txt"));
  const QString folder = path(QStringLiteral("docs"));
  const QString roundabout = folder + QStringLiteral("/../docs/./notes.txt");
  EXPECT_EQ(FileProperty(roundabout, property::Name), QStringLiteral("notes.txt"));
  EXPECT_EQ(FileProperty(roundabout, property::ShortName), QStringLiteral("notes.txt"));
  EXPECT_EQ(FileProperty(roundabout, property::ParentFolder), folder);
  EXPECT_EQ(FileProperty(roundabout, property::Path), file);
  EXPECT_EQ(FileProperty(roundabout, property::ShortPath), file);
  EXPECT_EQ(FileProperty(roundabout, property::LongPath), file);
  EXPECT_EQ(FileProperty(roundabout, 11), roundabout);
  // A link keeps its own name and place.
  ASSERT_TRUE(QFile::link(file, path(QStringLiteral("alias.txt"))));
  EXPECT_EQ(FileProperty(path(QStringLiteral("alias.txt")), property::Path), path(QStringLiteral("alias.txt")));
  QDir::setCurrent(folder);
  EXPECT_EQ(FileProperty(QStringLiteral("notes.txt"), property::ParentFolder), folder);

  // Anything that is not an existing file passes through unchanged.
  QDir().mkpath(path(QStringLiteral("My App")));
  for (const QString& text : {path(QStringLiteral("My App")), path(QStringLiteral("My App/")), QString(),
                              QStringLiteral("http://example.org/a.txt"), QStringLiteral("www.example.org"),
                              path(QStringLiteral("missing.txt")), file + QLatin1Char('/')})
    for (const std::int16_t kind : {6, 7, 8, 9, 10, 12, 13}) EXPECT_EQ(FileProperty(text, kind), text) << kind;
}

TEST_F(PathHelpersTest, TypeDescriptionFromTheRegisteredFileType) {
  const QString backup = touch(QStringLiteral("keywords.zkb"));
  const QString text = touch(QStringLiteral("readme.txt"));
  // Without the file type, the file's MIME type names it.
  EXPECT_NE(FileProperty(backup, property::Type), QStringLiteral("Zelkar Backup File"));
  EXPECT_NE(FileProperty(backup, property::Type), backup);
  EXPECT_NE(FileProperty(text, property::Type), text);

  modRegEdit::RegWriteValue(QStringLiteral("HKEY_CLASSES_ROOT\\.zkb\\"), QStringLiteral("Zelkar.File"), 0);
  EXPECT_NE(FileProperty(backup, property::Type), QStringLiteral("Zelkar Backup File"));  // class not described
  modRegEdit::RegWriteValue(QStringLiteral("HKEY_CLASSES_ROOT\\Zelkar.File\\"), QStringLiteral("Zelkar Backup File"),
                            0);
  EXPECT_EQ(FileProperty(backup, property::Type), QStringLiteral("Zelkar Backup File"));
  EXPECT_EQ(FileProperty(touch(QStringLiteral("OLD.ZKB")), property::Type), QStringLiteral("Zelkar Backup File"));
}

TEST_F(PathHelpersTest, LongPathAndSpecialFolders) {
  const QString file = touch(QStringLiteral("x/y.txt"));
  EXPECT_EQ(modMain::GetLongPath(path(QStringLiteral("x/../x/y.txt"))), file);
  EXPECT_EQ(modMain::GetLongPath(path(QStringLiteral("x/"))), path(QStringLiteral("x")));
  EXPECT_EQ(modMain::GetLongPath(path(QStringLiteral("x/z.txt"))), QString());
  EXPECT_EQ(modMain::GetLongPath(QString()), QString());
  EXPECT_EQ(modMain::GetSpecialFolder(38), QStringLiteral("/opt"));
  EXPECT_EQ(modMain::GetSpecialFolder(36), QStringLiteral("/usr"));
  EXPECT_EQ(modMain::GetSpecialFolder(37), QStringLiteral("???"));
}

}  // namespace
}  // namespace zelkar::test
