#include "shell/WindowFrame.h"

#include <QWidget>

namespace zelkar::windowframe {
namespace {

std::optional<QMargins> g_testFrame;

}  // namespace

std::optional<QMargins> FrameOf(const QWidget& window) {
  if (g_testFrame) {
    if (!window.isVisible()) return std::nullopt;
    return g_testFrame;
  }
  const QRect outer = window.frameGeometry();
  const QRect inner = window.geometry();
  const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                       outer.bottom() - inner.bottom());
  // A frame without a title bar above is no window manager's (the offscreen
  // platform draws an even border of its own).
  if (frame.top() <= frame.bottom()) return std::nullopt;
  return frame;
}

void SetFrameForTests(std::optional<QMargins> frame) { g_testFrame = frame; }

}  // namespace zelkar::windowframe
