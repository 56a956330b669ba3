#pragma once

#include <QString>
#include <QStringList>

// The per-user desktop's view of Zelkar: the backup file type, the menu entry
// whose Load and Import actions start the running program with a backup file,
// and the program's icon in the user's icon theme.
namespace zelkar::desktop {

// Where the files go, relative to the user's data folder ($XDG_DATA_HOME).
inline constexpr const char* kMimePackageFile = "mime/packages/example.orbrin.zelkar.xml";
inline constexpr const char* kDesktopEntryFile = "applications/example.orbrin.zelkar.desktop";
// The desktop entry's name without ".desktop": the window's Wayland app id.
inline constexpr const char* kDesktopFileName = "example.orbrin.zelkar";
inline constexpr const char* kIconFile = "icons/hicolor/scalable/apps/zelkar.svg";
// The icon is taken from the program's resources once they are registered.
inline constexpr const char* kIconResource = ":/zelkar/zelkar.svg";

// How the desktop's caches are brought up to date: the program's start never
// waits for them; tests do.
enum class Refresh { Detached, Wait };

struct Outcome {
  bool mimePackageWritten = false;
  bool desktopEntryWritten = false;
  bool desktopEntryRemoved = false;  // an installed entry starts the program
  bool iconWritten = false;
  QStringList toolsStarted;  // the cache programs that were run, by name
};

// Makes sure the user's desktop knows the backup file type and opens it with
// `executable`. When an installed desktop entry (in $XDG_DATA_DIRS) already
// starts `executable`, no per-user entry is written to hide it, and one this
// program wrote before is removed. Files are rewritten only when their content differs; the cache
// programs run only when something they cover changed or their cache is older.
// Never fails: whatever cannot be written is left as it is.
Outcome Integrate(const QString& executable, Refresh refresh = Refresh::Detached);

// The shared-mime-info package of the backup file type.
QByteArray MimePackage();
// The desktop entry whose commands start `executable`.
QByteArray DesktopEntry(const QString& executable);
// One argument of a desktop entry's Exec key, quoted where the desktop entry
// rules require it (before the key's own string escapes).
QString ExecArgument(const QString& argument);

}  // namespace zelkar::desktop
