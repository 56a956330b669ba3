#pragma once

#include <QIcon>
#include <QString>

namespace zelkar {
class ImageList;
}

// File icons for the keyword tree.
namespace zelkar::modICO {

// Adds the file's 16x16 icon to the image list under `key`, at the end: the
// program's own icon for an executable, else the icon of the file's type, from
// the desktop's icon theme; the style's file icon when the theme has none.
// Nothing is added when the key is empty or already in use.
void AddFileIcon(ImageList& imlTVW, const QString& path, const QString& key);

// The picture AddFileIcon adds for an existing file. The type comes from the
// file name's extension (all after its first "."); the content is looked at
// only for a file that neither its extension types nor can run. Types and
// pictures are looked up once and kept in the image list.
QIcon FilePicture(ImageList& imlTVW, const QString& path);

}  // namespace zelkar::modICO
