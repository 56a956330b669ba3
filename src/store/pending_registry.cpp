// DEVELOPMENT SCAFFOLD: removed when the registry store lands.
#include "store/RegistryStore.h"
#include "store/modRegEdit.h"

#include <QtGlobal>

namespace zelkar {
namespace store {
Value Value::fromString(const QString&, std::uint32_t) { qFatal("not built yet"); }
Value Value::fromDWord(std::uint32_t) { qFatal("not built yet"); }
StoreError::StoreError(const QString& file, const QString& reason)
    : std::runtime_error(reason.toStdString()), file_(file), reason_(reason) {}
struct RegistryStore::Impl {};
RegistryStore::RegistryStore(const StoreLocation&) { qFatal("not built yet"); }
RegistryStore::~RegistryStore() = default;
RegistryStore& RegistryStore::current() { qFatal("not built yet"); }
void RegistryStore::resetCurrent() {}
void RegistryStore::useLocation(const StoreLocation&) { qFatal("not built yet"); }
}  // namespace store
namespace modRegEdit {
QString GetString(Hive, const QString&, const QString&, const QString&) { qFatal("not built yet"); }
std::int32_t GetDWord(Hive, const QString&, const QString&, std::int32_t) { qFatal("not built yet"); }
void SaveString(Hive, const QString&, const QString&, const QString&) { qFatal("not built yet"); }
void SaveDWord(Hive, const QString&, const QString&, std::int32_t) { qFatal("not built yet"); }
QStringList EnumKeys(Hive, const QString&) { qFatal("not built yet"); }
void DeleteKey(Hive, const QString&) { qFatal("not built yet"); }
void RegWriteValue(const QString&, const QString&, std::int16_t) { qFatal("not built yet"); }
QString RegReadValue(const QString&) { qFatal("not built yet"); }
bool KeyExists(Hive, const QString&) { qFatal("not built yet"); }
}  // namespace modRegEdit
}  // namespace zelkar
