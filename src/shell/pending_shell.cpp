// DEVELOPMENT SCAFFOLD: definitions not built yet. Each one is removed when its
// real definition lands; this file must be gone before the work is done.
#include "app/frmMain.h"
#include <QtGlobal>

namespace zelkar {

void frmMain::LoadSettings() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::SaveSettings() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuLHS_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::tmrHide_Timer() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::tmrShow_Timer() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::Form_Unload(int&) { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::Form_Resize() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::SetTrayMode(bool) { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuHTOpen_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuHTNK_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuHTNF_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuHTU_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuHTA_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuHTExit_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuHA_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuHNF_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
int frmMain::OuterHeightTwips() const { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::SetOuterHeightTwips(int) { qFatal("not built yet: %s", Q_FUNC_INFO); }

}  // namespace zelkar
