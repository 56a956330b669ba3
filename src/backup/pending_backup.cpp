// DEVELOPMENT SCAFFOLD: definitions not built yet. Each one is removed when its
// real definition lands; this file must be gone before the work is done.
#include "app/frmMain.h"
#include <QtGlobal>

namespace zelkar {

void frmMain::ReformatZKB(const QString&) { qFatal("not built yet: %s", Q_FUNC_INFO); }
bool frmMain::LoadList(const QString&) { qFatal("not built yet: %s", Q_FUNC_INFO); }
bool frmMain::ImportList(const QString&) { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::tvw_OLEDragDrop(const QMimeData*) { qFatal("not built yet: %s", Q_FUNC_INFO); }
bool frmMain::SaveList() { qFatal("not built yet: %s", Q_FUNC_INFO); }
bool frmMain::Export(bool) { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuHMFE_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuKWMFE_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuKW_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::LoadMRU(const QString&) { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::DelMRU(std::int16_t) { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuMRU_Click(int) { qFatal("not built yet: %s", Q_FUNC_INFO); }
void frmMain::mnuList_Click() { qFatal("not built yet: %s", Q_FUNC_INFO); }

}  // namespace zelkar
