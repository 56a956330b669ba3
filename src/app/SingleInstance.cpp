#include "app/SingleInstance.h"

#include "app/core/Dialogs.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace zelkar {
namespace {

const QByteArray kActivate = QByteArrayLiteral("activate\n");
const QByteArray kDone = QByteArrayLiteral("ok\n");
const QByteArray kRefused = QByteArrayLiteral("no\n");
constexpr int kConnectTimeoutMs = 1000;
constexpr qint64 kLongestRequest = 64;

bool Answers(const QString& name) {
  QLocalSocket socket;
  socket.connectToServer(name);
  const bool connected = socket.waitForConnected(kConnectTimeoutMs);
  socket.abort();
  return connected;
}

}  // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), serverName_(std::move(serverName)) {}

SingleInstance::~SingleInstance() {
  if (server_) server_->close();
}

QString SingleInstance::ServerNameFor(const QString& storeDirectory) {
  const QString canonical = QDir::cleanPath(QFileInfo(storeDirectory).absoluteFilePath());
  const QByteArray hash = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
  const QString name = QStringLiteral("zelkar-") + QString::fromLatin1(hash);
  // The runtime folder belongs to the user alone; without one Qt's own folder for
  // local sockets serves, the socket then restricted to the user.
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (runtime.isEmpty()) return name;
  return QDir(runtime).filePath(name);
}

bool SingleInstance::claim() {
  if (server_) return true;
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

bool SingleInstance::requestActivation(int timeoutMs) const {
  QLocalSocket socket;
  socket.connectToServer(serverName_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(kActivate);
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
      }
      socket->write(done ? kDone : kRefused);
      socket->flush();
      socket->disconnectFromServer();
    });
  }
}

}  // namespace zelkar
