#pragma once

#include <QMargins>

#include <optional>

class QWidget;

namespace zelkar::windowframe {

// The frame the window manager put around the window: its margins once known,
// nothing before (or without a window manager).
std::optional<QMargins> FrameOf(const QWidget& window);

// Tests stand in for a window manager: the frame every shown window gets from
// then on (nothing: the platform's own again).
void SetFrameForTests(std::optional<QMargins> frame);

}  // namespace zelkar::windowframe
