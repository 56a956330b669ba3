#pragma once

#include <QIcon>
#include <QStringList>

// The pictures of the window: the program's icon, the picture buttons and the
// tree's fixed images. The desktop's icon theme supplies them where it has an
// icon of that meaning; pictures drawn here stand in where it has none.
namespace zelkar::Pictures {

enum class Id {
  FindFile,    // cmdBrowse
  FindFolder,  // cmdDir
  Internet,    // cmdURL
  Register,    // cmdSave
  RunText,     // cmdRunTxt
  Clear,       // cmdClear
  Folder,      // tree "fld"
  Keywords,    // tree "key", the root node
  Broken,      // tree "uk"
  Path,        // tree "path"
  Address,     // tree "url"
};

// The freedesktop icon names that mean `id`, the preferred first.
QStringList ThemeNames(Id id);
// The theme's icon for `id`, or the picture of our own.
QIcon Themed(Id id);
// Our own picture, drawn at 16, 24 and 32 pixels.
QIcon Own(Id id);
// The program's icon, from its resources.
QIcon ProgramIcon();

}  // namespace zelkar::Pictures
