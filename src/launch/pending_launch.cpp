// DEVELOPMENT SCAFFOLD: definitions not built yet. Each one is removed when its
// real definition lands; this file must be gone before the work is done.
#include "app/frmMain.h"
#include <QtGlobal>

namespace zelkar {

void frmMain::cmdRun_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuHOCF_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::cmdRunTxt_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuTR_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuHU_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuHRB_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::txtExe_Change() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::txtExe_KeyDown(int, int) { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::txtExe_GotFocus() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::EnableNodeButtons() { qFatal("not built yet: %s", Q_FUNC_INFO); }

}  // namespace zelkar
