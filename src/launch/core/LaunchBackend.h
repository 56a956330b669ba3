#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>
#include <vector>

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

// A request the launcher made of its backend.
struct LaunchRequest {
  enum Kind { Start, Open } kind = Start;
  QString program;  // Start: absolute path of the program
  QStringList arguments;
  QString workingDirectory;
  QUrl url;  // Open

  // The address as the desktop receives it (Open), for comparisons.
  QString urlText() const { return url.toString(QUrl::FullyEncoded); }
};

// Records every request instead of carrying it out, and answers with the
// results set here. Installs itself for its own lifetime.
class RecordingLaunchBackend final : public LaunchBackend {
 public:
  RecordingLaunchBackend();
  ~RecordingLaunchBackend() override;

  bool startDetached(const QString& program, const QStringList& arguments,
                     const QString& workingDirectory) override;
  bool openUrl(const QUrl& url) override;

  const std::vector<LaunchRequest>& requests() const { return requests_; }
  // The request when exactly one was made, else nothing.
  std::optional<LaunchRequest> only() const;
  void clear() { requests_.clear(); }

  // What the next requests answer (true: started / opened).
  bool startResult = true;
  bool openResult = true;

 private:
  std::vector<LaunchRequest> requests_;
  Scope scope_;
};

}  // namespace zelkar::launch
