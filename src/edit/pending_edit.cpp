// DEVELOPMENT SCAFFOLD: definitions not built yet. Each one is removed when its
// real definition lands; this file must be gone before the work is done.
#include "app/frmMain.h"
#include <QtGlobal>

namespace zelkar {

void frmMain::cmdSave_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::cmdRename_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::tvw_AfterLabelEdit(int&, QString&) { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuRHRegister_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuRHRestore_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::cmdDelete_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuKWCU_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuKWDA_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::cmdBrowse_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::cmdDir_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::cmdURL_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::cmdClear_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::cmdRefresh_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::lblPath_Change() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::lblPath_DblClick() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::lblPath_MouseUp(int, int, int, int) { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::fraTarget_OLEDragDrop(const QMimeData*) { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::lblPath_OLEDragDrop(const QMimeData*) { qFatal("not built yet: %s", Q_FUNC_INFO); }

}  // namespace zelkar
