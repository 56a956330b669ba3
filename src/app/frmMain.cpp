#include "app/frmMain.h"

#include "app/Controls.h"
#include "app/Pictures.h"
#include "app/core/DesktopIntegration.h"
#include "list/OtherWriters.h"
#include "list/KeywordListing.h"
#include "list/TreeView.h"
#include "shell/TrayIcon.h"
#include "shell/WindowLayout.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace zelkar {
namespace {

frmMain* g_instance = nullptr;

void Place(QWidget* w, int left, int top, int width, int height) {
  w->setGeometry(Px(left), Px(top), Px(width), Px(height));
}

QToolButton* PictureButton(QWidget* parent, const char* name, const QString& toolTip,
                           const QIcon& picture) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setToolTip(toolTip);
  button->setAccessibleName(toolTip.trimmed());
  button->setIcon(picture);
  button->setFocusPolicy(Qt::StrongFocus);
  return button;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, const QString& toolTip) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setToolTip(toolTip);
  button->setAccessibleName(caption);
  button->setAutoDefault(false);
  return button;
}

QAction* Item(QMenu* menu, const char* name, const QString& caption,
              const QKeySequence& shortcut = QKeySequence(), bool enabled = true) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  action->setEnabled(enabled);
  return action;
}

QAction* Separator(QMenu* menu, const char* name) {
  QAction* action = menu->addSeparator();
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

QMenu* Submenu(QMenu* parent, const char* name, const QString& caption) {
  QMenu* menu = parent->addMenu(caption);
  menu->setObjectName(QString::fromLatin1(name));
  menu->menuAction()->setObjectName(QString::fromLatin1(name));
  return menu;
}

QMenu* Popup(QWidget* owner, const char* name, const QString& caption) {
  auto* menu = new QMenu(caption, owner);
  menu->setObjectName(QString::fromLatin1(name));
  return menu;
}

}  // namespace

frmMain* frmMain::instance() { return g_instance; }

frmMain::frmMain(const QString& commandLine, QWidget* parent)
    : QMainWindow(parent), imlTVW(std::make_unique<ImageList>()), commandLine_(commandLine) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Zelkar"));
  setAccessibleName(QStringLiteral("Zelkar"));
  CreateControls();
  CreateMenus();
  ConnectHandlers();
  windowlayout::Install(*this);
  g_instance = this;
}

frmMain::~frmMain() {
  if (g_instance == this) g_instance = nullptr;
}

void frmMain::CreateControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  setCentralWidget(client);

  setWindowIcon(Pictures::ProgramIcon());

  // The tree's five fixed images, in their order.
  using Pictures::Id;
  imlTVW->Add(QStringLiteral("fld"), Pictures::Themed(Id::Folder));
  imlTVW->Add(QStringLiteral("key"), Pictures::Themed(Id::Keywords));
  imlTVW->Add(QStringLiteral("uk"), Pictures::Themed(Id::Broken));
  imlTVW->Add(QStringLiteral("path"), Pictures::Themed(Id::Path));
  imlTVW->Add(QStringLiteral("url"), Pictures::Themed(Id::Address));

  fraKW = new QGroupBox(QStringLiteral("&Keyword"), client);
  fraKW->setObjectName(QStringLiteral("fraKW"));
  fraKW->setAccessibleName(QStringLiteral("Keyword"));
  Place(fraKW, 184, 127, 7215, 735);

  txtExe = new KeywordBox(fraKW);
  txtExe->setObjectName(QStringLiteral("txtExe"));
  txtExe->setAccessibleName(QStringLiteral("Keyword"));
  Place(txtExe, 120, 240, 5550, 360);

  cmdRunTxt = PictureButton(fraKW, "cmdRunTxt", QStringLiteral(" Run Text "), Pictures::Themed(Id::RunText));
  Place(cmdRunTxt, 5775, 240, 375, 360);
  cmdRunTxt->setEnabled(false);
  cmdSave = PictureButton(fraKW, "cmdSave", QStringLiteral(" Register keyword "),
                          Pictures::Themed(Id::Register));
  Place(cmdSave, 6240, 240, 375, 360);
  cmdSave->setEnabled(false);
  cmdClear = PictureButton(fraKW, "cmdClear", QStringLiteral(" Clear keyword and target "),
                           Pictures::Themed(Id::Clear));
  Place(cmdClear, 6720, 240, 375, 360);

  fraTarget = new DropFrame(QStringLiteral("&Target"), client);
  fraTarget->setObjectName(QStringLiteral("fraTarget"));
  fraTarget->setAccessibleName(QStringLiteral("Target"));
  fraTarget->setAcceptDrops(true);
  Place(fraTarget, 184, 980, 7215, 735);

  lblPath = new TargetLabel(fraTarget);
  lblPath->setObjectName(QStringLiteral("lblPath"));
  lblPath->setAccessibleName(QStringLiteral("Target"));
  Place(lblPath, 120, 240, 5550, 360);

  cmdBrowse = PictureButton(fraTarget, "cmdBrowse", QStringLiteral(" Find Application/File "),
                            Pictures::Themed(Id::FindFile));
  Place(cmdBrowse, 5775, 240, 375, 360);
  cmdDir = PictureButton(fraTarget, "cmdDir", QStringLiteral(" Find Directory "),
                        Pictures::Themed(Id::FindFolder));
  Place(cmdDir, 6240, 240, 375, 360);
  cmdURL = PictureButton(fraTarget, "cmdURL", QStringLiteral(" Internet Address (URL) "),
                         Pictures::Themed(Id::Internet));
  Place(cmdURL, 6705, 240, 375, 360);

  tvw = new TreeView(*imlTVW, client);
  tvw->setObjectName(QStringLiteral("tvw"));
  tvw->setAccessibleName(QStringLiteral("Run Keywords"));
  Place(tvw, 184, 1833, 7215, 1775);

  cmdRefresh = Button(client, "cmdRefresh", QStringLiteral("Refresh"), QStringLiteral(" Refresh keywords (F5) "));
  Place(cmdRefresh, 184, 3727, 855, 360);

  pb = new QProgressBar(client);
  pb->setObjectName(QStringLiteral("pb"));
  pb->setAccessibleName(QStringLiteral("Loading keywords"));
  pb->setTextVisible(false);
  Place(pb, 1241, 3727, 3015, 360);
  pb->setVisible(false);

  cmdRun = Button(client, "cmdRun", QStringLiteral("Run"), QStringLiteral(" Run "));
  Place(cmdRun, 4444, 3727, 855, 360);
  cmdRun->setEnabled(false);
  cmdRename = Button(client, "cmdRename", QStringLiteral("Rename"), QStringLiteral(" Rename "));
  Place(cmdRename, 5494, 3727, 855, 360);
  cmdRename->setEnabled(false);
  cmdDelete = Button(client, "cmdDelete", QStringLiteral("Delete"), QStringLiteral(" Delete "));
  Place(cmdDelete, 6544, 3727, 855, 360);
  cmdDelete->setEnabled(false);

  // Picture boxes the user never sees.
  pic16 = new QLabel(client);
  pic16->setObjectName(QStringLiteral("pic16"));
  pic16->setGeometry(0, 0, 16, 16);
  pic16->setVisible(false);
  pic32 = new QLabel(client);
  pic32->setObjectName(QStringLiteral("pic32"));
  pic32->setGeometry(0, 0, 32, 32);
  pic32->setVisible(false);
  pbTray = new QLabel(client);
  pbTray->setObjectName(QStringLiteral("pbTray"));
  pbTray->setVisible(false);

  tmrHide = new QTimer(this);
  tmrHide->setObjectName(QStringLiteral("tmrHide"));
  tmrHide->setInterval(1);
  tmrShow = new QTimer(this);
  tmrShow->setObjectName(QStringLiteral("tmrShow"));
  tmrShow->setInterval(1);

  tray_ = std::make_unique<TrayIcon>();

  // Keyboard order: keyword box, its buttons, the target buttons, the tree, the row below.
  setTabOrder(txtExe, cmdRunTxt);
  setTabOrder(cmdRunTxt, cmdSave);
  setTabOrder(cmdSave, cmdClear);
  setTabOrder(cmdClear, cmdBrowse);
  setTabOrder(cmdBrowse, cmdDir);
  setTabOrder(cmdDir, cmdURL);
  setTabOrder(cmdURL, tvw);
  setTabOrder(tvw, cmdRefresh);
  setTabOrder(cmdRefresh, cmdRun);
  setTabOrder(cmdRun, cmdRename);
  setTabOrder(cmdRename, cmdDelete);
}

void frmMain::CreateMenus() {
  QMenuBar* bar = menuBar();

  mnuList = bar->addMenu(QStringLiteral("List"));
  mnuList->setObjectName(QStringLiteral("mnuList"));
  mnuls = Item(mnuList, "mnuls", QStringLiteral("Save As..."), QKeySequence(QStringLiteral("Ctrl+S")));
  mnuLL = Submenu(mnuList, "mnuLL", QStringLiteral("Load..."));
  mnuLLN = Item(mnuLL, "mnuLLN", QStringLiteral("New..."), QKeySequence(QStringLiteral("Ctrl+L")));
  sepll = Separator(mnuLL, "sepll");
  QAction* empty = Item(mnuLL, "mnuMRU", QStringLiteral("Empty"), QKeySequence(), false);
  mnuMRU.push_back(empty);
  mnulsep = Separator(mnuList, "mnulsep");
  mnuLI = Item(mnuList, "mnuLI", QStringLiteral("Import..."), QKeySequence(QStringLiteral("Ctrl+I")));
  mnuLE = Submenu(mnuList, "mnuLE", QStringLiteral("Export..."));
  mnuLEM = Item(mnuLE, "mnuLEM", QStringLiteral("Marked..."));
  mnuLEL = Item(mnuLE, "mnuLEL", QStringLiteral("List..."));
  lsep = Separator(mnuList, "lsep");
  mnuLR = Item(mnuList, "mnuLR", QStringLiteral("Refresh"), QKeySequence(Qt::Key_F5));
  mnuLHS = Item(mnuList, "mnuLHS", QStringLiteral("Hide"));

  mnuKW = bar->addMenu(QStringLiteral("Keywords"));
  mnuKW->setObjectName(QStringLiteral("mnuKW"));
  mnuKWR = Item(mnuKW, "mnuKWR", QStringLiteral("Run"), QKeySequence(), false);
  mnuKWOCF = Item(mnuKW, "mnuKWOCF", QStringLiteral("Open Containing Folder"),
                  QKeySequence(QStringLiteral("Ctrl+O")), false);
  mnuKWMFE = Item(mnuKW, "mnuKWMFE", QStringLiteral("Mark For Exportation"), QKeySequence(), false);
  sepkw1 = Separator(mnuKW, "sepkw1");
  mnuKWRe = Item(mnuKW, "mnuKWRe", QStringLiteral("Rename"), QKeySequence(Qt::Key_F2), false);
  mnuKWD = Item(mnuKW, "mnuKWD", QStringLiteral("Delete"), QKeySequence(), false);
  sepkw2 = Separator(mnuKW, "sepkw2");
  mnuKWCU = Item(mnuKW, "mnuKWCU", QStringLiteral("Clean Up..."));
  mnuKWDA = Item(mnuKW, "mnuKWDA", QStringLiteral("Delete All"));

  mnuHelp = bar->addMenu(QStringLiteral("Help"));
  mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
  mnuHNF = Item(mnuHelp, "mnuHNF", QStringLiteral("New Features"), QKeySequence(QStringLiteral("Ctrl+N")));
  mnuHU = Item(mnuHelp, "mnuHU", QStringLiteral("Update..."));
  helpsep = Separator(mnuHelp, "helpsep");
  mnuHRB = Item(mnuHelp, "mnuHRB", QStringLiteral("Report Bug..."), QKeySequence(QStringLiteral("Ctrl+B")));
  helpsep1 = Separator(mnuHelp, "helpsep1");
  mnuHA = Item(mnuHelp, "mnuHA", QStringLiteral("About..."), QKeySequence(Qt::Key_F1));

  mnuTarget = Popup(this, "mnuTarget", QStringLiteral("Target"));
  mnuTR = Item(mnuTarget, "mnuTR", QStringLiteral("Run"));

  mnuHide = Popup(this, "mnuHide", QStringLiteral("Hide"));
  mnuHideRun = Item(mnuHide, "mnuHideRun", QStringLiteral("Run"));
  mnuHOCF = Item(mnuHide, "mnuHOCF", QStringLiteral("Open Containing Folder"));
  mnuHMFE = Item(mnuHide, "mnuHMFE", QStringLiteral("Mark For Exportation"));
  spc0 = Separator(mnuHide, "spc0");
  mnuHideRename = Item(mnuHide, "mnuHideRename", QStringLiteral("Rename"));
  mnuHideDelete = Item(mnuHide, "mnuHideDelete", QStringLiteral("Delete"));
  spc = Separator(mnuHide, "spc");
  mnuHideSL = Item(mnuHide, "mnuHideSL", QStringLiteral("Save List As..."));
  mnuHideLL = Item(mnuHide, "mnuHideLL", QStringLiteral("Load List..."));
  mnuhsep0 = Separator(mnuHide, "mnuhsep0");
  mnuHIL = Item(mnuHide, "mnuHIL", QStringLiteral("Import List..."));
  mnuHE = Submenu(mnuHide, "mnuHE", QStringLiteral("Export..."));
  mnuHEM = Item(mnuHE, "mnuHEM", QStringLiteral("Marked..."));
  mnuHEL = Item(mnuHE, "mnuHEL", QStringLiteral("List..."));
  mnuhsep = Separator(mnuHide, "mnuhsep");
  mnuHideRefresh = Item(mnuHide, "mnuHideRefresh", QStringLiteral("Refresh"));
  spc2 = Separator(mnuHide, "spc2");
  mnuHideAbout = Item(mnuHide, "mnuHideAbout", QStringLiteral("About..."));

  mnuRH = Popup(this, "mnuRH", QStringLiteral("RenameHide"));
  mnuRHRegister = Item(mnuRH, "mnuRHRegister", QStringLiteral("Register"));
  mnuRHRestore = Item(mnuRH, "mnuRHRestore", QStringLiteral("Restore"));

  mnuHT = Popup(this, "mnuHT", QStringLiteral("HideTray"));
  mnuHTOpen = Item(mnuHT, "mnuHTOpen", QStringLiteral("Open"));
  mnuHTNK = Item(mnuHT, "mnuHTNK", QStringLiteral("New Keyword"));
  sep1 = Separator(mnuHT, "sep1");
  mnuHTNF = Item(mnuHT, "mnuHTNF", QStringLiteral("New Features"));
  mnuHTU = Item(mnuHT, "mnuHTU", QStringLiteral("Update..."));
  mnuHTA = Item(mnuHT, "mnuHTA", QStringLiteral("About..."));
  sep2 = Separator(mnuHT, "sep2");
  mnuHTExit = Item(mnuHT, "mnuHTExit", QStringLiteral("Exit"));
}

void frmMain::ConnectHandlers() {
  auto on = [this](QAction* action, auto handler) {
    connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
  };
  auto click = [this](QAbstractButton* button, auto handler) {
    connect(button, &QAbstractButton::clicked, this, [this, handler] { (this->*handler)(); });
  };

  // Buttons.
  click(cmdBrowse, &frmMain::cmdBrowse_Click);
  click(cmdDir, &frmMain::cmdDir_Click);
  click(cmdURL, &frmMain::cmdURL_Click);
  click(cmdRun, &frmMain::cmdRun_Click);
  click(cmdRefresh, &frmMain::cmdRefresh_Click);
  click(cmdDelete, &frmMain::cmdDelete_Click);
  click(cmdRename, &frmMain::cmdRename_Click);
  click(cmdSave, &frmMain::cmdSave_Click);
  click(cmdRunTxt, &frmMain::cmdRunTxt_Click);
  click(cmdClear, &frmMain::cmdClear_Click);

  // The keyword box; Enter presses Run Text.
  connect(txtExe, &QLineEdit::textChanged, this, [this] { txtExe_Change(); });
  connect(txtExe, &KeywordBox::KeyDown, this, &frmMain::txtExe_KeyDown);
  connect(txtExe, &KeywordBox::GotFocus, this, &frmMain::txtExe_GotFocus);
  connect(txtExe, &QLineEdit::returnPressed, this, [this] {
    if (cmdRunTxt->isEnabled()) cmdRunTxt_Click();
  });

  // The target label and frame.
  connect(lblPath, &TargetLabel::Change, this, &frmMain::lblPath_Change);
  connect(lblPath, &TargetLabel::DblClick, this, &frmMain::lblPath_DblClick);
  connect(lblPath, &TargetLabel::MouseUp, this, &frmMain::lblPath_MouseUp);
  connect(lblPath, &TargetLabel::OLEDragDrop, this,
          [this](const QMimeData* data, int, int, int, int, int) { lblPath_OLEDragDrop(data); });
  connect(fraTarget, &DropFrame::OLEDragDrop, this,
          [this](const QMimeData* data, int, int, int, int, int) { fraTarget_OLEDragDrop(data); });

  // The tree.
  connect(tvw, &TreeView::NodeClick, this, &frmMain::tvw_NodeClick);
  connect(tvw, &TreeView::AfterLabelEdit, this, &frmMain::tvw_AfterLabelEdit, Qt::DirectConnection);
  connect(tvw, &TreeView::KeyUp, this, &frmMain::tvw_KeyUp);
  connect(tvw, &TreeView::MouseUp, this, &frmMain::tvw_MouseUp);
  connect(tvw, &TreeView::DblClick, this, &frmMain::tvw_DblClick);
  connect(tvw, &TreeView::OLEDragDrop, this,
          [this](const QMimeData* data, int, int, int, int, int) { tvw_OLEDragDrop(data); });

  // List menu.
  connect(mnuList, &QMenu::aboutToShow, this, &frmMain::mnuList_Click);
  connect(mnuls, &QAction::triggered, this, [this] { SaveList(); });
  connect(mnuLLN, &QAction::triggered, this, [this] { LoadList(QString()); });
  connect(mnuMRU.front(), &QAction::triggered, this, [this] { mnuMRU_Click(0); });
  connect(mnuLI, &QAction::triggered, this, [this] { ImportList(QString()); });
  connect(mnuLEM, &QAction::triggered, this, [this] { Export(false); });
  connect(mnuLEL, &QAction::triggered, this, [this] { Export(true); });
  connect(mnuLR, &QAction::triggered, this, [this] { LoadTVW(false); });
  on(mnuLHS, &frmMain::mnuLHS_Click);

  // Keywords menu: each item runs what its context-menu twin runs.
  connect(mnuKW, &QMenu::aboutToShow, this, &frmMain::mnuKW_Click);
  on(mnuKWR, &frmMain::cmdRun_Click);
  on(mnuKWOCF, &frmMain::mnuHOCF_Click);
  on(mnuKWMFE, &frmMain::mnuKWMFE_Click);
  on(mnuKWRe, &frmMain::cmdRename_Click);
  on(mnuKWD, &frmMain::cmdDelete_Click);
  on(mnuKWCU, &frmMain::mnuKWCU_Click);
  on(mnuKWDA, &frmMain::mnuKWDA_Click);

  // Help menu.
  on(mnuHNF, &frmMain::mnuHNF_Click);
  on(mnuHU, &frmMain::mnuHU_Click);
  on(mnuHRB, &frmMain::mnuHRB_Click);
  on(mnuHA, &frmMain::mnuHA_Click);

  // Pop-up menus.
  on(mnuTR, &frmMain::mnuTR_Click);
  on(mnuHideRun, &frmMain::cmdRun_Click);
  on(mnuHOCF, &frmMain::mnuHOCF_Click);
  on(mnuHMFE, &frmMain::mnuHMFE_Click);
  on(mnuHideRename, &frmMain::cmdRename_Click);
  on(mnuHideDelete, &frmMain::cmdDelete_Click);
  connect(mnuHideSL, &QAction::triggered, this, [this] { SaveList(); });
  connect(mnuHideLL, &QAction::triggered, this, [this] { LoadList(QString()); });
  connect(mnuHIL, &QAction::triggered, this, [this] { ImportList(QString()); });
  connect(mnuHEM, &QAction::triggered, this, [this] { Export(false); });
  connect(mnuHEL, &QAction::triggered, this, [this] { Export(true); });
  connect(mnuHideRefresh, &QAction::triggered, this, [this] { LoadTVW(false); });
  on(mnuHideAbout, &frmMain::mnuHA_Click);
  on(mnuRHRegister, &frmMain::mnuRHRegister_Click);
  on(mnuRHRestore, &frmMain::mnuRHRestore_Click);
  on(mnuHTOpen, &frmMain::mnuHTOpen_Click);
  on(mnuHTNK, &frmMain::mnuHTNK_Click);
  on(mnuHTNF, &frmMain::mnuHTNF_Click);
  on(mnuHTU, &frmMain::mnuHTU_Click);
  on(mnuHTA, &frmMain::mnuHTA_Click);
  on(mnuHTExit, &frmMain::mnuHTExit_Click);

  // Timers.
  connect(tmrHide, &QTimer::timeout, this, &frmMain::tmrHide_Timer);
  connect(tmrShow, &QTimer::timeout, this, &frmMain::tmrShow_Timer);
}

void frmMain::PopupMenu(QMenu* menu, QAction* defaultItem) {
  menu->setDefaultAction(defaultItem);
  lastPopup = menu;
  lastPopupDefault = defaultItem;
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) menu->popup(QCursor::pos());
}

void frmMain::Form_Load() {
  using modRegEdit::RegWriteValue;
  const QString exe = QCoreApplication::applicationFilePath();

  // The program's own keyword; a refusal here ends the program.
  RegWriteValue(kAppPathsFull + QStringLiteral("Zelkar.exe\\"), exe, 1);

  // The backup file type.
  const QString root = QStringLiteral("HKEY_CLASSES_ROOT\\");
  RegWriteValue(root + QStringLiteral(".zkb\\"), QStringLiteral("Zelkar.File"), 0);
  RegWriteValue(root + QStringLiteral("Zelkar.File\\"), QStringLiteral("Zelkar Backup File"), 0);
  RegWriteValue(root + QStringLiteral("Zelkar.File\\DefaultIcon\\"), exe, 0);
  RegWriteValue(root + QStringLiteral("Zelkar.File\\Shell\\"), QStringLiteral("Load"), 0);
  RegWriteValue(root + QStringLiteral("Zelkar.File\\Shell\\Load\\"), QStringLiteral("Load..."), 0);
  RegWriteValue(root + QStringLiteral("Zelkar.File\\Shell\\Load\\command\\"), exe + QStringLiteral(" %1"), 0);
  RegWriteValue(root + QStringLiteral("Zelkar.File\\Shell\\Import\\"), QStringLiteral("Import..."), 0);
  RegWriteValue(root + QStringLiteral("Zelkar.File\\Shell\\Import\\command\\"),
                exe + QStringLiteral(" %1 -I"), 0);
  // The desktop's own record of the type, so that opening a backup file starts Zelkar.
  desktop::Integrate(exe);

  LoadSettings();
  LoadTVW(false);
  FollowOtherWriters(*this);

  // The command line is acted on once the window is up, so that its questions
  // stand over the window.
  QTimer::singleShot(0, this, &frmMain::DoCommandLine);
}

void frmMain::Form_Activate() {
  txtExe->setFocus();
  LoadMRU(QString());
}

bool frmMain::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) Form_Activate();
  return QMainWindow::event(e);
}

void frmMain::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::WindowStateChange) Form_Resize();
}

void frmMain::closeEvent(QCloseEvent* e) {
  int Cancel = 0;
  Form_Unload(Cancel);
  if (Cancel != 0) {
    e->ignore();
    return;
  }
  e->accept();
  QCoreApplication::quit();
}

}  // namespace zelkar
