// Parts of the window: its pictures, its boxes and file dialogs, and the
// load's cleaning of the targets it reads.
#include "app/Pictures.h"
#include "app/QtDialogs.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QTimer>
#include <QPixmap>

#include <algorithm>
#include <functional>
#include <tuple>

namespace zelkar::test {
namespace {

using WindowPartsTest = WindowTest;

QImage Image(const QIcon& icon, int size = 16) {
  return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST_F(WindowPartsTest, TheWindowTakesTheThemesIconsWhereItHasThemAndOursElsewhere) {
  UseIconTheme({{"16x16/apps/document-open", Qt::red}, {"16x16/apps/web-browser", Qt::green}});
  frmMain form;
  EXPECT_EQ(Image(form.cmdBrowse->icon()).pixel(8, 8), QColor(Qt::red).rgb());
  EXPECT_EQ(Image(form.cmdURL->icon()).pixel(8, 8), QColor(Qt::green).rgb());  // the second name, the theme lacking the first
  EXPECT_EQ(Image(form.imlTVW->Picture("fld")), Image(Pictures::Own(Pictures::Id::Folder)));

  // The program's own icon (through a pixmap, as the icon holds it: faint edge
  // pixels round differently once premultiplied).
  const QImage own = QPixmap::fromImage(QImage(QStringLiteral(":/zelkar/zelkar-32.png"))).toImage();
  EXPECT_EQ(Image(form.windowIcon(), 32), own.convertToFormat(QImage::Format_ARGB32));
}

// Acts on the next modal dialog of type T once it is up, from its own event loop.
template <class T>
void WhenShown(std::function<void(T*)> act) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
    if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
      poll->stop();
      poll->deleteLater();
      act(dialog);
    }
  });
  poll->start(10);
}

// The real box: the style's buttons, default and icon, the text as written, the answer of the button pressed.
TEST(QtDialogsTest, BoxesShowTheStyleAndAnswerWithTheButtonPressed) {
  using B = QMessageBox;
  const struct {
    int style;
    QList<B::StandardButton> buttons;
    B::StandardButton byDefault;
    B::Icon icon;
    B::StandardButton pressed;  // NoButton: Esc
    int answer;
  } rows[] = {
      {308, {B::Yes, B::No}, B::No, B::Warning, B::NoButton, 7},
      {51, {B::Yes, B::No, B::Cancel}, B::Yes, B::Warning, B::NoButton, 2},
      {16, {B::Ok}, B::Ok, B::Critical, B::NoButton, 1},
      {33, {B::Ok, B::Cancel}, B::Ok, B::Question, B::Cancel, 2},
      {64 + 2, {B::Abort, B::Retry, B::Ignore}, B::Abort, B::Information, B::Retry, 4},
      {512 + 5, {B::Retry, B::Cancel}, B::Retry, B::NoIcon, B::Retry, 4},  // no third button: the first is default
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.style);
    WhenShown<QMessageBox>([&](QMessageBox* box) {
      QList<B::StandardButton> shown;
      for (QAbstractButton* b : box->buttons()) shown << box->standardButton(b);
      EXPECT_TRUE(std::is_permutation(shown.begin(), shown.end(), r.buttons.begin(), r.buttons.end()));
      EXPECT_EQ(std::tuple(box->standardButton(box->defaultButton()), box->icon(), box->windowTitle(), box->text()),
                std::tuple(r.byDefault, r.icon, QString("Title"), QString("<b>as written</b>")));
      if (r.pressed == B::NoButton)
        QTest::keyClick(box, Qt::Key_Escape);
      else
        box->button(r.pressed)->click();
    });
    EXPECT_EQ(QtDialogs().messageBox("<b>as written</b>", r.style, "Title"), r.answer);
  }
}

TEST_F(WindowPartsTest, FileDialogsStartWhereAskedAndGiveThePathChosen) {
  QDir().mkpath(path("folder"));
  // Each dialog starts in the folder asked for, with the name proposed and the
  // filters in Qt's form; cancelling gives nothing.
  const FileDialogRequest open{"Load Keywords", "Zelkar Backup Files (*.zkb)|*.zkb", dir(), QString(), false};
  const FileDialogRequest save{"Save Keywords", "All Files (*.*)|*.*", path("folder"), "new.zkb", true};
  QStringList shown;
  const auto cancel = [&](QFileDialog* d) {
    shown << d->windowTitle() << d->directory().absolutePath() << d->nameFilters() << d->selectedFiles();
    d->reject();
  };
  WhenShown<QFileDialog>(cancel);
  EXPECT_EQ(QtDialogs().openFile(open), std::nullopt);
  WhenShown<QFileDialog>(cancel);
  EXPECT_EQ(QtDialogs().saveFile(save), std::nullopt);
  EXPECT_EQ(shown.mid(0, 3), (QStringList{"Load Keywords", dir(), "Zelkar Backup Files (*.zkb)"}));
  EXPECT_EQ(shown.mid(shown.indexOf("Save Keywords")),
            (QStringList{"Save Keywords", path("folder"), "All Files (*)", path("folder/new.zkb")}));

  WhenShown<QFileDialog>([&](QFileDialog* d) {
    d->setDirectory(path("folder"));
    static_cast<QDialog*>(d)->done(QDialog::Accepted);  // as Choose does, without waiting for the listing
  });
  EXPECT_EQ(QtDialogs().browseFolder("Choose"), path("folder"));
}

// The patterns written in a label give way to the ones filtered; "*.*" covers names without a dot too.
TEST(DialogFilterTest, ProgramFiltersBecomeQtFilters) {
  EXPECT_EQ(QtFilter(QStringLiteral("Programs|*.exe;*.sh|Old (*.txt)|*.zkb|All Files (*.*)|*.*")),
            QStringLiteral("Programs (*.exe *.sh);;Old (*.zkb);;All Files (*)"));
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
  } rows[] = {{true, "\"\"/opt/app\"\"", "\"/opt/app\""},
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
  EXPECT_TRUE(form.FixVarPath("gone.exe", "%systemroot%\\x"));
  EXPECT_FALSE(Has("gone.exe"));
}

}  // namespace
}  // namespace zelkar::test
