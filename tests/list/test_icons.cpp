#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QStyle>

#include "ListTest.h"
#include "list/modICO.h"

namespace zelkar::test {
namespace {

// An icon theme of the test's own: a few plain-coloured pictures.
class IconTest : public ListTest {
 protected:
  void SetUp() override {
    ListTest::SetUp();
    savedTheme_ = QIcon::themeName();
    savedPaths_ = QIcon::themeSearchPaths();
    const QString root = path("icons/zelkartest");
    QDir().mkpath(root + "/16x16/mimetypes");
    QDir().mkpath(root + "/16x16/apps");
    QFile index(root + "/index.theme");
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write(
        "[Icon Theme]\nName=zelkartest\nDirectories=16x16/mimetypes,16x16/apps\n\n"
        "[16x16/mimetypes]\nSize=16\nContext=MimeTypes\nType=Fixed\n\n"
        "[16x16/apps]\nSize=16\nContext=Applications\nType=Fixed\n");
    index.close();
    Picture(root + "/16x16/mimetypes/text-plain.png", Qt::red);
    Picture(root + "/16x16/mimetypes/application-x-executable.png", Qt::green);
    Picture(root + "/16x16/apps/myprog.png", Qt::blue);
    QIcon::setThemeSearchPaths({path("icons")});
    QIcon::setThemeName("zelkartest");
  }
  void TearDown() override {
    QIcon::setThemeSearchPaths(savedPaths_);
    QIcon::setThemeName(savedTheme_);
    ListTest::TearDown();
  }
  static void Picture(const QString& file, Qt::GlobalColor colour) {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(file));
  }
  QString Program(const QString& name) {
    const QString file = MakeFile(name, "#!/bin/sh\nexit 0\n");
    QFile::setPermissions(file, QFile::permissions(file) | QFileDevice::ExeOwner);
    return file;
  }
  static QColor Centre(const ImageList& images, const QString& key) {
    return images.Picture(key).pixmap(16, 16).toImage().pixelColor(8, 8);
  }

 private:
  QString savedTheme_;
  QStringList savedPaths_;
};

TEST_F(IconTest, ProgramsShowTheirOwnIconDocumentsTheirTypes) {
  ImageList images;
  modICO::AddFileIcon(images, MakeFile("readme.txt"), "tmp0");
  modICO::AddFileIcon(images, Program("myprog"), "tmp1");
  modICO::AddFileIcon(images, Program("otherprog"), "tmp2");
  modICO::AddFileIcon(images, MakeFile("blob.bin7", QByteArray("\x00\x01\x02\xff", 4)), "tmp3");
  modICO::AddFileIcon(images, MakeFile("other.txt"), "tmp4");
  ASSERT_EQ(images.Count(), 5);
  EXPECT_EQ(Centre(images, "tmp0"), QColor(Qt::red));
  EXPECT_EQ(Centre(images, "tmp1"), QColor(Qt::blue));
  EXPECT_EQ(Centre(images, "tmp2"), QColor(Qt::green));
  EXPECT_EQ(Centre(images, "tmp4"), QColor(Qt::red));
  // Nothing in the theme: the style's file picture.
  const QImage fallback = QApplication::style()
                              ->standardIcon(QStyle::SP_FileIcon)
                              .pixmap(16, 16)
                              .toImage()
                              .convertToFormat(QImage::Format_ARGB32);
  EXPECT_EQ(images.Picture("tmp3").pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32), fallback);
  for (int i = 1; i <= images.Count(); ++i)
    EXPECT_EQ(images.Picture(images.Key(i)).availableSizes().value(0), QSize(16, 16));

  // A key in use gets nothing more.
  modICO::AddFileIcon(images, MakeFile("third.txt"), "tmp1");
  EXPECT_EQ(images.Count(), 5);
  EXPECT_EQ(Centre(images, "tmp1"), QColor(Qt::blue));
}

TEST_F(IconTest, EveryFileKeywordHasItsOwnImageAcrossReloads) {
  const QString doc = MakeFile("same.txt");
  Put("one.exe", doc);
  Put("two.exe", doc);
  Put("web.exe", "http://example.org");
  Put("prog.exe", Program("myprog"));
  auto f = Window();
  ASSERT_EQ(Images(*f), (QStringList{"key", "tmp0", "path", "tmp1", "path", "tmp2", "path", "url", "path"}));
  EXPECT_EQ(Centre(*f->imlTVW, "tmp0"), QColor(Qt::red));
  EXPECT_EQ(Centre(*f->imlTVW, "tmp2"), QColor(Qt::red));
  EXPECT_EQ(Centre(*f->imlTVW, "tmp1"), QColor(Qt::blue));
  for (int n = 0; n < 3; ++n) f->LoadTVW(false);
  EXPECT_EQ(TmpImages(*f), 3);
  EXPECT_EQ(f->imlTVW->Count(), 8);
  // The fixed images are still there, in their order.
  EXPECT_EQ(f->imlTVW->Key(1), "fld");
  EXPECT_EQ(f->imlTVW->Key(5), "url");
}

}  // namespace
}  // namespace zelkar::test
