#include "edit/DroppedFiles.h"

#include "backup/core/UserFile.h"
#include "backup/core/modINI.h"

#include <QMimeData>
#include <QUrl>

namespace zelkar {

std::optional<QString> FirstDroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return std::nullopt;
  const QList<QUrl> urls = data->urls();
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) continue;
    const QString file = url.toLocalFile();
    if (!file.isEmpty()) return file;
  }
  return std::nullopt;
}

bool IsInternetShortcut(const QString& file) {
  return file.right(4).compare(QLatin1String(".url"), Qt::CaseInsensitive) == 0;
}

QString ShortcutAddress(const QString& file) { return ReadShortcut(file).value_or(QString()); }

std::optional<QString> ReadShortcut(const QString& file) {
  return modINI::ReadINIWithin(QStringLiteral("InternetShortcut"), QStringLiteral("URL"), file, kShortcutFileLimit);
}

}  // namespace zelkar
