#include "store/PathHelpers.h"

#include "store/modRegEdit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

#include <sys/stat.h>

#include <algorithm>
#include <exception>

namespace zelkar {
namespace {

// Paths written on the original platform use "\"; both separate folders here.
qsizetype LastSeparator(const QString& s) {
  return std::max(s.lastIndexOf(QLatin1Char('/')), s.lastIndexOf(QLatin1Char('\\')));
}

bool IsSeparator(QChar c) { return c == QLatin1Char('/') || c == QLatin1Char('\\'); }

bool HasWildcard(const QString& s) {
  return s.contains(QLatin1Char('*')) || s.contains(QLatin1Char('?'));
}

bool IsHiddenName(const QString& name) { return name.startsWith(QLatin1Char('.')); }

// A regular file, or a link that leads to one.
bool IsRegularFile(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

// "*" any run of characters, "?" exactly one; everything else literal.
bool WildcardMatch(QStringView pattern, QStringView name) {
  qsizetype p = 0, n = 0, starP = -1, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == QLatin1Char('?') || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
      starP = p++;
      starN = n;
    } else if (starP >= 0) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == QLatin1Char('*')) ++p;
  return p == pattern.size();
}

// A pattern is searched in its own folder; the folder part itself is taken literally.
bool PatternMatchesFile(const QString& Fname) {
  const qsizetype sep = LastSeparator(Fname);
  const QString folder = sep < 0 ? QStringLiteral(".") : (sep == 0 ? Fname.left(1) : Fname.left(sep));
  const QString pattern = Fname.mid(sep + 1);
  const QDir dir(folder);
  if (!dir.exists()) return false;
  const QStringList names = dir.entryList(QDir::Files | QDir::NoDotAndDotDot);
  for (const QString& name : names) {
    if (IsHiddenName(name) || !WildcardMatch(pattern, name)) continue;
    if (IsRegularFile(dir.filePath(name))) return true;
  }
  return false;
}

QString AbsoluteCleanPath(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

// The extension as the type registrations know it: after the name's last ".".
QString Extension(const QString& fileName) {
  const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
  return dot <= 0 ? QString() : fileName.mid(dot + 1);
}

QString TypeDescription(const QString& path) {
  const QFileInfo info(path);
  const QString ext = Extension(info.fileName());
  if (!ext.isEmpty()) {
    const QString root = QStringLiteral("HKEY_CLASSES_ROOT\\");
    const QString fileClass = modRegEdit::RegReadValue(root + QLatin1Char('.') + ext + QLatin1Char('\\'));
    if (!fileClass.isEmpty()) {
      const QString description = modRegEdit::RegReadValue(root + fileClass + QLatin1Char('\\'));
      if (!description.isEmpty()) return description;
    }
  }
  const QString comment = QMimeDatabase().mimeTypeForFile(info).comment();
  if (!comment.isEmpty()) return comment;
  // How the shell names a type nobody described.
  return ext.isEmpty() ? QStringLiteral("File") : ext.toUpper() + QStringLiteral(" File");
}

}  // namespace

bool HasExt(const QString& s) {
  const qsizetype sep = LastSeparator(s);
  return sep >= 0 && s.indexOf(QLatin1Char('.'), sep) >= 0;
}

QString AddExt(const QString& s) {
  const qsizetype dot = s.indexOf(QLatin1Char('.'));
  return (dot < 0 ? s : s.left(dot)) + QStringLiteral(".exe");
}

bool FileExists(const QString& Fname) {
  if (Fname.isEmpty() || IsSeparator(Fname.back())) return false;
  if (HasWildcard(Fname)) return PatternMatchesFile(Fname);
  const QString name = Fname.mid(LastSeparator(Fname) + 1);
  return !IsHiddenName(name) && IsRegularFile(Fname);
}

FileLook LookAtFile(const QString& Fname) {
  FileLook look;
  look.longPath = Fname;
  if (Fname.isEmpty() || IsSeparator(Fname.back())) return look;
  // The current folder never supplies a target, so a relative name is shown as stored.
  if (!Fname.startsWith(QLatin1Char('/'))) return look;
  if (HasWildcard(Fname)) {
    look.exists = PatternMatchesFile(Fname);
    look.longPath = modMain::FileProperty(Fname, modMain::property::LongPath);
    return look;
  }
  if (!IsRegularFile(Fname)) return look;
  look.longPath = QDir::cleanPath(Fname);
  look.exists = !IsHiddenName(Fname.mid(LastSeparator(Fname) + 1));
  return look;
}

namespace modMain {

QString FileProperty(const QString& path, std::int16_t kind) {
  try {
    // Only an existing file has properties; "foo/" never names one.
    if (path.isEmpty() || IsSeparator(path.back()) || !IsRegularFile(path)) return path;
    switch (kind) {
      case property::Name:
      case property::ShortName:
        return QFileInfo(path).fileName();
      case property::ParentFolder:
        return QDir::cleanPath(QFileInfo(AbsoluteCleanPath(path)).absolutePath());
      case property::Path:
      case property::ShortPath:
        return AbsoluteCleanPath(path);
      case property::Type:
        return TypeDescription(path);
      case property::LongPath:
        return GetLongPath(path);
      default:
        return path;
    }
  } catch (const std::exception&) {
    return path;
  }
}

QString GetSpecialFolder(std::int32_t id) {
  switch (id) {
    case 38:
      return QStringLiteral("/opt");
    case 36:
      return QStringLiteral("/usr");
    default:
      return QStringLiteral("???");
  }
}

QString GetLongPath(const QString& path) {
  if (path.isEmpty() || !QFileInfo::exists(path)) return QString();
  return AbsoluteCleanPath(path);
}

}  // namespace modMain
}  // namespace zelkar
