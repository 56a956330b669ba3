// DEVELOPMENT SCAFFOLD: definitions not built yet. Each one is removed when its
// real definition lands; this file must be gone before the work is done.
#include "app/frmMain.h"
#include <QtGlobal>

namespace zelkar {

bool frmMain::SaveKeyword(const QString&, const QString&, bool) { qFatal("not built yet: %s", Q_FUNC_INFO); }
bool frmMain::DeleteKeyword(const QString&, bool) { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::DeleteKeywords() { qFatal("not built yet: %s", Q_FUNC_INFO); }
QString frmMain::ClearQuotes(const QString&, const QString&) { qFatal("not built yet: %s", Q_FUNC_INFO); }
bool frmMain::FixVarPath(const QString&, const QString&) { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::DoCommandLine() { qFatal("not built yet: %s", Q_FUNC_INFO); }

}  // namespace zelkar
