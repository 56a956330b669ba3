#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <QMimeData>

namespace zelkar {

// Qt's shift state as the program's handlers take it: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftState(Qt::KeyboardModifiers modifiers);
// Qt's mouse button as the handlers take it: 1 left, 2 right, 4 middle.
int MouseButtonCode(Qt::MouseButton button);

// A frame that accepts dropped files.
class DropFrame : public QGroupBox {
  Q_OBJECT
 public:
  using QGroupBox::QGroupBox;
 signals:
  void OLEDragDrop(const QMimeData* data, int Effect, int Button, int Shift, int X, int Y);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

// The target label: its caption is the target. Raises Change whenever the
// caption changes, and the mouse and drop events of its handlers.
class TargetLabel : public QLabel {
  Q_OBJECT
 public:
  explicit TargetLabel(QWidget* parent = nullptr);
  QString caption() const { return text(); }
  void setCaption(const QString& caption);
 signals:
  void Change();
  void DblClick();
  void MouseUp(int Button, int Shift, int X, int Y);
  void OLEDragDrop(const QMimeData* data, int Effect, int Button, int Shift, int X, int Y);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

// The keyword box: raises KeyDown before a key is handled and GotFocus when it
// takes the focus; its text changes arrive through textChanged.
class KeywordBox : public QLineEdit {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;
 signals:
  void KeyDown(int KeyCode, int Shift);
  void GotFocus();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
};

// Windows virtual-key code of a Qt key (8 Backspace, 46 Delete, 13 Enter, ...).
int VirtualKeyCode(int qtKey);

}  // namespace zelkar
