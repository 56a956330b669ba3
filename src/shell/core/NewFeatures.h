#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The version history that the About window's "New Features" shows: a text file
// written for the desktop's text viewer and removed at the next start.
namespace zelkar::newfeatures {

inline const QString kFileName = QStringLiteral("New Features");

// The lines of the file, without their line ends.
QStringList Lines();
// The file's bytes: every line ended by CR LF.
QByteArray Content();

// The per-user cache folder that takes the file when the program's folder
// cannot: $XDG_CACHE_HOME/zelkar (~/.cache/zelkar).
QString CacheFolder();

// Writes the file into the program's folder, else into the cache folder. A
// leftover (read-only, or a link) is replaced. Returns the path written, or
// an empty text when neither place took it.
QString Write(const QString& programFolder);

// Removes the file an earlier run left in either place.
void RemoveLeftover(const QString& programFolder);

}  // namespace zelkar::newfeatures
