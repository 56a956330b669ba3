#include "app/Pictures.h"
#include "app/frmMain.h"
#include "list/TreeView.h"
#include "support/StoreTest.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QToolButton>

#include <set>

namespace zelkar::test {
namespace {

using Pictures::Id;

constexpr Id kAll[] = {Id::FindFile, Id::FindFolder, Id::Internet, Id::Register, Id::RunText, Id::Clear,
                       Id::Folder,   Id::Keywords,   Id::Broken,   Id::Path,     Id::Address};

QImage Image(const QIcon& icon, int size = 16) {
  return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The desktop's icon theme for one test: a theme of our own that has only a
// few icons, or none at all.
class PicturesTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    savedPaths_ = QIcon::themeSearchPaths();
    savedFallbackPaths_ = QIcon::fallbackSearchPaths();
    savedName_ = QIcon::themeName();
    savedFallback_ = QIcon::fallbackThemeName();
  }
  void TearDown() override {
    QIcon::setThemeSearchPaths(savedPaths_);
    QIcon::setFallbackSearchPaths(savedFallbackPaths_);
    QIcon::setThemeName(savedName_);
    QIcon::setFallbackThemeName(savedFallback_);
    StoreTest::TearDown();
  }
  // A theme that holds `icons` (name -> colour), each a plain square.
  void UseTheme(const std::vector<std::pair<QString, QColor>>& icons) {
    const QString root = path(QStringLiteral("icons/TestTheme"));
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/16x16/apps")));
    QFile index(root + QStringLiteral("/index.theme"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=TestTheme\nDirectories=16x16/apps\n\n[16x16/apps]\nSize=16\nType=Fixed\n");
    index.close();
    for (const auto& [name, colour] : icons) {
      QImage square(16, 16, QImage::Format_ARGB32);
      square.fill(colour);
      ASSERT_TRUE(square.save(root + QStringLiteral("/16x16/apps/") + name + QStringLiteral(".png")));
    }
    QIcon::setThemeSearchPaths({path(QStringLiteral("icons"))});
    QIcon::setFallbackSearchPaths({});
    QIcon::setThemeName(QStringLiteral("TestTheme"));
    QIcon::setFallbackThemeName(QStringLiteral("TestTheme"));
  }

 private:
  QStringList savedPaths_, savedFallbackPaths_;
  QString savedName_, savedFallback_;
};

TEST_F(PicturesTest, OurOwnPicturesAreDrawnAtEverySizeAndTellApart) {
  std::set<QByteArray> seen;
  for (const Id id : kAll) {
    const QIcon icon = Pictures::Own(id);
    for (const int size : {16, 24, 32}) {
      EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << int(id) << " " << size;
      const QImage image = Image(icon, size);
      ASSERT_EQ(image.size(), QSize(size, size));
      int drawn = 0;
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) drawn += qAlpha(image.pixel(x, y)) > 128;
      // A shape, neither empty nor a filled square.
      EXPECT_GT(drawn, size * size / 5) << int(id) << " " << size;
      EXPECT_LT(drawn, size * size * 95 / 100) << int(id) << " " << size;
    }
    const QImage small = Image(icon);
    seen.insert(QByteArray(reinterpret_cast<const char*>(small.constBits()), int(small.sizeInBytes())));
  }
  // The web address's node and button share the globe; all others differ.
  EXPECT_EQ(seen.size(), std::size(kAll) - 1);
}

TEST_F(PicturesTest, TheWindowTakesTheThemesIconsWhereItHasThemAndOursElsewhere) {
  UseTheme({{QStringLiteral("document-open"), Qt::red},
            {QStringLiteral("web-browser"), Qt::green},
            {QStringLiteral("folder"), Qt::blue}});
  frmMain form;
  QImage red(16, 16, QImage::Format_ARGB32);
  red.fill(Qt::red);
  EXPECT_EQ(Image(form.cmdBrowse->icon()), red);
  // The second name is taken when the theme lacks the first.
  QImage green(16, 16, QImage::Format_ARGB32);
  green.fill(Qt::green);
  EXPECT_EQ(Image(form.cmdURL->icon()), green);
  QImage blue(16, 16, QImage::Format_ARGB32);
  blue.fill(Qt::blue);
  EXPECT_EQ(Image(form.imlTVW->Picture(QStringLiteral("fld"))), blue);

  EXPECT_EQ(Image(form.cmdDir->icon()), Image(Pictures::Own(Id::FindFolder)));
  EXPECT_EQ(Image(form.cmdSave->icon()), Image(Pictures::Own(Id::Register)));
  EXPECT_EQ(Image(form.cmdRunTxt->icon()), Image(Pictures::Own(Id::RunText)));
  EXPECT_EQ(Image(form.cmdClear->icon()), Image(Pictures::Own(Id::Clear)));
  EXPECT_EQ(Image(form.imlTVW->Picture(QStringLiteral("key"))), Image(Pictures::Own(Id::Keywords)));
  EXPECT_EQ(Image(form.imlTVW->Picture(QStringLiteral("uk"))), Image(Pictures::Own(Id::Broken)));
  EXPECT_EQ(Image(form.imlTVW->Picture(QStringLiteral("path"))), Image(Pictures::Own(Id::Path)));
  EXPECT_EQ(Image(form.imlTVW->Picture(QStringLiteral("url"))), Image(Pictures::Own(Id::Address)));
}

TEST_F(PicturesTest, TheWindowCarriesTheProgramsOwnIcon) {
  UseTheme({});
  frmMain form;
  for (const int size : {16, 32, 48}) {
    const QImage expected(QStringLiteral(":/zelkar/zelkar-%1.png").arg(size));
    ASSERT_FALSE(expected.isNull()) << size;
    // Through a pixmap, as the icon holds it: faint edge pixels round differently
    // once premultiplied.
    const QImage held = QPixmap::fromImage(expected).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(Image(form.windowIcon(), size), held) << size;
  }
}

}  // namespace
}  // namespace zelkar::test
