#include "list/modICO.h"

#include "list/TreeView.h"

#include <QApplication>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPixmap>
#include <QStyle>

namespace zelkar::modICO {
namespace {

constexpr int kIconSize = 16;

// What the file manager would start rather than open with another program.
bool IsProgram(const QFileInfo& file, const QMimeType& type) {
  if (!file.isExecutable()) return false;
  return type.isDefault() || type.inherits(QStringLiteral("application/x-executable")) ||
         type.inherits(QStringLiteral("application/x-pie-executable")) ||
         type.inherits(QStringLiteral("application/x-sharedlib")) ||
         type.inherits(QStringLiteral("application/x-shellscript"));
}

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

}  // namespace

void AddFileIcon(ImageList& imlTVW, const QString& path, const QString& key) {
  if (key.isEmpty() || imlTVW.Contains(key)) return;
  const QFileInfo file(path);
  const QMimeDatabase mimes;
  QMimeType type = mimes.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
  if (type.isDefault()) type = mimes.mimeTypeForFile(file, QMimeDatabase::MatchContent);

  QIcon picture;
  if (IsProgram(file, type)) {
    // A program installed with the desktop has a theme icon under its own name.
    picture = Cached(imlTVW, QStringLiteral("program:") + file.absoluteFilePath(), [&] {
      const QIcon own = Small(FirstThemeIcon({file.fileName(), file.completeBaseName()}));
      return own.isNull() ? TypeIcon(imlTVW, type, true) : own;
    });
  } else {
    picture = TypeIcon(imlTVW, type, false);
  }
  imlTVW.Add(key, picture);
}

}  // namespace zelkar::modICO
