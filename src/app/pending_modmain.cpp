// DEVELOPMENT SCAFFOLD: removed when start-up lands.
#include "app/modMain.h"

#include <QtGlobal>

namespace zelkar::modMain {
int Main(int, char**) { qFatal("not built yet"); }
QString JoinCommandLine(const QStringList&) { qFatal("not built yet"); }
void CenterForm(QWidget*) { qFatal("not built yet"); }
}  // namespace zelkar::modMain
