#include "shell/frmAbout.h"

#include "app/Controls.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "backup/core/BackupFormat.h"
#include "launch/modShellExe.h"
#include "shell/core/NewFeatures.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QUrl>

namespace zelkar {
namespace {

QString g_programFolderForTests;  // empty: the folder the program runs from

// Width of the About text, in twips.
constexpr int kTextWidth = 5400;

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAccessibleName(caption);
  return button;
}

}  // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("About"));
  setAccessibleName(QStringLiteral("About"));
  setModal(true);

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setAccessibleName(QStringLiteral("Zelkar"));
  QIcon picture = QApplication::windowIcon();
  if (picture.isNull()) picture = style()->standardIcon(QStyle::SP_ComputerIcon);
  Image1->setPixmap(picture.pixmap(Px(480), Px(480)));
  Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

  lblAbout = new QLabel(this);
  lblAbout->setObjectName(QStringLiteral("lblAbout"));
  // No accessible name of its own: a screen reader reads the text itself.
  lblAbout->setTextFormat(Qt::PlainText);
  lblAbout->setWordWrap(true);
  lblAbout->setFixedWidth(Px(kTextWidth));
  lblAbout->setAlignment(Qt::AlignTop | Qt::AlignLeft);

  cmdNF = Button(this, "cmdNF", QStringLiteral("New Features"));
  cmdUpdate = Button(this, "cmdUpdate", QStringLiteral("Update"));
  cmdOK = Button(this, "cmdOK", QStringLiteral("OK"));
  cmdOK->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdNF);
  buttons->addWidget(cmdUpdate);
  buttons->addStretch(1);
  buttons->addWidget(cmdOK);

  auto* layout = new QGridLayout(this);
  layout->addWidget(Image1, 0, 0);
  layout->addWidget(lblAbout, 0, 1);
  layout->addLayout(buttons, 1, 0, 1, 2);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(cmdNF, &QPushButton::clicked, this, &frmAbout::cmdNF_Click);
  connect(cmdUpdate, &QPushButton::clicked, this, &frmAbout::cmdUpdate_Click);
  connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

frmAbout::~frmAbout() = default;

QString frmAbout::Caption() {
  return QStringLiteral("About Zelkar (v%1.%2)").arg(backup::kVersionMajor).arg(backup::kVersionMinor);
}

QString frmAbout::AboutText() {
  const QString twoBreaks = QStringLiteral("\r\n\r\n");
  return QStringLiteral("Ever wonder why some programs can be launched from the Run window while otheres cannot?  ") +
         twoBreaks +
         QStringLiteral("Well, these programs can do this because their 'keyword' has been registered with Windows.  ") +
         QStringLiteral("For instance, this program registered the keyword 'Zelkar' with Windows, so now you may "
                        "launch it just by typing that keyword in the Run window, Commmand Prompt, or even in "
                        "Windows' and Internet Explorer's AddressBars!  ") +
         twoBreaks +
         QStringLiteral("If you haven't already guessed, this program helps you register, rename, delete, modify, "
                        "and backup Windows' keywords.");
}

void frmAbout::Form_Load() {
  setWindowTitle(Caption());
  setAccessibleName(Caption());
  lblAbout->setText(AboutText());
  adjustSize();
  modMain::CenterForm(this);
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::cmdUpdate_Click() { modShellExe::ExecuteFile(modShellExe::kMakerWebPage, false); }

void frmAbout::cmdNF_Click() {
  // Nothing is reported: without a file the viewer has nothing to show.
  const QString path = newfeatures::Write(ProgramFolder());
  if (path.isEmpty()) return;
  modShellExe::Backend().openUrl(QUrl::fromLocalFile(path));
}

void frmAbout::ShowModal(QWidget* owner) { ShowModalWindow<frmAbout>(owner); }

void frmAbout::RemoveNewFeaturesLeftover() { newfeatures::RemoveLeftover(ProgramFolder()); }

QString frmAbout::ProgramFolder() {
  return g_programFolderForTests.isEmpty() ? QCoreApplication::applicationDirPath() : g_programFolderForTests;
}

void frmAbout::setProgramFolderForTests(const QString& folder) { g_programFolderForTests = folder; }

// ---- The main window's commands for the About window ----

void frmMain::mnuHA_Click() {
  frmAbout::ShowModal(this);
  txtExe->setFocus();
}

void frmMain::mnuHNF_Click() {
  frmAbout about(this);
  about.cmdNF_Click();
}

}  // namespace zelkar
