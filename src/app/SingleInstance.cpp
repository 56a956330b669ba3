#include "app/SingleInstance.h"

#include "app/core/Dialogs.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace zelkar {
namespace {

const QByteArray kActivate = QByteArrayLiteral("activate\n");
// "open " and the command line, Base64-encoded, then a line end.
const QByteArray kOpen = QByteArrayLiteral("open ");
const QByteArray kDone = QByteArrayLiteral("ok\n");
const QByteArray kRefused = QByteArrayLiteral("no\n");
constexpr int kConnectTimeoutMs = 1000;
// Room for a command line of several file paths of the longest kind.
constexpr qint64 kLongestRequest = 64 * 1024;

bool Answers(const QString& name) {
  QLocalSocket socket;
  socket.connectToServer(name);
  const bool connected = socket.waitForConnected(kConnectTimeoutMs);
  socket.abort();
  return connected;
}

// A real folder (no link) of this user that nobody else may enter.
bool IsPrivateFolder(const QByteArray& folder) {
  struct stat st {};
  return ::lstat(folder.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & 077) == 0;
}

// Creates `folder` 0700, or takes one of this user's own back to 0700. Another
// user's folder, a link or a file in its place is refused.
bool MakePrivateFolder(const QString& folder) {
  const QByteArray name = QFile::encodeName(folder);
  if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  if (::lstat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return false;
  if ((st.st_mode & 07777) != 0700 && ::chmod(name.constData(), 0700) != 0) return false;
  return IsPrivateFolder(name);
}

}  // namespace

QString SingleInstance::PrivateFolder() {
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && IsPrivateFolder(runtime)) return QFile::decodeName(runtime);
  // The temporary folder is everybody's: a name there may have been taken first.
  const QString temporary = QDir::temp().filePath(QStringLiteral("zelkar-%1").arg(::geteuid()));
  if (MakePrivateFolder(temporary)) return temporary;
  QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
  if (cache.isEmpty()) return QString();
  cache = QDir(cache).filePath(QStringLiteral("zelkar"));
  if (!QDir().mkpath(cache)) return QString();
  const QString inCache = QDir(cache).filePath(QStringLiteral("run"));
  return MakePrivateFolder(inCache) ? inCache : QString();
}

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), serverName_(std::move(serverName)) {}

SingleInstance::~SingleInstance() {
  if (server_) server_->close();
}

QString SingleInstance::ServerNameFor(const QString& storeDirectory) {
  const QString canonical = QDir::cleanPath(QFileInfo(storeDirectory).absoluteFilePath());
  const QByteArray hash = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
  const QString name = QStringLiteral("zelkar-") + QString::fromLatin1(hash);
  const QString folder = PrivateFolder();
  if (folder.isEmpty()) return QString();
  return QDir(folder).filePath(name);
}

bool SingleInstance::claim() {
  if (server_) return true;
  if (serverName_.isEmpty()) {
    qWarning("Zelkar: no private folder for the single-instance socket; starting without the check");
    return true;
  }
  // Two starts at the same moment must not both become the first.
  QLockFile lock(serverName_ + QStringLiteral(".lock"));
  lock.tryLock(5000);
  if (Answers(serverName_)) return false;
  // Nobody answers: whatever socket file is left belongs to a program that is gone.
  QLocalServer::removeServer(serverName_);
  auto server = std::make_unique<QLocalServer>();
  server->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server.get(), &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
  if (!server->listen(serverName_)) {
    qWarning("Zelkar: cannot listen on %s: %s", qUtf8Printable(serverName_),
             qUtf8Printable(server->errorString()));
    return true;  // nobody else runs; this instance goes on without the check
  }
  server_ = std::move(server);
  return true;
}

bool SingleInstance::isFirst() const { return server_ != nullptr; }

bool SingleInstance::requestActivation(int timeoutMs) const { return ask(kActivate, timeoutMs); }

bool SingleInstance::handOver(const QString& commandLine, int timeoutMs) const {
  return ask(kOpen + commandLine.toUtf8().toBase64() + '\n', timeoutMs);
}

bool SingleInstance::ask(const QByteArray& request, int timeoutMs) const {
  if (serverName_.isEmpty() || request.size() > kLongestRequest) return false;
  QLocalSocket socket;
  socket.connectToServer(serverName_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(request);
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  QByteArray reply;
  while (!reply.contains('\n')) {
    if (!socket.waitForReadyRead(timeoutMs)) return false;
    reply += socket.readAll();
  }
  return reply == kDone;
}

void SingleInstance::yieldToFirst() const {
  const QString title = QStringLiteral("Zelkar");
  MsgBox(QStringLiteral("Another instance of Zelkar is already running."), mb::Exclamation, title);
  if (!requestActivation()) MsgBox(QStringLiteral("Zelkar is already running"), mb::Information, title);
}

void SingleInstance::setActivationHandler(std::function<bool()> handler) { handler_ = std::move(handler); }

void SingleInstance::setCommandLineHandler(std::function<bool(const QString&)> handler) {
  commandLineHandler_ = std::move(handler);
}

void SingleInstance::onNewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kLongestRequest) socket->abort();
        return;
      }
      const QByteArray request = socket->readLine();
      bool done = false;
      if (request == kActivate) {
        emit activationRequested();
        done = handler_ && handler_();
      } else if (request.startsWith(kOpen) && request.endsWith('\n')) {
        const QByteArray encoded = request.mid(kOpen.size()).chopped(1);
        const auto decoded = QByteArray::fromBase64Encoding(encoded, QByteArray::AbortOnBase64DecodingErrors);
        if (decoded) done = commandLineHandler_ && commandLineHandler_(QString::fromUtf8(*decoded));
      }
      socket->write(done ? kDone : kRefused);
      socket->flush();
      socket->disconnectFromServer();
    });
  }
}

}  // namespace zelkar
