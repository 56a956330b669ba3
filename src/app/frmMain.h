#pragma once

#include <QMainWindow>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QAction;
class QGroupBox;
class QMenu;
class QMimeData;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolButton;
class QLabel;

namespace zelkar {

class DropFrame;
class ImageList;
class KeywordBox;
class KeywordListing;
class TargetLabel;
class TrayIcon;
class TreeView;

// The program's one main window. Its procedures are defined in the folder of
// the subsystem they belong to (src/app, src/list, src/edit, src/launch,
// src/backup, src/shell). Controls are public so that tests can drive them.
class frmMain : public QMainWindow {
  Q_OBJECT

 public:
  // `commandLine` is the whole command line after the program's name, as one text.
  explicit frmMain(const QString& commandLine = QString(), QWidget* parent = nullptr);
  ~frmMain() override;

  // The running main window (set while one exists), for the two dialogs.
  static frmMain* instance();

  // ---- Controls (owned by their Qt parents) ----
  DropFrame* fraTarget = nullptr;
  QToolButton* cmdBrowse = nullptr;
  QToolButton* cmdDir = nullptr;
  QToolButton* cmdURL = nullptr;
  TargetLabel* lblPath = nullptr;
  QPushButton* cmdRun = nullptr;
  QPushButton* cmdRefresh = nullptr;
  QPushButton* cmdDelete = nullptr;
  QPushButton* cmdRename = nullptr;
  QGroupBox* fraKW = nullptr;
  QToolButton* cmdSave = nullptr;
  QToolButton* cmdRunTxt = nullptr;
  QToolButton* cmdClear = nullptr;
  KeywordBox* txtExe = nullptr;
  TreeView* tvw = nullptr;
  QProgressBar* pb = nullptr;
  QLabel* pic16 = nullptr;
  QLabel* pic32 = nullptr;
  QLabel* pbTray = nullptr;
  QTimer* tmrHide = nullptr;
  QTimer* tmrShow = nullptr;
  std::unique_ptr<ImageList> imlTVW;

  // ---- Menus ----
  QMenu* mnuList = nullptr;
  QAction* mnuls = nullptr;
  QMenu* mnuLL = nullptr;
  QAction* mnuLLN = nullptr;
  QAction* sepll = nullptr;
  std::vector<QAction*> mnuMRU;  // item 0 always exists
  QAction* mnulsep = nullptr;
  QAction* mnuLI = nullptr;
  QMenu* mnuLE = nullptr;
  QAction* mnuLEM = nullptr;
  QAction* mnuLEL = nullptr;
  QAction* lsep = nullptr;
  QAction* mnuLR = nullptr;
  QAction* mnuLHS = nullptr;

  QMenu* mnuKW = nullptr;
  QAction* mnuKWR = nullptr;
  QAction* mnuKWOCF = nullptr;
  QAction* mnuKWMFE = nullptr;
  QAction* sepkw1 = nullptr;
  QAction* mnuKWRe = nullptr;
  QAction* mnuKWD = nullptr;
  QAction* sepkw2 = nullptr;
  QAction* mnuKWCU = nullptr;
  QAction* mnuKWDA = nullptr;

  QMenu* mnuHelp = nullptr;
  QAction* mnuHNF = nullptr;
  QAction* mnuHU = nullptr;
  QAction* helpsep = nullptr;
  QAction* mnuHRB = nullptr;
  QAction* helpsep1 = nullptr;
  QAction* mnuHA = nullptr;

  QMenu* mnuTarget = nullptr;  // "Target", on the target label
  QAction* mnuTR = nullptr;

  QMenu* mnuHide = nullptr;  // "Hide", the tree's context menu
  QAction* mnuHideRun = nullptr;
  QAction* mnuHOCF = nullptr;
  QAction* mnuHMFE = nullptr;
  QAction* spc0 = nullptr;
  QAction* mnuHideRename = nullptr;
  QAction* mnuHideDelete = nullptr;
  QAction* spc = nullptr;
  QAction* mnuHideSL = nullptr;
  QAction* mnuHideLL = nullptr;
  QAction* mnuhsep0 = nullptr;
  QAction* mnuHIL = nullptr;
  QMenu* mnuHE = nullptr;
  QAction* mnuHEM = nullptr;
  QAction* mnuHEL = nullptr;
  QAction* mnuhsep = nullptr;
  QAction* mnuHideRefresh = nullptr;
  QAction* spc2 = nullptr;
  QAction* mnuHideAbout = nullptr;

  QMenu* mnuRH = nullptr;  // "RenameHide", on an unregistered keyword
  QAction* mnuRHRegister = nullptr;
  QAction* mnuRHRestore = nullptr;

  QMenu* mnuHT = nullptr;  // "HideTray", on the tray icon
  QAction* mnuHTOpen = nullptr;
  QAction* mnuHTNK = nullptr;
  QAction* sep1 = nullptr;
  QAction* mnuHTNF = nullptr;
  QAction* mnuHTU = nullptr;
  QAction* mnuHTA = nullptr;
  QAction* sep2 = nullptr;
  QAction* mnuHTExit = nullptr;

  // ---- State named by the program ----
  bool CompletionSuppressed = false;

  // Where a popup menu was last shown (tests read it instead of a real popup).
  QMenu* lastPopup = nullptr;
  QAction* lastPopupDefault = nullptr;

  // ---- Start-up and window (src/app) ----
  void Form_Load();
  void Form_Activate();
  void DoCommandLine();
  // Acts on `c` as on the command line of the window's own start (a later
  // start hands its command line over).
  void ActOnCommandLine(const QString& c);
  const QString& CommandLine() const { return commandLine_; }
  // Shows a popup menu at the cursor with its default item (bold); records it.
  void PopupMenu(QMenu* menu, QAction* defaultItem = nullptr);

  // ---- Keyword entries (src/app) ----
  bool SaveKeyword(const QString& kw, const QString& Target, bool OverWritePrompt);
  bool DeleteKeyword(const QString& kw, bool Refresh);
  void DeleteKeywords();
  QString ClearQuotes(const QString& exe, const QString& s);
  bool FixVarPath(const QString& kw, const QString& s);

  // ---- Keyword list (src/list) ----
  void LoadTVW(bool KillEmptyKeys);
  // LoadTVW for after a change to the store: entries whose stored target is as
  // the last load left it keep their nodes, without a new look at their files.
  void UpdateTVW(bool KillEmptyKeys);
  void SetCaption();
  void tvw_NodeClick(int Node);
  void tvw_KeyUp(int KeyCode, int Shift);
  void tvw_MouseUp(int Button, int Shift, int X, int Y);
  void tvw_DblClick();
  void ClickRootNode();
  // Number of keywords the tree lists: (nodes - 1) / 2.
  int KeywordCount() const;

  // ---- Keyword editing (src/edit) ----
  void cmdSave_Click();
  void cmdRename_Click();
  void tvw_AfterLabelEdit(int& Cancel, QString& NewString);
  void mnuRHRegister_Click();
  void mnuRHRestore_Click();
  void cmdDelete_Click();
  void mnuKWCU_Click();
  void mnuKWDA_Click();
  void cmdBrowse_Click();
  void cmdDir_Click();
  void cmdURL_Click();
  void cmdClear_Click();
  void cmdRefresh_Click();
  void lblPath_Change();
  void lblPath_DblClick();
  void lblPath_MouseUp(int Button, int Shift, int X, int Y);
  void fraTarget_OLEDragDrop(const QMimeData* Data);
  void lblPath_OLEDragDrop(const QMimeData* Data);

  // ---- Launching (src/launch) ----
  void cmdRun_Click();
  void mnuHOCF_Click();
  void cmdRunTxt_Click();
  void mnuTR_Click();
  void mnuHU_Click();
  void mnuHRB_Click();
  void txtExe_Change();
  void txtExe_KeyDown(int KeyCode, int Shift);
  void txtExe_GotFocus();
  void EnableNodeButtons();

  // ---- Backup files (src/backup) ----
  void ReformatZKB(const QString& path);
  bool LoadList(const QString& FileName);
  bool ImportList(const QString& FileName);
  void tvw_OLEDragDrop(const QMimeData* Data);
  bool SaveList();
  bool Export(bool AllKeywords);
  std::int16_t ExportKeywords();
  void mnuHMFE_Click();
  void mnuKWMFE_Click();
  void mnuKW_Click();
  std::int16_t RegisterKeyWords();
  void LoadMRU(const QString& FileName);
  void DelMRU(std::int16_t iSlot);
  void mnuMRU_Click(int Index);
  void mnuList_Click();

  // ---- Window shell (src/shell) ----
  void LoadSettings();
  void SaveSettings();
  void mnuLHS_Click();
  void tmrHide_Timer();
  void tmrShow_Timer();
  void Form_Unload(int& Cancel);
  void Form_Resize();
  void SetTrayMode(bool InTray);
  void mnuHTOpen_Click();
  void mnuHTNK_Click();
  void mnuHTNF_Click();
  void mnuHTU_Click();
  void mnuHTA_Click();
  void mnuHTExit_Click();
  void mnuHA_Click();
  void mnuHNF_Click();
  // The window's outer height in twips (frame included, as the settings count it).
  int OuterHeightTwips() const;
  void SetOuterHeightTwips(int twips);
  TrayIcon* tray() const { return tray_.get(); }

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void CreateControls();
  void CreateMenus();
  void ConnectHandlers();

  QString commandLine_;
  std::unique_ptr<TrayIcon> tray_;
  std::unique_ptr<KeywordListing> listing_;  // what the tree shows, entry by entry
};

// Twips in a device-independent pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int Px(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

}  // namespace zelkar
