// The window's pictures: the desktop's icon theme where it has them, ours elsewhere.
#include "app/Pictures.h"
#include "app/frmMain.h"
#include "list/TreeView.h"
#include "support/WindowTest.h"

#include <QImage>
#include <QPixmap>

#include <set>

namespace zelkar::test {
namespace {

using Pictures::Id;
using PicturesTest = WindowTest;

QImage Image(const QIcon& icon, int size = 16) {
  return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST_F(PicturesTest, OurOwnPicturesAreDrawnAtEverySizeAndTellApart) {
  const Id all[] = {Id::FindFile, Id::FindFolder, Id::Internet, Id::Register, Id::RunText, Id::Clear,
                    Id::Folder,   Id::Keywords,   Id::Broken,   Id::Path,     Id::Address};
  std::set<QByteArray> seen;
  for (const Id id : all) {
    for (const int size : {16, 32}) {
      const QImage image = Image(Pictures::Own(id), size);
      ASSERT_EQ(image.size(), QSize(size, size));
      int drawn = 0;
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) drawn += qAlpha(image.pixel(x, y)) > 128;
      // A shape, neither empty nor a filled square.
      EXPECT_GT(drawn, size * size / 5) << int(id) << " " << size;
      EXPECT_LT(drawn, size * size * 95 / 100) << int(id) << " " << size;
    }
    const QImage small = Image(Pictures::Own(id));
    seen.insert(QByteArray(reinterpret_cast<const char*>(small.constBits()), int(small.sizeInBytes())));
  }
  // The web address's node and button share the globe; all others differ.
  EXPECT_EQ(seen.size(), std::size(all) - 1);
}

TEST_F(PicturesTest, TheWindowTakesTheThemesIconsWhereItHasThemAndOursElsewhere) {
  UseIconTheme({{"16x16/apps/document-open", Qt::red}, {"16x16/apps/web-browser", Qt::green},
                {"16x16/apps/folder", Qt::blue}});
  frmMain form;
  const auto square = [](const QColor& colour) {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
  };
  const struct {
    const char* row;
    QIcon shown;
    QImage expected;
  } rows[] = {{"browse", form.cmdBrowse->icon(), square(Qt::red)},
              {"address: the second name", form.cmdURL->icon(), square(Qt::green)},
              {"folder node", form.imlTVW->Picture("fld"), square(Qt::blue)},
              {"find folder", form.cmdDir->icon(), Image(Pictures::Own(Id::FindFolder))},
              {"register", form.cmdSave->icon(), Image(Pictures::Own(Id::Register))},
              {"run text", form.cmdRunTxt->icon(), Image(Pictures::Own(Id::RunText))},
              {"clear", form.cmdClear->icon(), Image(Pictures::Own(Id::Clear))},
              {"root node", form.imlTVW->Picture("key"), Image(Pictures::Own(Id::Keywords))},
              {"broken node", form.imlTVW->Picture("uk"), Image(Pictures::Own(Id::Broken))},
              {"path node", form.imlTVW->Picture("path"), Image(Pictures::Own(Id::Path))},
              {"address node", form.imlTVW->Picture("url"), Image(Pictures::Own(Id::Address))}};
  for (const auto& r : rows) EXPECT_EQ(Image(r.shown), r.expected) << r.row;

  // The program's own icon, at each size it is drawn at (through a pixmap, as
  // the icon holds it: faint edge pixels round differently once premultiplied).
  for (const int size : {16, 32, 48}) {
    const QImage expected(QStringLiteral(":/zelkar/zelkar-%1.png").arg(size));
    ASSERT_FALSE(expected.isNull()) << size;
    const QImage held = QPixmap::fromImage(expected).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(Image(form.windowIcon(), size), held) << size;
  }
}

}  // namespace
}  // namespace zelkar::test
