#pragma once

#include <QString>

#include <cstdint>

namespace zelkar {

// True when s holds a path separator ("/" or "\") and a "." after the last one.
bool HasExt(const QString& s);
// The text before the first "." (or all of s) followed by ".exe".
QString AddExt(const QString& s);
// True when Fname names an existing ordinary file: not empty, no trailing
// separator, not a directory, not hidden (name beginning with "."), not a
// device, socket or pipe. A name with "*" or "?" is searched as a pattern.
bool FileExists(const QString& Fname);

// FileExists and the text FileProperty gives for kind LongPath, from one look
// at the file system.
struct FileLook {
  bool exists = false;  // as FileExists; a relative name is never looked for
  QString longPath;     // as FileProperty(path, LongPath)
};
FileLook LookAtFile(const QString& Fname);

namespace modMain {

// FileProperty kinds.
namespace property {
constexpr std::int16_t Name = 6;
constexpr std::int16_t ParentFolder = 7;
constexpr std::int16_t Path = 8;
constexpr std::int16_t ShortName = 9;
constexpr std::int16_t ShortPath = 10;
constexpr std::int16_t Type = 12;
constexpr std::int16_t LongPath = 13;
}  // namespace property

// One property of an existing file; the path itself, unchanged, on any failure
// (a directory, an internet address, a missing file, empty text).
QString FileProperty(const QString& path, std::int16_t kind);

// Special folders: 38 program files (/opt), 36 the system folder (/usr); "???"
// for any other id.
QString GetSpecialFolder(std::int32_t id);

// The absolute, cleaned form of an existing path; empty when it does not exist.
QString GetLongPath(const QString& path);

}  // namespace modMain
}  // namespace zelkar
