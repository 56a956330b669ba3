// DEVELOPMENT SCAFFOLD: removed when the profile layer lands.
#include "backup/core/BackupFormat.h"
#include "backup/core/modINI.h"

#include <QtGlobal>

namespace zelkar {
namespace modINI {
std::int16_t WriteINI(const QString&, const QString&, const QString&, const QString&) { qFatal("not built yet"); }
QString ReadINI(const QString&, const QString&, const QString&) { qFatal("not built yet"); }
struct Batch::Impl {};
Batch::Batch(const QString&) { qFatal("not built yet"); }
Batch::~Batch() = default;
bool Batch::flush() { qFatal("not built yet"); }
bool Batch::ok() const { qFatal("not built yet"); }
}  // namespace modINI
namespace backup {
std::optional<std::int16_t> ProfileNumber(const QString&) { qFatal("not built yet"); }
bool ReadOldFormatRecords(const QString&, const std::function<void(const QString&, const QString&)>&, QString*) { qFatal("not built yet"); }
}  // namespace backup
}  // namespace zelkar
