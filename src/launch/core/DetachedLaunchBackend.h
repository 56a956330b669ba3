#pragma once

#include "launch/core/LaunchBackend.h"

namespace zelkar::launch {

// Launches without a window system connection, for the command-line tools:
// programs are started detached; files, folders and addresses go to the
// desktop's opener, xdg-open, started detached with the address (file:// for
// local files) as its only argument, so no text is ever taken for an option.
class DetachedLaunchBackend : public LaunchBackend {
 public:
  bool startDetached(const QString& program, const QStringList& arguments, const QString& workingDirectory) override;
  // False when xdg-open is not installed or could not be started.
  bool openUrl(const QUrl& url) override;
};

}  // namespace zelkar::launch
