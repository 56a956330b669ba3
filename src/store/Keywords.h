#pragma once

#include <QString>

namespace zelkar {

// Where keyword entries live.
inline const QString kAppPathsKey =
    QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\");
inline const QString kAppPathsFull =
    QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\");
// The program's own settings below HKEY_CURRENT_USER.
inline const QString kSettingsKey = QStringLiteral("Software\\Orbrin\\Zelkar");

enum class TargetKind { File, Broken, InternetAddress, Directory };

// The kind of a target text (after its quotes and folder variables are dealt
// with): an existing file named by an absolute path, then an internet address ("http://", "https://",
// "www."), then broken (a path with an extension), else a directory.
TargetKind KindOfTarget(const QString& target);
// The same when whether FileExists holds is already known.
TargetKind KindOfTarget(const QString& target, bool fileExists);

// The text without one double quote at its start and one at its end.
QString WithoutEnclosingQuotes(const QString& text);

// True when the text begins with "http://", "https://" or "www." (case-sensitive).
bool IsInternetAddress(const QString& target);
// The same prefixes in any letter case.
bool LooksLikeAddress(const QString& target);

// The ten characters a keyword may not contain, in the order they are replaced.
inline const QString kForbiddenKeywordChars = QStringLiteral(" \\/:*?\"<>|");
bool HasForbiddenKeywordChars(const QString& name);
// Each forbidden character replaced by "_".
QString ReplaceForbiddenKeywordChars(QString name);
// ".exe" appended unless the name ends in ".exe" in any letter case.
QString WithExeSuffix(const QString& name);

// "Keywords may not contain any of the following:" message of Register and Rename.
QString ForbiddenKeywordCharsMessage();

}  // namespace zelkar
