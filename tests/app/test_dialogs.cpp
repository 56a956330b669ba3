#include "app/QtDialogs.h"

#include "support/StoreTest.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace zelkar::test {
namespace {

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

struct BoxCase {
  const char* name;
  int style;
  QList<QMessageBox::StandardButton> buttons;
  QMessageBox::StandardButton byDefault;
  QMessageBox::Icon icon;
  QMessageBox::StandardButton pressed;  // NoButton: the user presses Esc
  int answer;
};

TEST(QtDialogsTest, BoxesShowTheStyleAndAnswerWithTheButtonPressed) {
  using B = QMessageBox;
  const BoxCase cases[] = {
      {"ExclamationYesNoSecondDefaultEscSaysNo", 308, {B::Yes, B::No}, B::No, B::Warning, B::NoButton, 7},
      {"YesNoCancelEscCancels", 51, {B::Yes, B::No, B::Cancel}, B::Yes, B::Warning, B::NoButton, 2},
      {"CriticalOkEscSaysOk", 16, {B::Ok}, B::Ok, B::Critical, B::NoButton, 1},
      {"QuestionOkCancel", 33, {B::Ok, B::Cancel}, B::Ok, B::Question, B::Cancel, 2},
      {"InformationAbortRetryIgnore", 64 + 2, {B::Abort, B::Retry, B::Ignore}, B::Abort, B::Information, B::Retry, 4},
      {"RetryCancelThirdDefaultFallsBackToFirst", 512 + 5, {B::Retry, B::Cancel}, B::Retry, B::NoIcon, B::Retry, 4},
  };
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(c.name);
    QList<B::StandardButton> shown;
    B::StandardButton byDefault = B::NoButton;
    B::Icon icon = B::NoIcon;
    QString title, text;
    WhenShown<QMessageBox>([&](QMessageBox* box) {
      for (QAbstractButton* b : box->buttons()) shown << box->standardButton(b);
      byDefault = box->standardButton(box->defaultButton());
      icon = box->icon();
      title = box->windowTitle();
      text = box->text();
      if (c.pressed == B::NoButton)
        QTest::keyClick(box, Qt::Key_Escape);
      else
        box->button(c.pressed)->click();
    });
    EXPECT_EQ(QtDialogs().messageBox(QStringLiteral("<b>not markup</b>"), c.style, QStringLiteral("Title")), c.answer);
    std::sort(shown.begin(), shown.end());
    QList<B::StandardButton> wanted = c.buttons;
    std::sort(wanted.begin(), wanted.end());
    EXPECT_EQ(shown, wanted);
    EXPECT_EQ(byDefault, c.byDefault);
    EXPECT_EQ(icon, c.icon);
    EXPECT_EQ(title, QStringLiteral("Title"));
    EXPECT_EQ(text, QStringLiteral("<b>not markup</b>"));
  }
}

class QtFileDialogsTest : public StoreTest {};

TEST_F(QtFileDialogsTest, FileDialogsStartWhereAskedAndGiveThePathChosen) {
  QFile(path("old.zkb")).open(QIODevice::WriteOnly);
  QDir().mkpath(path("folder"));
  FileDialogRequest open{QStringLiteral("Load Keywords"), QStringLiteral("Zelkar Backup Files (*.zkb)|*.zkb"), dir(),
                         QString(), false};
  QString shownDir;
  QStringList filters;
  WhenShown<QFileDialog>([&](QFileDialog* d) {
    shownDir = d->directory().absolutePath();
    filters = d->nameFilters();
    d->selectFile(path("old.zkb"));
    static_cast<QDialog*>(d)->accept();  // as the Open button does
  });
  EXPECT_EQ(QtDialogs().openFile(open), path("old.zkb"));
  EXPECT_EQ(shownDir, dir());
  EXPECT_EQ(filters, QStringList{QStringLiteral("Zelkar Backup Files (*.zkb)")});

  // A proposed name is offered in the folder asked for; cancelling gives nothing.
  FileDialogRequest save{QStringLiteral("Save Keywords"), QStringLiteral("All Files (*.*)|*.*"), path("folder"),
                         QStringLiteral("new.zkb"), true};
  QStringList proposed;
  WhenShown<QFileDialog>([&](QFileDialog* d) {
    proposed = d->selectedFiles();
    d->reject();
  });
  EXPECT_EQ(QtDialogs().saveFile(save), std::nullopt);
  EXPECT_EQ(proposed, QStringList{path("folder/new.zkb")});

  WhenShown<QFileDialog>([&](QFileDialog* d) {
    d->setDirectory(path("folder"));
    static_cast<QDialog*>(d)->accept();  // as the Open button does
  });
  EXPECT_EQ(QtDialogs().browseFolder(QStringLiteral("Choose")), path("folder"));
}

TEST(DialogFilterTest, ProgramFiltersBecomeQtFilters) {
  EXPECT_EQ(QtFilter(QStringLiteral("Zelkar Backup Files (*.zkb)|*.zkb")),
            QStringLiteral("Zelkar Backup Files (*.zkb)"));
  // "*.*" covers names without a dot too.
  EXPECT_EQ(QtFilter(QStringLiteral("Programs|*.exe;*.sh|All Files (*.*)|*.*")),
            QStringLiteral("Programs (*.exe *.sh);;All Files (*)"));
  EXPECT_EQ(QtFilter(QStringLiteral("Old (*.txt)|*.zkb")), QStringLiteral("Old (*.zkb)"));
}

}  // namespace
}  // namespace zelkar::test
