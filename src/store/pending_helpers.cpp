// DEVELOPMENT SCAFFOLD: removed when the path helpers and keyword rules land.
#include "store/Keywords.h"
#include "store/PathHelpers.h"

#include <QtGlobal>

namespace zelkar {
bool HasExt(const QString&) { qFatal("not built yet"); }
QString AddExt(const QString&) { qFatal("not built yet"); }
bool FileExists(const QString&) { qFatal("not built yet"); }
namespace modMain {
QString FileProperty(const QString&, std::int16_t) { qFatal("not built yet"); }
QString GetSpecialFolder(std::int32_t) { qFatal("not built yet"); }
QString GetLongPath(const QString&) { qFatal("not built yet"); }
}  // namespace modMain
TargetKind KindOfTarget(const QString&) { qFatal("not built yet"); }
bool IsInternetAddress(const QString&) { qFatal("not built yet"); }
bool HasForbiddenKeywordChars(const QString&) { qFatal("not built yet"); }
QString ReplaceForbiddenKeywordChars(QString) { qFatal("not built yet"); }
QString WithExeSuffix(const QString&) { qFatal("not built yet"); }
QString ForbiddenKeywordCharsMessage() { qFatal("not built yet"); }
}  // namespace zelkar
