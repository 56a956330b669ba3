#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;

namespace zelkar {

// One running Zelkar per store: the first instance listens on a local socket
// whose name is derived from the store directory; a later one finds it there
// and can ask it to come to the front.
class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // `serverName`: a full socket path or a bare name (see ServerNameFor).
  explicit SingleInstance(QString serverName, QObject* parent = nullptr);
  ~SingleInstance() override;
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // The socket of the store in `storeDirectory`, in PrivateFolder(); empty when
  // there is none (the check is then skipped rather than the start refused).
  static QString ServerNameFor(const QString& storeDirectory);
  // A folder only this user owns and may enter: $XDG_RUNTIME_DIR when it is
  // one, else "zelkar-<uid>" in the temporary folder, else "zelkar/run" in the
  // user's cache folder; each created 0700 and its owner and mode checked.
  static QString PrivateFolder();

  // Becomes the running instance unless another one answers on the socket.
  // True when this is the first instance (it then listens until destroyed).
  bool claim();
  bool isFirst() const;
  const QString& serverName() const { return serverName_; }

  // Second instance: asks the first one to come to the front. True only when
  // the first one confirmed that it did.
  bool requestActivation(int timeoutMs = 3000) const;
  // Second instance: hands its command line to the first one, which acts on it
  // as at its own start. True only when the first one took it.
  bool handOver(const QString& commandLine, int timeoutMs = 3000) const;
  // Second instance: tells the user that Zelkar runs already, then brings the
  // first one forward; only when that fails the user hears so as well.
  void yieldToFirst() const;

  // First instance: brings the window forward; returns whether it could.
  // Without a handler, activation requests are refused.
  void setActivationHandler(std::function<bool()> handler);
  // First instance: takes a later start's command line; returns whether it
  // did. Without a handler, command lines are refused.
  void setCommandLineHandler(std::function<bool(const QString&)> handler);

 signals:
  // An activation request arrived (before the handler runs).
  void activationRequested();

 private:
  void onNewConnection();
  bool ask(const QByteArray& request, int timeoutMs) const;

  QString serverName_;
  std::unique_ptr<QLocalServer> server_;
  std::function<bool()> handler_;
  std::function<bool(const QString&)> commandLineHandler_;
};

}  // namespace zelkar
