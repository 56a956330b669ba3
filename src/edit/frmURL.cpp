#include "edit/frmURL.h"

#include "app/Controls.h"
#include "app/core/Dialogs.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "edit/DroppedFiles.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"

#include <QCompleter>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>

namespace zelkar {
namespace {


// Addresses entered before in this run live on the main window, which outlives
// every address window.
constexpr char kTypedAddresses[] = "zelkarTypedAddresses";

}  // namespace

frmURL::frmURL(frmMain* owner) : QDialog(owner), owner_(owner) {
  setObjectName(QStringLiteral("frmURL"));
  setWindowTitle(QStringLiteral("Internet Address"));
  setAccessibleName(QStringLiteral("Internet Address"));
  setModal(true);

  Label1 = new QLabel(QStringLiteral("Type desired URL below:"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setAccessibleName(QStringLiteral("Type desired URL below:"));

  txtURL = new QLineEdit(this);
  txtURL->setObjectName(QStringLiteral("txtURL"));
  txtURL->setAccessibleName(QStringLiteral("URL"));
  txtURL->setMinimumWidth(Px(4200));
  Label1->setBuddy(txtURL);

  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setAccessibleName(QStringLiteral("OK"));
  cmdOK->setDefault(true);  // Enter confirms; Esc cancels (the dialog's own key)

  cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  cmdCancel->setAccessibleName(QStringLiteral("Cancel"));
  cmdCancel->setAutoDefault(false);

  auto* grid = new QGridLayout(this);
  grid->addWidget(Label1, 0, 0, 1, 2);
  grid->addWidget(txtURL, 1, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  grid->addLayout(buttons, 2, 0, 1, 2);
  setFixedSize(sizeHint());

  for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(Label1), static_cast<QWidget*>(txtURL),
                     static_cast<QWidget*>(cmdOK), static_cast<QWidget*>(cmdCancel)}) {
    w->setAcceptDrops(true);
    w->installEventFilter(this);
  }

  connect(cmdOK, &QPushButton::clicked, this, &frmURL::cmdOK_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmURL::cmdCancel_Click);
}

frmURL::~frmURL() = default;

void frmURL::ShowModal(frmMain* owner) { ShowModalWindow<frmURL>(owner); }

void frmURL::Form_Load() {
  auto* completer = new QCompleter(CompletionSources(), txtURL);
  completer->setCaseSensitivity(Qt::CaseInsensitive);
  completer->setFilterMode(Qt::MatchContains);
  completer->setCompletionMode(QCompleter::PopupCompletion);
  txtURL->setCompleter(completer);
  modMain::CenterForm(this);
}

QStringList frmURL::CompletionSources() const {
  using modRegEdit::EnumKeys;
  using modRegEdit::GetString;
  QStringList addresses;
  for (const QString& key : EnumKeys(store::Hive::LocalMachine, kAppPathsKey)) {
    const QString target = GetString(store::Hive::LocalMachine, kAppPathsKey + key, QString(), QString());
    if (IsInternetAddress(target) && !addresses.contains(target)) addresses.append(target);
  }
  if (owner_ != nullptr) {
    for (const QString& typed : owner_->property(kTypedAddresses).toStringList())
      if (!addresses.contains(typed)) addresses.append(typed);
  }
  return addresses;
}

void frmURL::RememberAddress(const QString& address) {
  if (owner_ == nullptr || address.trimmed().isEmpty()) return;
  QStringList typed = owner_->property(kTypedAddresses).toStringList();
  if (typed.contains(address)) return;
  typed.append(address);
  owner_->setProperty(kTypedAddresses, typed);
}

void frmURL::cmdOK_Click() {
  const QString address = txtURL->text();
  if (address.isEmpty()) {
    MsgBox(QStringLiteral("You must type in a URL"), mb::Information, QStringLiteral("Rename"));
    return;
  }
  // Taken as typed: no prefix is added and nothing is checked.
  if (owner_ != nullptr) {
    owner_->lblPath->setCaption(address);
    if (!owner_->txtExe->text().isEmpty()) owner_->cmdSave->setEnabled(true);
  }
  RememberAddress(address);
  accept();
}

void frmURL::cmdCancel_Click() { reject(); }

void frmURL::Form_OLEDragDrop(const QMimeData* Data) {
  const std::optional<QString> file = FirstDroppedFile(Data);
  if (!file || !IsInternetShortcut(*file)) return;
  if (const std::optional<QString> address = ReadShortcut(*file)) txtURL->setText(*address);
}

bool frmURL::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      // Only an internet shortcut is taken; text is not dropped into the box either.
      auto* drag = static_cast<QDragMoveEvent*>(event);
      const std::optional<QString> file = FirstDroppedFile(drag->mimeData());
      if (file && IsInternetShortcut(*file))
        drag->acceptProposedAction();
      else
        drag->ignore();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QMimeData* data = drop->mimeData();
      if (watched == Label1)
        Label1_OLEDragDrop(data);
      else if (watched == txtURL)
        txtURL_OLEDragDrop(data);
      else if (watched == cmdOK)
        cmdOK_OLEDragDrop(data);
      else if (watched == cmdCancel)
        cmdCancel_OLEDragDrop(data);
      else
        Form_OLEDragDrop(data);
      drop->acceptProposedAction();
      return true;
    }
    default:
      return QDialog::eventFilter(watched, event);
  }
}

}  // namespace zelkar
