#include "search/KeywordSearch.h"

#include "launch/core/KeywordOpen.h"
#include "launch/core/KeywordResolver.h"
#include "launch/core/LaunchResolver.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"

#include <QMimeDatabase>
#include <QRegularExpression>

#include <algorithm>

namespace zelkar::search {
namespace {

constexpr QLatin1String kExe(".exe");

}  // namespace

Query Query::fromText(const QString& text) {
  static const QRegularExpression blanks(QStringLiteral("\\s+"));
  return fromTerms(text.split(blanks, Qt::SkipEmptyParts));
}

Query Query::fromTerms(const QStringList& terms) {
  Query query;
  if (terms.isEmpty()) return query;
  query.keyword = terms.front();
  query.words = terms.mid(1);
  return query;
}

QList<Hit> FindKeywords(const Query& query, int limit) {
  QList<Hit> hits;
  if (query.keyword.isEmpty() || !launch::IsTypedKeywordName(query.keyword)) return hits;
  const QString wanted = query.keyword.toLower();
  if (!query.words.isEmpty()) {
    const QString target = launch::KeywordTarget(wanted);
    if (!target.isEmpty()) hits.append({wanted, target, true});
    return hits;
  }
  for (const QString& subkey : modRegEdit::EnumKeys(store::Hive::LocalMachine, kAppPathsKey)) {
    if (!subkey.endsWith(kExe, Qt::CaseInsensitive) || !subkey.startsWith(wanted, Qt::CaseInsensitive)) continue;
    const QString name = subkey.chopped(kExe.size()).toLower();
    if (launch::IsTypedKeywordName(name)) hits.append({name, QString(), name == wanted});
  }
  std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
    if (a.exact != b.exact) return a.exact;
    return a.name.size() < b.name.size();
  });
  if (hits.size() > limit) hits.resize(limit);
  for (Hit& hit : hits) hit.target = launch::KeywordTarget(hit.name);
  hits.removeIf([](const Hit& hit) { return hit.target.isEmpty(); });
  return hits;
}

QString IconName(const QString& target) {
  const QString usable = launch::UsableTarget(target);
  switch (KindOfTarget(usable)) {
    case TargetKind::InternetAddress:
      return QStringLiteral("text-html");
    case TargetKind::Broken:
      return QStringLiteral("image-missing");
    case TargetKind::Directory:
      break;
    case TargetKind::File: {
      const launch::LaunchAction action = launch::ResolveTarget(usable);
      if (action.kind == launch::LaunchAction::Start) return QStringLiteral("application-x-executable");
      return QMimeDatabase().mimeTypeForFile(usable).iconName();
    }
  }
  // A name found on PATH is a program too.
  if (launch::ResolveTarget(usable).kind == launch::LaunchAction::Start) return QStringLiteral("application-x-executable");
  return QStringLiteral("folder");
}

}  // namespace zelkar::search
