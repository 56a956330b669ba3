#include "tools/Bookmarks.h"

#include "launch/core/KeywordResolver.h"
#include "launch/core/LaunchResolver.h"

namespace zelkar::tools {
namespace {

QByteArray Escaped(const QString& text) { return text.toHtmlEscaped().toUtf8(); }

}  // namespace

QByteArray BookmarkFile(const QList<launch::KeywordEntry>& keywords) {
  QByteArray file =
      "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
      "<TITLE>Bookmarks</TITLE>\n"
      "<H1>Bookmarks</H1>\n"
      "<DL><p>\n"
      "    <DT><H3>Zelkar keywords</H3>\n"
      "    <DL><p>\n";
  for (const launch::KeywordEntry& keyword : keywords) {
    const QString target = launch::UsableTarget(keyword.target);
    const QUrl url = launch::InternetAddress(target);
    if (url.isEmpty() || !(url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")))
      continue;
    // The address as written ("www." gets its scheme), so that "%s" stays.
    QString address = target;
    if (address.startsWith(QLatin1String("www."), Qt::CaseInsensitive)) address.prepend(QStringLiteral("http://"));
    const QString name = keyword.name.toLower();
    file += "        <DT><A HREF=\"" + Escaped(address) + "\" SHORTCUTURL=\"" + Escaped(name) + "\">" +
            Escaped(name) + "</A>\n";
  }
  file += "    </DL><p>\n</DL><p>\n";
  return file;
}

}  // namespace zelkar::tools
