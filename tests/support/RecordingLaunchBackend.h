#pragma once

#include "launch/core/LaunchBackend.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <utility>
#include <vector>

namespace zelkar::launch {

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
  RecordingLaunchBackend() : scope_(*this) {}

  bool startDetached(const QString& program, const QStringList& arguments,
                     const QString& workingDirectory) override {
    requests_.push_back({LaunchRequest::Start, program, arguments, workingDirectory, {}});
    return startResult;
  }
  bool openUrl(const QUrl& url) override {
    requests_.push_back({LaunchRequest::Open, {}, {}, {}, url});
    return openResult;
  }

  const std::vector<LaunchRequest>& requests() const { return requests_; }
  void clear() { requests_.clear(); }

  // What the next requests answer (true: started / opened).
  bool startResult = true;
  bool openResult = true;

 private:
  std::vector<LaunchRequest> requests_;
  Scope scope_;
};

}  // namespace zelkar::launch
