#include "search/SearchService.h"

#include "launch/core/DesktopSetup.h"
#include "launch/core/KeywordOpen.h"
#include "launch/core/KeywordResolver.h"
#include "search/KeywordSearch.h"

#include <QCoreApplication>
#include <QDBusMetaType>
#include <QDir>
#include <QFileInfo>

#include "store/RegistryStore.h"

#include <sys/stat.h>

#include <cstdio>

namespace zelkar::search {
namespace {

constexpr int kExactMatch = 100;
constexpr int kPossibleMatch = 30;

// A match id is the keyword and the words after it, as one text.
QString MatchId(const Hit& hit, const Query& query) {
  return (QStringList{hit.name} + query.words).join(QLatin1Char(' '));
}

}  // namespace

QDBusArgument& operator<<(QDBusArgument& argument, const RemoteMatch& match) {
  argument.beginStructure();
  argument << match.id << match.text << match.iconName << match.type << match.relevance << match.properties;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, RemoteMatch& match) {
  argument.beginStructure();
  argument >> match.id >> match.text >> match.iconName >> match.type >> match.relevance >> match.properties;
  argument.endStructure();
  return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const RemoteAction& action) {
  argument.beginStructure();
  argument << action.id << action.text << action.iconName;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, RemoteAction& action) {
  argument.beginStructure();
  argument >> action.id >> action.text >> action.iconName;
  argument.endStructure();
  return argument;
}

void RegisterSearchTypes() {
  qDBusRegisterMetaType<RemoteMatch>();
  qDBusRegisterMetaType<QList<RemoteMatch>>();
  qDBusRegisterMetaType<RemoteAction>();
  qDBusRegisterMetaType<QList<RemoteAction>>();
  qDBusRegisterMetaType<QList<QVariantMap>>();
}

SearchService::SearchService(launch::LaunchBackend& backend, QObject* parent) : QObject(parent), backend_(backend) {
  new KRunnerAdaptor(this);
  new GnomeSearchAdaptor(this);
}

bool SearchService::registerOn(QDBusConnection connection) {
  RegisterSearchTypes();
  return connection.registerObject(launch::kSearchObjectPath, this, QDBusConnection::ExportAdaptors) &&
         connection.registerService(launch::kSearchBusName);
}

void SearchService::followStoreFile() const {
  store::RegistryStore& current = store::RegistryStore::current();
  struct stat info {};
  const QByteArray file = QFile::encodeName(current.hiveFile(store::Hive::LocalMachine));
  const std::uint64_t identity =
      ::stat(file.constData(), &info) == 0 ? (std::uint64_t(info.st_dev) << 40) ^ std::uint64_t(info.st_ino) : 0;
  if (identity == storeFile_) return;
  if (storeFile_ != 0 || identity != 0) {
    const store::StoreLocation location = current.location();  // a copy: the store closes first
    store::RegistryStore::useLocation(location);
  }
  storeFile_ = identity;
}

QList<RemoteMatch> SearchService::match(const QString& text) const {
  followStoreFile();
  const Query query = Query::fromText(text);
  QList<RemoteMatch> matches;
  for (const Hit& hit : FindKeywords(query)) {
    RemoteMatch match;
    match.id = MatchId(hit, query);
    match.text = match.id;
    match.iconName = IconName(hit.target);
    match.type = hit.exact ? kExactMatch : kPossibleMatch;
    // A longer part of the name typed ranks higher; the exact name highest.
    match.relevance = hit.exact ? 1.0 : 0.5 + 0.4 * double(query.keyword.size()) / double(hit.name.size());
    match.properties.insert(QStringLiteral("subtext"), hit.target);
    match.properties.insert(QStringLiteral("category"), QStringLiteral("Zelkar keywords"));
    matches.append(match);
  }
  return matches;
}

void SearchService::run(const QString& matchId) const {
  const Query query = Query::fromText(matchId);
  open(query.keyword, query.words);
}

QStringList SearchService::resultSet(const QStringList& terms) const {
  followStoreFile();
  QStringList ids;
  for (const Hit& hit : FindKeywords(Query::fromTerms(terms))) ids.append(hit.name);
  return ids;
}

QList<QVariantMap> SearchService::resultMetas(const QStringList& ids) const {
  followStoreFile();
  QList<QVariantMap> metas;
  for (const QString& id : ids) {
    const QString target = launch::KeywordTarget(id);
    if (target.isEmpty()) continue;
    metas.append({{QStringLiteral("id"), id},
                  {QStringLiteral("name"), id},
                  {QStringLiteral("description"), target},
                  {QStringLiteral("gicon"), IconName(target)},
                  {QStringLiteral("clipboardText"), target}});
  }
  return metas;
}

void SearchService::activate(const QString& id, const QStringList& terms) const {
  // The terms are what was typed: the keyword (or its beginning), then words.
  open(id, Query::fromTerms(terms).words);
}

void SearchService::launchWindow() const {
  const QString window = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zelkar"));
  if (QFileInfo(window).isExecutable()) backend_.startDetached(window, {}, QString());
}

void SearchService::open(const QString& keyword, const QStringList& words) const {
  followStoreFile();
  const launch::KeywordOpening opening = launch::OpenKeyword(keyword, words, backend_);
  if (opening.result == launch::KeywordOpening::Started) return;
  // Nobody sees a failure here but the session's log.
  std::fprintf(stderr, "zelkar-search: the keyword '%s' did not open (%d) %s\n", qPrintable(keyword),
               int(opening.result), qPrintable(opening.target));
}

KRunnerAdaptor::KRunnerAdaptor(SearchService* service) : QDBusAbstractAdaptor(service), service_(service) {}

QList<RemoteAction> KRunnerAdaptor::Actions() { return {}; }

QList<RemoteMatch> KRunnerAdaptor::Match(const QString& query) { return service_->match(query); }

void KRunnerAdaptor::Run(const QString& matchId, const QString& actionId) {
  Q_UNUSED(actionId);
  service_->run(matchId);
}

void KRunnerAdaptor::Teardown() {}

GnomeSearchAdaptor::GnomeSearchAdaptor(SearchService* service) : QDBusAbstractAdaptor(service), service_(service) {}

QStringList GnomeSearchAdaptor::GetInitialResultSet(const QStringList& terms) { return service_->resultSet(terms); }

QStringList GnomeSearchAdaptor::GetSubsearchResultSet(const QStringList& previous, const QStringList& terms) {
  // Asked afresh: the store may have changed since.
  Q_UNUSED(previous);
  return service_->resultSet(terms);
}

QList<QVariantMap> GnomeSearchAdaptor::GetResultMetas(const QStringList& ids) { return service_->resultMetas(ids); }

void GnomeSearchAdaptor::ActivateResult(const QString& id, const QStringList& terms, uint timestamp) {
  Q_UNUSED(timestamp);
  service_->activate(id, terms);
}

void GnomeSearchAdaptor::LaunchSearch(const QStringList& terms, uint timestamp) {
  Q_UNUSED(terms);
  Q_UNUSED(timestamp);
  service_->launchWindow();
}

}  // namespace zelkar::search
