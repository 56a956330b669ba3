// zelkar-search as KRunner and GNOME Shell call it, on a private session bus.
#include "support/WindowTest.h"

#include "launch/core/DesktopSetup.h"
#include "search/SearchService.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <memory>

namespace zelkar::test {
namespace {

using search::RemoteMatch;

const QString kKRunner = QStringLiteral("org.kde.krunner1");
const QString kGnome = QStringLiteral("org.gnome.Shell.SearchProvider2");

class SearchTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    bus_.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                               QStringLiteral("--print-address=1")});
    ASSERT_TRUE(bus_.waitForReadyRead(10000)) << "dbus-daemon (package dbus) did not start";
    const QString address = QString::fromUtf8(bus_.readLine().trimmed());
    serving_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, QStringLiteral("serving")));
    client_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, QStringLiteral("client")));
    service_ = std::make_unique<search::SearchService>(backend);
    ASSERT_TRUE(service_->registerOn(*serving_));
  }
  void TearDown() override {
    service_.reset();
    serving_.reset();
    client_.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("serving"));
    QDBusConnection::disconnectFromBus(QStringLiteral("client"));
    bus_.kill();
    bus_.waitForFinished();
    WindowTest::TearDown();
  }
  // A call as the desktop makes it; the service answers from this thread's event loop.
  QDBusMessage Call(const QString& interface, const QString& method, const QVariantList& args) {
    QDBusMessage call = QDBusMessage::createMethodCall(launch::kSearchBusName, launch::kSearchObjectPath, interface, method);
    call.setArguments(args);
    QDBusPendingCallWatcher watcher(client_->asyncCall(call, 5000));
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!watcher.isFinished()) loop.exec();
    EXPECT_EQ(watcher.reply().type(), QDBusMessage::ReplyMessage) << qPrintable(watcher.reply().errorMessage());
    return watcher.reply();
  }
  // "id|text|icon|type|relevance|subtext" per match.
  QStringList Match(const QString& query) {
    const QDBusMessage reply = Call(kKRunner, QStringLiteral("Match"), {query});
    QStringList rows;
    if (reply.arguments().isEmpty()) return rows;
    for (const RemoteMatch& m : qdbus_cast<QList<RemoteMatch>>(reply.arguments().first()))
      rows << QStringLiteral("%1|%2|%3|%4|%5|%6").arg(m.id, m.text, m.iconName).arg(m.type).arg(m.relevance, 0, 'f', 2)
                  .arg(m.properties.value(QStringLiteral("subtext")).toString());
    return rows;
  }
  QStringList Strings(const QDBusMessage& reply) { return reply.arguments().value(0).toStringList(); }

  std::unique_ptr<QDBusConnection> serving_, client_;
  std::unique_ptr<search::SearchService> service_;

 private:
  QProcess bus_;
};

TEST_F(SearchTest, KRunnerAndGnomeListRankAndOpenKeywordsFromTheStoreAsItIsNow) {
  const QString script = MakeScript(QStringLiteral("pad"));
  const QString notes = MakeFile(QStringLiteral("notes.txt"));
  Put(QStringLiteral("No.exe"), dir());
  Put(QStringLiteral("notes.exe"), notes);
  Put(QStringLiteral("notepad.exe"), script);
  Put(QStringLiteral("wiki.exe"), QStringLiteral("https://en.wikipedia.org/wiki/%s"));

  EXPECT_EQ(Match(QStringLiteral("no")), (QStringList{"no|no|folder|100|1.00|" + dir(),
                                                       "notes|notes|text-plain|30|0.66|" + notes,
                                                       "notepad|notepad|application-x-executable|30|0.61|" + script}));
  EXPECT_EQ(Match(QStringLiteral("NOTEP")), QStringList{"notepad|notepad|application-x-executable|30|0.79|" + script});
  EXPECT_EQ(Match(QStringLiteral("wiki linux kernel")),
            QStringList{"wiki linux kernel|wiki linux kernel|text-html|100|1.00|https://en.wikipedia.org/wiki/%s"});
  EXPECT_EQ(Match(QStringLiteral("wik linux")), QStringList());  // words follow a whole keyword only
  Put(QStringLiteral("nova.exe"), dir());                        // no stale list
  EXPECT_EQ(Match(QStringLiteral("nov")).size(), 1);

  Call(kKRunner, QStringLiteral("Run"), {QStringLiteral("wiki linux kernel"), QString()});
  EXPECT_EQ(Recorded(), "open https://en.wikipedia.org/wiki/linux%20kernel");
  backend.clear();
  Call(kKRunner, QStringLiteral("Run"), {QStringLiteral("notes more"), QString()});  // a document takes no words
  EXPECT_EQ(Recorded(), "none");

  EXPECT_EQ(Strings(Call(kGnome, QStringLiteral("GetInitialResultSet"), {QStringList{"NOTE"}})),
            (QStringList{"notes", "notepad"}));
  EXPECT_EQ(Strings(Call(kGnome, QStringLiteral("GetSubsearchResultSet"),
                         {QStringList{"notes", "notepad"}, QStringList{"notep"}})),
            QStringList{"notepad"});
  const QDBusMessage metas = Call(kGnome, QStringLiteral("GetResultMetas"), {QStringList{"notes", "gone"}});
  const auto list = qdbus_cast<QList<QVariantMap>>(metas.arguments().value(0));
  ASSERT_EQ(list.size(), 1);
  EXPECT_EQ(list[0].value(QStringLiteral("id")).toString(), QStringLiteral("notes"));
  EXPECT_EQ(list[0].value(QStringLiteral("name")).toString(), QStringLiteral("notes"));
  EXPECT_EQ(list[0].value(QStringLiteral("description")).toString(), notes);
  EXPECT_EQ(list[0].value(QStringLiteral("gicon")).toString(), QStringLiteral("text-plain"));
  backend.clear();
  Call(kGnome, QStringLiteral("ActivateResult"),
       {QStringLiteral("notepad"), QStringList{"notep", "a b", "$(x)"}, QVariant::fromValue(0u)});
  EXPECT_EQ(Recorded(), "start " + script.toStdString() + "|a b|$(x)");
}

TEST_F(SearchTest, TheBusStartsTheServiceThatDesktopOnRegisters) {
  const QString script = MakeScript(QStringLiteral("rec"), "printf '%s\\n' \"$@\" > \"$0.args\"\n");
  Put(QStringLiteral("rec.exe"), script);
  const QByteArray config = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(QStringLiteral("home/.config"))));
  EXPECT_EQ(RunProgram(QStringLiteral(ZELKAR_OPEN_BINARY), {QStringLiteral("--desktop"), QStringLiteral("on")}).code, 0);
  if (config.isNull()) qunsetenv("XDG_CONFIG_HOME"); else qputenv("XDG_CONFIG_HOME", config);

  const QStringList call = {QStringLiteral("--"), QStringLiteral("gdbus"), QStringLiteral("call"), QStringLiteral("--session"),
                            QStringLiteral("--dest"), launch::kSearchBusName, QStringLiteral("--object-path"),
                            launch::kSearchObjectPath, QStringLiteral("--method")};
  const Ran match = RunProgram(QStringLiteral("dbus-run-session"),
                               call + QStringList{kKRunner + QStringLiteral(".Match"), QStringLiteral("rec")});
  EXPECT_TRUE(match.out.contains(QLatin1String("('rec', 'rec', 'application-x-executable', 100, 1.0"))) << qPrintable(match.out + match.err);
  EXPECT_EQ(RunProgram(QStringLiteral("dbus-run-session"),
                       call + QStringList{kKRunner + QStringLiteral(".Run"), QStringLiteral("rec a&b 'c'"), QString()})
                .code,
            0);
  // A service started before its store exists sees the store once it is made.
  QProcessEnvironment later = QProcessEnvironment::systemEnvironment();
  later.insert(QStringLiteral("ZELKAR_REGISTRY"), path(QStringLiteral("later")));
  const QString gdbus = (QStringList{"gdbus"} + call.mid(2)).join(QLatin1Char(' ')) + QStringLiteral(" org.kde.krunner1.Match late");
  const Ran fresh = RunProgram(QStringLiteral("dbus-run-session"),
                               {QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"),
                                gdbus + "; \"$0\" add '" + kAppPathsFull + "late.exe' --default --data /; " + gdbus,
                                QStringLiteral(ZELKAR_REG_BINARY)},
                               later);
  EXPECT_TRUE(fresh.out.startsWith(QLatin1String("(@a(sssida{sv}) [],)\n([('late', 'late', 'folder', 100"))) << qPrintable(fresh.out + fresh.err);

  QFile args(script + QStringLiteral(".args"));
  const QDeadlineTimer deadline(10000);
  while (!args.exists() && !deadline.hasExpired()) QThread::msleep(20);
  ASSERT_TRUE(args.open(QIODevice::ReadOnly));
  EXPECT_EQ(args.readAll(), "a&b\n'c'\n");
}

}  // namespace
}  // namespace zelkar::test
