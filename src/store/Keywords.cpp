#include "store/Keywords.h"

#include "store/PathHelpers.h"

#include <QDir>

namespace zelkar {

TargetKind KindOfTarget(const QString& target) { return KindOfTarget(target, FileExists(target)); }

TargetKind KindOfTarget(const QString& target, bool fileExists) {
  // A relative target names no file: the current folder is never looked in.
  if (fileExists && QDir::isAbsolutePath(target)) return TargetKind::File;
  // An address holds "/" and a "." and would otherwise pass for a missing file,
  // which Clean Up deletes.
  if (IsInternetAddress(target)) return TargetKind::InternetAddress;
  // An address with its prefix in capitals is no internet keyword, but no
  // missing file either: like any text without a path it counts as a directory.
  if (LooksLikeAddress(target)) return TargetKind::Directory;
  if (HasExt(target)) return TargetKind::Broken;
  return TargetKind::Directory;
}

QString WithoutEnclosingQuotes(const QString& text) {
  QString t = text;
  if (t.startsWith(QLatin1Char('"'))) t.remove(0, 1);
  if (t.endsWith(QLatin1Char('"'))) t.chop(1);
  return t;
}

bool LooksLikeAddress(const QString& target) {
  return target.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
         target.startsWith(QLatin1String("https://"), Qt::CaseInsensitive) ||
         target.startsWith(QLatin1String("www."), Qt::CaseInsensitive);
}

bool IsInternetAddress(const QString& target) {
  return target.startsWith(QLatin1String("http://")) || target.startsWith(QLatin1String("https://")) ||
         target.startsWith(QLatin1String("www."));
}

bool HasForbiddenKeywordChars(const QString& name) {
  for (const QChar c : kForbiddenKeywordChars)
    if (name.contains(c)) return true;
  return false;
}

QString ReplaceForbiddenKeywordChars(QString name) {
  for (const QChar c : kForbiddenKeywordChars) name.replace(c, QLatin1Char('_'));
  return name;
}

QString WithExeSuffix(const QString& name) {
  if (name.right(4).compare(QLatin1String(".exe"), Qt::CaseInsensitive) == 0) return name;
  return name + QStringLiteral(".exe");
}

QString ForbiddenKeywordCharsMessage() {
  return QStringLiteral("Keywords may not contain any of the following:\r\n"
                        "Spaces, \\, /, :, *, ?, \", <, >, |");
}

}  // namespace zelkar
