#include "app/Controls.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace zelkar {
namespace {

template <typename Event>
void AcceptFileDrags(Event* event) {
  // Only the desktop's file list is taken; everything else is refused here.
  if (event->mimeData() && event->mimeData()->hasUrls())
    event->acceptProposedAction();
  else
    event->ignore();
}

}  // namespace

int ShiftState(Qt::KeyboardModifiers modifiers) {
  int shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= 1;
  if (modifiers & Qt::ControlModifier) shift |= 2;
  if (modifiers & Qt::AltModifier) shift |= 4;
  return shift;
}

int MouseButtonCode(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return 1;
    case Qt::RightButton:
      return 2;
    case Qt::MiddleButton:
      return 4;
    default:
      return 0;
  }
}

int VirtualKeyCode(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return qtKey;  // same codes
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return qtKey;
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 112 + (qtKey - Qt::Key_F1);
  switch (qtKey) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
  }
}

void DropFrame::dragEnterEvent(QDragEnterEvent* event) { AcceptFileDrags(event); }
void DropFrame::dragMoveEvent(QDragMoveEvent* event) { AcceptFileDrags(event); }
void DropFrame::dropEvent(QDropEvent* event) {
  const QPoint p = event->position().toPoint();
  emit OLEDragDrop(event->mimeData(), static_cast<int>(event->dropAction()),
                   MouseButtonCode(Qt::LeftButton), ShiftState(event->modifiers()), p.x(), p.y());
  event->acceptProposedAction();
}

TargetLabel::TargetLabel(QWidget* parent) : QLabel(parent) {
  setAcceptDrops(true);
  setTextFormat(Qt::PlainText);
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Sunken);
  setTextInteractionFlags(Qt::NoTextInteraction);
}

void TargetLabel::setCaption(const QString& caption) {
  if (caption == text()) return;
  setText(caption);
  // A screen reader says "Target" and then the target itself.
  setAccessibleDescription(caption);
  emit Change();
}

void TargetLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  const QPoint p = event->position().toPoint();
  emit MouseUp(MouseButtonCode(event->button()), ShiftState(event->modifiers()), p.x(), p.y());
}

void TargetLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  QLabel::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit DblClick();
}

void TargetLabel::dragEnterEvent(QDragEnterEvent* event) { AcceptFileDrags(event); }
void TargetLabel::dragMoveEvent(QDragMoveEvent* event) { AcceptFileDrags(event); }
void TargetLabel::dropEvent(QDropEvent* event) {
  const QPoint p = event->position().toPoint();
  emit OLEDragDrop(event->mimeData(), static_cast<int>(event->dropAction()),
                   MouseButtonCode(Qt::LeftButton), ShiftState(event->modifiers()), p.x(), p.y());
  event->acceptProposedAction();
}

void KeywordBox::keyPressEvent(QKeyEvent* event) {
  emit KeyDown(VirtualKeyCode(event->key()), ShiftState(event->modifiers()));
  QLineEdit::keyPressEvent(event);
}

void KeywordBox::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  emit GotFocus();
}

}  // namespace zelkar
