#pragma once

#include "app/ModalWindow.h"

#include <QDialog>
#include <QString>
#include <QStringList>


class QLabel;
class QLineEdit;
class QMimeData;
class QPushButton;

namespace zelkar {

class frmMain;

// The internet address window: the typed address becomes the main window's
// target. Created afresh for every use; it keeps nothing itself.
class frmURL : public QDialog {
  Q_OBJECT

 public:
  explicit frmURL(frmMain* owner);
  ~frmURL() override;

  QLabel* Label1 = nullptr;
  QLineEdit* txtURL = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdCancel = nullptr;

  void Form_Load();
  void cmdOK_Click();
  void cmdCancel_Click();
  // Every part of the window takes a dropped internet shortcut alike.
  void Form_OLEDragDrop(const QMimeData* Data);
  void Label1_OLEDragDrop(const QMimeData* Data) { Form_OLEDragDrop(Data); }
  void txtURL_OLEDragDrop(const QMimeData* Data) { Form_OLEDragDrop(Data); }
  void cmdOK_OLEDragDrop(const QMimeData* Data) { Form_OLEDragDrop(Data); }
  void cmdCancel_OLEDragDrop(const QMimeData* Data) { Form_OLEDragDrop(Data); }

  // The addresses the completion offers: those of the registered internet
  // keywords, then those entered in this window before (kept by the owner).
  QStringList CompletionSources() const;

  // Opens a new window over `owner`, waits until it closes and destroys it.
  static void ShowModal(frmMain* owner);

  using ModalHook = zelkar::ModalHook<frmURL>;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RememberAddress(const QString& address);

  frmMain* owner_;
};

}  // namespace zelkar
