#pragma once

#include "launch/core/LaunchBackend.h"

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <cstdint>

namespace zelkar::search {

// One match as KRunner takes it: (sssida{sv}).
struct RemoteMatch {
  QString id;
  QString text;
  QString iconName;
  int type = 0;  // 100 exact, 30 possible
  double relevance = 0;
  QVariantMap properties;
};
// One action as KRunner takes it: (sss).
struct RemoteAction {
  QString id;
  QString text;
  QString iconName;
};

QDBusArgument& operator<<(QDBusArgument& argument, const RemoteMatch& match);
const QDBusArgument& operator>>(const QDBusArgument& argument, RemoteMatch& match);
QDBusArgument& operator<<(QDBusArgument& argument, const RemoteAction& action);
const QDBusArgument& operator>>(const QDBusArgument& argument, RemoteAction& action);

// The keyword search for the desktop's launchers, over the process's store:
// one object that KRunner and GNOME Shell both call. Choosing a keyword opens
// it as zelkar-open does, through `backend`.
class SearchService : public QObject {
  Q_OBJECT
 public:
  explicit SearchService(launch::LaunchBackend& backend, QObject* parent = nullptr);

  // Puts the service on the bus under its name and object path; false when
  // the name is taken or the object cannot be registered.
  bool registerOn(QDBusConnection connection);

  QList<RemoteMatch> match(const QString& query) const;
  void run(const QString& matchId) const;
  QStringList resultSet(const QStringList& terms) const;
  QList<QVariantMap> resultMetas(const QStringList& ids) const;
  void activate(const QString& id, const QStringList& terms) const;
  void launchWindow() const;

 private:
  // Reopens the store when its file was made or replaced since it was opened:
  // a long-running service must not answer from a file that is gone.
  void followStoreFile() const;
  void open(const QString& keyword, const QStringList& words) const;
  launch::LaunchBackend& backend_;
  mutable std::uint64_t storeFile_ = 0;  // device and inode of the file open, 0 for none
};

// org.kde.krunner1
class KRunnerAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.krunner1")
 public:
  explicit KRunnerAdaptor(SearchService* service);

 public slots:
  QList<zelkar::search::RemoteAction> Actions();
  QList<zelkar::search::RemoteMatch> Match(const QString& query);
  void Run(const QString& matchId, const QString& actionId);
  void Teardown();

 private:
  SearchService* service_;
};

// org.gnome.Shell.SearchProvider2
class GnomeSearchAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.gnome.Shell.SearchProvider2")
 public:
  explicit GnomeSearchAdaptor(SearchService* service);

 public slots:
  QStringList GetInitialResultSet(const QStringList& terms);
  QStringList GetSubsearchResultSet(const QStringList& previous, const QStringList& terms);
  QList<QVariantMap> GetResultMetas(const QStringList& ids);
  void ActivateResult(const QString& id, const QStringList& terms, uint timestamp);
  void LaunchSearch(const QStringList& terms, uint timestamp);

 private:
  SearchService* service_;
};

// Registers the D-Bus types above; once before any call.
void RegisterSearchTypes();

}  // namespace zelkar::search

Q_DECLARE_METATYPE(zelkar::search::RemoteMatch)
Q_DECLARE_METATYPE(zelkar::search::RemoteAction)
