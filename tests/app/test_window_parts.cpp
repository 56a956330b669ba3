// Parts of the window: its pictures, its boxes and file filters, and the
// load's cleaning of the targets it reads.
#include "app/Pictures.h"
#include "app/QtDialogs.h"
#include "app/frmMain.h"
#include "support/ScriptedDialogs.h"
#include "support/WindowTest.h"

#include <QImage>
#include <QPixmap>

#include <set>
#include <tuple>

namespace zelkar::test {
namespace {

using Pictures::Id;
using WindowPartsTest = WindowTest;

QImage Image(const QIcon& icon, int size = 16) {
  return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST_F(WindowPartsTest, TheWindowTakesTheThemesIconsWhereItHasThemAndOursElsewhere) {
  UseIconTheme({{"16x16/apps/document-open", Qt::red}, {"16x16/apps/web-browser", Qt::green}});
  frmMain form;
  QImage red(16, 16, QImage::Format_ARGB32), green(red);
  red.fill(Qt::red);
  green.fill(Qt::green);
  EXPECT_EQ(Image(form.cmdBrowse->icon()), red);
  EXPECT_EQ(Image(form.cmdURL->icon()), green);  // the second name, the theme lacking the first
  EXPECT_EQ(Image(form.imlTVW->Picture("fld")), Image(Pictures::Own(Id::Folder)));

  // Ours tell apart: the web address's node and button share the globe, all others differ.
  std::set<QByteArray> seen;
  for (const Id id : {Id::FindFile, Id::FindFolder, Id::Internet, Id::Register, Id::RunText, Id::Clear, Id::Folder,
                      Id::Keywords, Id::Broken, Id::Path, Id::Address}) {
    const QImage image = Image(Pictures::Own(id));
    seen.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), int(image.sizeInBytes())));
  }
  EXPECT_EQ(seen.size(), 10u);

  // The program's own icon (through a pixmap, as the icon holds it: faint edge
  // pixels round differently once premultiplied).
  for (const int size : {16, 32, 48}) {
    const QImage expected(QStringLiteral(":/zelkar/zelkar-%1.png").arg(size));
    ASSERT_FALSE(expected.isNull()) << size;
    const QImage held = QPixmap::fromImage(expected).toImage();
    EXPECT_EQ(Image(form.windowIcon(), size), held.convertToFormat(QImage::Format_ARGB32)) << size;
  }
}

TEST(QtDialogsTest, BoxStylesAnswersAndFileFilters) {
  constexpr auto Cancel = QMessageBox::Cancel, No = QMessageBox::No, Ok = QMessageBox::Ok, Yes = QMessageBox::Yes;
  const struct {
    int style;
    QMessageBox::Icon icon;
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton, escapeButton;
  } rows[] = {{308, QMessageBox::Warning, {Yes, No}, No, No},  // No as default; Esc says No
              {51, QMessageBox::Warning, {Yes, No, Cancel}, Yes, Cancel},
              {20, QMessageBox::Critical, {Yes, No}, Yes, No},
              {64, QMessageBox::Information, {Ok}, Ok, Ok},
              {512 + 4, QMessageBox::NoIcon, {Yes, No}, Yes, No}};  // no third button to default to
  for (const auto& r : rows) {
    const BoxLayout box = LayoutForStyle(r.style);
    EXPECT_EQ(std::tie(box.icon, box.buttons, box.defaultButton, box.escapeButton),
              std::tie(r.icon, r.buttons, r.defaultButton, r.escapeButton)) << r.style;
  }
  for (const auto& [button, answer] : {std::pair{Ok, 1}, {Cancel, 2}, {Yes, 6}, {No, 7}})
    EXPECT_EQ(AnswerForButton(button), answer);

  EXPECT_EQ(QtFilter("Zelkar Backup Files (*.zkb)|*.zkb"), "Zelkar Backup Files (*.zkb)");
  // "*.*" covers names without a dot too.
  EXPECT_EQ(QtFilter("Programs|*.exe;*.sh|All Files (*.*)|*.*"), "Programs (*.exe *.sh);;All Files (*)");
  EXPECT_EQ(QtFilter("Old (*.txt)|*.zkb"), "Old (*.zkb)");
}

// The load's cleaning of a target it read, in the cases the tree's own tests
// leave out, and never over what another program wrote since.
TEST_F(WindowPartsTest, TheLoadsCleaningWritesBackOnlyOverWhatItRead) {
  ScriptedDialogs dialogs;
  frmMain form;
  const QString kw = QStringLiteral("q.exe");
  const struct {
    bool quotes;  // ClearQuotes, else FixVarPath
    QString stored, after;
  } rows[] = {{true, "\"/opt/app", "/opt/app"},
              {true, "\"\"/opt/app\"\"", "\"/opt/app\""},
              {true, "\"", ""},
              {false, "%systemroot%\\notepad.exe", "/usr\\notepad.exe"},
              {false, "x%systemroot%\\notepad.exe", "x%systemroot%\\notepad.exe"},
              {false, "%systemroot", "%systemroot"}};
  for (const auto& r : rows) {
    Put(kw, r.stored);
    if (r.quotes)
      EXPECT_EQ(form.ClearQuotes(kw, r.stored), r.after);
    else
      EXPECT_EQ(form.FixVarPath(kw, r.stored), r.after != r.stored);
    EXPECT_EQ(TargetOf(kw), r.after) << r.stored.toStdString();
  }
  Put(kw, "/changed");
  EXPECT_EQ(form.ClearQuotes(kw, "\"/read\""), "/read");
  EXPECT_EQ(TargetOf(kw), "/changed");
  EXPECT_EQ(form.ClearQuotes("gone.exe", "\"/read\""), "/read");
  EXPECT_TRUE(form.FixVarPath("gone.exe", "%systemroot%\\x"));
  EXPECT_FALSE(Has("gone.exe"));
}

}  // namespace
}  // namespace zelkar::test
