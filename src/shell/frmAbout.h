#pragma once

#include "app/ModalWindow.h"

#include <QDialog>
#include <QString>


class QLabel;
class QPushButton;

namespace zelkar {

// The About window: what a Run keyword is, the version history ("New
// Features") and the maker's web page ("Update").
class frmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit frmAbout(QWidget* parent = nullptr);
  ~frmAbout() override;

  QLabel* Image1 = nullptr;
  QLabel* lblAbout = nullptr;
  QPushButton* cmdNF = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdUpdate = nullptr;

  // Caption and text, then the window centred over the main window.
  void Form_Load();
  void cmdOK_Click();
  void cmdUpdate_Click();
  // Writes the version history and opens it in the desktop's text viewer. Works
  // on a window that is never shown.
  void cmdNF_Click();

  // "About Zelkar (v1.8)" and the About text.
  static QString Caption();
  static QString AboutText();

  // Opens a window over `owner`, waits until it closes and destroys it.
  static void ShowModal(QWidget* owner);

  using ModalHook = zelkar::ModalHook<frmAbout>;

  // The version history is written to the program's folder (else the per-user
  // cache folder) and read by the viewer on its own schedule, so it is removed
  // only at the next start: start-up calls this.
  static void RemoveNewFeaturesLeftover();
  // The folder the program runs from; tests put another in its place (empty:
  // the real one).
  static QString ProgramFolder();
  static void setProgramFolderForTests(const QString& folder);
};

}  // namespace zelkar
