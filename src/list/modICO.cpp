#include "list/modICO.h"

#include "list/TreeView.h"

#include <QApplication>
#include <QFile>
#include <QMimeDatabase>
#include <QPixmap>
#include <QStyle>

#include <unistd.h>

namespace zelkar::modICO {
namespace {

constexpr int kIconSize = 16;

// Types of what the file manager would start rather than open with another program.
bool MayBeProgram(const QMimeType& type) {
  return type.isDefault() || type.inherits(QStringLiteral("application/x-executable")) ||
         type.inherits(QStringLiteral("application/x-pie-executable")) ||
         type.inherits(QStringLiteral("application/x-sharedlib")) ||
         type.inherits(QStringLiteral("application/x-shellscript"));
}

bool IsExecutable(const QString& path) { return ::access(QFile::encodeName(path).constData(), X_OK) == 0; }

QIcon FirstThemeIcon(const QStringList& names) {
  for (const QString& name : names)
    if (!name.isEmpty() && QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
  return {};
}

// The icon drawn once at the tree's size; images made from it share its pixels.
QIcon Small(const QIcon& icon) { return QIcon(icon.pixmap(QSize(kIconSize, kIconSize))); }

// A picture looked up once per load under `cacheKey`.
template <typename LookUp>
QIcon Cached(ImageList& images, const QString& cacheKey, LookUp lookUp) {
  QIcon picture = images.TypePicture(cacheKey);
  if (picture.isNull()) {
    picture = lookUp();
    images.SetTypePicture(cacheKey, picture);
  }
  return picture;
}

QIcon Fallback(ImageList& images) {
  return Cached(images, QStringLiteral("fallback"),
                [] { return Small(QApplication::style()->standardIcon(QStyle::SP_FileIcon)); });
}

// The icon of a file type from the theme, else the fallback.
QIcon TypeIcon(ImageList& images, const QMimeType& type, bool program) {
  const QString cacheKey = (program ? QStringLiteral("program-type:") : QStringLiteral("type:")) + type.name();
  return Cached(images, cacheKey, [&] {
    QStringList names{type.iconName(), type.genericIconName()};
    if (program) names << QStringLiteral("application-x-executable");
    const QIcon icon = Small(FirstThemeIcon(names));
    return icon.isNull() ? Fallback(images) : icon;
  });
}

// The type the extension names: what a file called "x." + suffix would be.
// The name before the extension decides nothing, so files that share an
// extension share one lookup.
const ImageList::SuffixType& TypeOfSuffix(ImageList& images, const QString& suffix) {
  if (const ImageList::SuffixType* known = images.FindSuffixType(suffix)) return *known;
  ImageList::SuffixType found;
  if (!suffix.isEmpty())
    found.type = QMimeDatabase().mimeTypeForFile(QStringLiteral("x.") + suffix, QMimeDatabase::MatchExtension);
  if (!found.type.isValid() || found.type.isDefault()) found.type = QMimeDatabase().mimeTypeForName(
      QStringLiteral("application/octet-stream"));
  found.mayBeProgram = MayBeProgram(found.type);
  images.SetSuffixType(suffix, found);
  return *images.FindSuffixType(suffix);
}

}  // namespace

QIcon FilePicture(ImageList& imlTVW, const QString& path) {
  const QString fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
  const qsizetype dot = fileName.indexOf(QLatin1Char('.'));
  const QString suffix = dot < 0 ? QString() : fileName.mid(dot + 1);
  const ImageList::SuffixType& known = TypeOfSuffix(imlTVW, suffix);

  if (known.mayBeProgram && IsExecutable(path)) {
    // A program installed with the desktop has a theme icon under its own name.
    const QMimeType& type = known.type;
    return Cached(imlTVW, QStringLiteral("program:") + type.name() + QLatin1Char('/') + fileName, [&] {
      QStringList names{fileName};
      const qsizetype last = fileName.lastIndexOf(QLatin1Char('.'));
      if (last > 0) names << fileName.left(last);
      const QIcon own = Small(FirstThemeIcon(names));
      return own.isNull() ? TypeIcon(imlTVW, type, true) : own;
    });
  }
  if (!known.type.isDefault()) return TypeIcon(imlTVW, known.type, false);
  // Neither typed by its name nor a program: what it holds tells.
  return TypeIcon(imlTVW, QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchContent), false);
}

void AddFileIcon(ImageList& imlTVW, const QString& path, const QString& key) {
  if (key.isEmpty() || imlTVW.Contains(key)) return;
  imlTVW.Add(key, FilePicture(imlTVW, path));
}

}  // namespace zelkar::modICO
