// zelkar-search as KRunner and GNOME Shell call it, on a private session bus.
#include "support/WindowTest.h"

#include "launch/core/DesktopSetup.h"
#include "search/SearchService.h"

#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QDir>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QProcess>
#include <QThread>

#include <memory>

namespace zelkar::test {
namespace {

using search::RemoteMatch;

const QString kKRunner = "org.kde.krunner1";
const QString kGnome = "org.gnome.Shell.SearchProvider2";

class SearchTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    bus_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    ASSERT_TRUE(bus_.waitForReadyRead(10000)) << "dbus-daemon (package dbus) did not start";
    const QString address = QString::fromUtf8(bus_.readLine().trimmed());
    serving_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, "serving"));
    client_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, "client"));
    service_ = std::make_unique<search::SearchService>(backend);
    ASSERT_TRUE(service_->registerOn(*serving_));
  }
  void TearDown() override {
    service_.reset();
    serving_.reset();
    client_.reset();
    QDBusConnection::disconnectFromBus("serving");
    QDBusConnection::disconnectFromBus("client");
    bus_.kill();
    bus_.waitForFinished();
    WindowTest::TearDown();
  }
  // A call as the desktop makes it; the service answers from this thread's event loop.
  QVariant Call(const QString& interface, const QString& method, const QVariantList& args) {
    QDBusMessage call = QDBusMessage::createMethodCall(launch::kSearchBusName, launch::kSearchObjectPath, interface, method);
    call.setArguments(args);
    QDBusPendingCallWatcher watcher(client_->asyncCall(call, 5000));
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!watcher.isFinished()) loop.exec();
    EXPECT_EQ(watcher.reply().type(), QDBusMessage::ReplyMessage) << qPrintable(watcher.reply().errorMessage());
    return watcher.reply().arguments().value(0);
  }
  // "id|text|icon|type|relevance|subtext" per match.
  QStringList Match(const QString& query) {
    QStringList rows;
    for (const RemoteMatch& m : qdbus_cast<QList<RemoteMatch>>(Call(kKRunner, "Match", {query})))
      rows << QStringLiteral("%1|%2|%3|%4|%5|%6").arg(m.id, m.text, m.iconName).arg(m.type).arg(m.relevance, 0, 'f', 2)
                  .arg(m.properties.value("subtext").toString());
    return rows;
  }

  std::unique_ptr<QDBusConnection> serving_, client_;
  std::unique_ptr<search::SearchService> service_;

 private:
  QProcess bus_;
};

TEST_F(SearchTest, KRunnerAndGnomeListRankAndOpenKeywordsFromTheStoreAsItIsNow) {
  const QString script = MakeScript("pad");
  const QString notes = MakeFile("notes.txt");
  Put("No.exe", dir());
  Put("notes.exe", notes);
  Put("notepad.exe", script);
  Put("wiki.exe", "https://en.wikipedia.org/wiki/%s");

  EXPECT_EQ(Match("no"), (QStringList{"no|no|folder|100|1.00|" + dir(), "notes|notes|text-plain|30|0.66|" + notes,
                                      "notepad|notepad|application-x-executable|30|0.61|" + script}));
  EXPECT_EQ(Match("wiki linux kernel"),
            QStringList{"wiki linux kernel|wiki linux kernel|text-html|100|1.00|https://en.wikipedia.org/wiki/%s"});
  EXPECT_EQ(Match("wik linux"), QStringList());  // words follow a whole keyword only
  Put("nova.exe", dir());                        // no stale list
  EXPECT_EQ(Match("nov").size(), 1);

  Call(kKRunner, "Run", {"wiki linux kernel", QString()});
  EXPECT_EQ(Recorded(), "open https://en.wikipedia.org/wiki/linux%20kernel");
  backend.clear();
  Call(kKRunner, "Run", {"notes more", QString()});  // a document takes no words
  Call(kGnome, "LaunchSearch", {QStringList{"no"}, QVariant::fromValue(0u)});  // no window beside this program
  EXPECT_EQ(Recorded(), "none");
  EXPECT_TRUE(qdbus_cast<QList<search::RemoteAction>>(Call(kKRunner, "Actions", {})).isEmpty());
  Call(kKRunner, "Teardown", {});

  EXPECT_EQ(Call(kGnome, "GetInitialResultSet", {QStringList{"NOTE"}}).toStringList(), (QStringList{"notes", "notepad"}));
  EXPECT_EQ(Call(kGnome, "GetSubsearchResultSet", {QStringList{"notes", "notepad"}, QStringList{"notep"}}).toStringList(),
            QStringList{"notepad"});
  const auto metas = qdbus_cast<QList<QVariantMap>>(Call(kGnome, "GetResultMetas", {QStringList{"notes", "gone"}}));
  ASSERT_EQ(metas.size(), 1);
  EXPECT_EQ(metas[0].value("id").toString() + metas[0].value("name").toString() + metas[0].value("gicon").toString(),
            "notesnotestext-plain");
  EXPECT_EQ(metas[0].value("description").toString(), notes);
  backend.clear();
  Call(kGnome, "ActivateResult", {"notepad", QStringList{"notep", "a b", "$(x)"}, QVariant::fromValue(0u)});
  EXPECT_EQ(Recorded(), "start " + script.toStdString() + "|a b|$(x)");
}

// The bus starts the service that `zelkar-open --desktop on` registers, even
// before its store exists, and sees the store once it is made.
TEST_F(SearchTest, TheBusStartsTheServiceThatDesktopOnRegisters) {
  const QString recorder = MakeRecorder("rec");
  Put("rec.exe", recorder);
  const QByteArray config = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("home/.config")));
  EXPECT_EQ(RunProgram(ZELKAR_OPEN_BINARY, {"--desktop", "on"}).code, 0);
  if (config.isNull()) qunsetenv("XDG_CONFIG_HOME"); else qputenv("XDG_CONFIG_HOME", config);

  const QString call = "gdbus call --session --dest " + launch::kSearchBusName + " --object-path " +
                       launch::kSearchObjectPath + " --method " + kKRunner;
  const auto session = [](const QString& script, const QProcessEnvironment& env) {
    return RunProgram("dbus-run-session", {"--", "sh", "-c", script, ZELKAR_REG_BINARY}, env);
  };
  const Ran ran = session(call + ".Match rec && " + call + ".Run \"rec a&b 'c'\" ''", QProcessEnvironment::systemEnvironment());
  EXPECT_TRUE(ran.out.contains("('rec', 'rec', 'application-x-executable', 100, 1.0")) << qPrintable(ran.out + ran.err);
  EXPECT_EQ(ArgsOf(recorder), (QStringList{recorder, "a&b", "'c'"}));
  QProcessEnvironment later = QProcessEnvironment::systemEnvironment();
  later.insert("ZELKAR_REGISTRY", path("later"));
  const Ran fresh = session(call + ".Match late; \"$0\" add '" + kAppPathsFull + "late.exe' --default --data /; " + call +
                                ".Match late", later);
  EXPECT_TRUE(fresh.out.startsWith("(@a(sssida{sv}) [],)\n([('late', 'late', 'folder', 100")) << qPrintable(fresh.out + fresh.err);
  // The services the bus started go with it.
  const QString service = QFileInfo(ZELKAR_OPEN_BINARY).dir().filePath("zelkar-search");
  const auto running = [&] {
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs))
      if (QFile::symLinkTarget("/proc/" + pid + "/exe") == service) return true;
    return false;
  };
  for (const QDeadlineTimer deadline(10000); running() && !deadline.hasExpired();) QThread::msleep(100);
  EXPECT_FALSE(running());
}

}  // namespace
}  // namespace zelkar::test
