#pragma once

#include <QString>

#include <optional>

class QMimeData;

namespace zelkar {

// The first local file of a dropped file list; nothing when the data carries
// no local file (plain text, web links, other formats).
std::optional<QString> FirstDroppedFile(const QMimeData* data);

// Whether a file name is an internet shortcut (".url", any letter case).
bool IsInternetShortcut(const QString& file);

// The address an internet shortcut points at; "" when it holds none.
QString ShortcutAddress(const QString& file);
// The same, but nothing when the file cannot be a shortcut at all: not a
// regular file, larger than a shortcut ever is, or unreadable.
std::optional<QString> ReadShortcut(const QString& file);

}  // namespace zelkar
