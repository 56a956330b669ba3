#pragma once

#include <QString>
#include <QStringList>

// zelkar-open's commands that put keywords where the desktop starts things.
// Each answers with zelkar-open's exit status; `program` is zelkar-open's own path.
namespace zelkar::tools {

// --sync: rebuilds the keyword folder and says which keywords it leaves out.
int SyncCommand(const QString& program);
// --desktop on|off|status.
int DesktopCommand(const QString& action, const QString& program);
// --bookmarks [FILE]: the keywords for internet addresses as a browser's bookmark file.
int BookmarksCommand(const QStringList& args);

}  // namespace zelkar::tools
