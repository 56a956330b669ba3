#include "launch/core/LaunchBackend.h"

namespace zelkar::launch {
namespace {
LaunchBackend* g_installed = nullptr;
}

LaunchBackend* LaunchBackend::installed() { return g_installed; }

LaunchBackend::Scope::Scope(LaunchBackend& backend) : previous_(g_installed) { g_installed = &backend; }

LaunchBackend::Scope::~Scope() { g_installed = previous_; }

RecordingLaunchBackend::RecordingLaunchBackend() : scope_(*this) {}

RecordingLaunchBackend::~RecordingLaunchBackend() = default;

bool RecordingLaunchBackend::startDetached(const QString& program, const QStringList& arguments,
                                           const QString& workingDirectory) {
  LaunchRequest request;
  request.kind = LaunchRequest::Start;
  request.program = program;
  request.arguments = arguments;
  request.workingDirectory = workingDirectory;
  requests_.push_back(std::move(request));
  return startResult;
}

bool RecordingLaunchBackend::openUrl(const QUrl& url) {
  LaunchRequest request;
  request.kind = LaunchRequest::Open;
  request.url = url;
  requests_.push_back(std::move(request));
  return openResult;
}

std::optional<LaunchRequest> RecordingLaunchBackend::only() const {
  if (requests_.size() != 1) return std::nullopt;
  return requests_.front();
}

}  // namespace zelkar::launch
