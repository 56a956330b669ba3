#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace zelkar::launch {

// The last step of every launch: starting a process or handing a file, folder
// or address to the desktop. The program uses the desktop's (modShellExe);
// tests install one that records what would have been started.
class LaunchBackend {
 public:
  virtual ~LaunchBackend() = default;

  // Starts `program` (an absolute path) with `arguments`, each one argument of
  // its own, never through a command interpreter. An empty working directory
  // keeps the program's own. True when the process was started.
  virtual bool startDetached(const QString& program, const QStringList& arguments,
                             const QString& workingDirectory) = 0;
  // Opens the address (or the file:// URL of a file or folder) with the
  // desktop's application for it. True when the desktop took it.
  virtual bool openUrl(const QUrl& url) = 0;

  // The installed backend, or nullptr when none is (then the desktop's serves).
  static LaunchBackend* installed();

  // Installs `backend` for the lifetime of the scope object.
  class Scope {
   public:
    explicit Scope(LaunchBackend& backend);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    LaunchBackend* previous_;
  };
};

}  // namespace zelkar::launch
