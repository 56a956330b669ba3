#include "launch/core/LaunchBackend.h"

namespace zelkar::launch {
namespace {
LaunchBackend* g_installed = nullptr;
}

LaunchBackend* LaunchBackend::installed() { return g_installed; }

LaunchBackend::Scope::Scope(LaunchBackend& backend) : previous_(g_installed) { g_installed = &backend; }

LaunchBackend::Scope::~Scope() { g_installed = previous_; }

}  // namespace zelkar::launch
