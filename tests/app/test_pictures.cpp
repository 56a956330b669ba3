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

TEST_F(PicturesTest, TheWindowTakesTheThemesIconsWhereItHasThemAndOursElsewhere) {
  UseIconTheme({{"16x16/apps/document-open", Qt::red}, {"16x16/apps/web-browser", Qt::green}});
  frmMain form;
  QImage red(16, 16, QImage::Format_ARGB32), green(red);
  red.fill(Qt::red);
  green.fill(Qt::green);
  EXPECT_EQ(Image(form.cmdBrowse->icon()), red);
  EXPECT_EQ(Image(form.cmdURL->icon()), green);  // the second name, the theme lacking the first
  EXPECT_EQ(Image(form.imlTVW->Picture("fld")), Image(Pictures::Own(Id::Folder)));
  EXPECT_EQ(Image(form.cmdDir->icon()), Image(Pictures::Own(Id::FindFolder)));

  // Ours: drawn at every size, a shape neither empty nor a filled square; the
  // web address's node and button share the globe, all others differ.
  std::set<QByteArray> seen;
  for (const Id id : {Id::FindFile, Id::FindFolder, Id::Internet, Id::Register, Id::RunText, Id::Clear, Id::Folder,
                      Id::Keywords, Id::Broken, Id::Path, Id::Address}) {
    for (const int size : {16, 32}) {
      const QImage image = Image(Pictures::Own(id), size);
      ASSERT_EQ(image.size(), QSize(size, size));
      int drawn = 0;
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) drawn += qAlpha(image.pixel(x, y)) > 128;
      EXPECT_GT(drawn, size * size / 5) << int(id) << " " << size;
      EXPECT_LT(drawn, size * size * 95 / 100) << int(id) << " " << size;
      if (size == 16) seen.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), int(image.sizeInBytes())));
    }
  }
  EXPECT_EQ(seen.size(), 10u);

  // The program's own icon (through a pixmap, as the icon holds it: faint edge
  // pixels round differently once premultiplied).
  for (const int size : {16, 32, 48}) {
    const QImage expected(QStringLiteral(":/zelkar/zelkar-%1.png").arg(size));
    ASSERT_FALSE(expected.isNull()) << size;
    EXPECT_EQ(Image(form.windowIcon(), size), QPixmap::fromImage(expected).toImage().convertToFormat(QImage::Format_ARGB32))
        << size;
  }
}

}  // namespace
}  // namespace zelkar::test
