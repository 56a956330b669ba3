#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

#include <memory>

class QSystemTrayIcon;

namespace zelkar {

// The notification-area icon: three operations (add, remove, balloon) and three
// events (left release, right release, balloon click). The program uses
// QSystemTrayIcon; tests raise the events themselves.
class TrayIcon : public QObject {
  Q_OBJECT
 public:
  explicit TrayIcon(QObject* parent = nullptr);
  ~TrayIcon() override;

  // Whether the desktop has a notification area to show the icon in.
  bool available() const;
  // Tests: pretend the desktop has (or has not) a notification area.
  static void setAvailableForTests(int available);  // -1 real answer, 0 no, 1 yes

  void Add(const QIcon& icon, const QString& tip);
  void Remove();
  bool shown() const;
  void ShowBalloon(const QString& title, const QString& text, int iconKind);

  // The tip of the icon shown, and the last balloon asked for (tests).
  QString toolTip() const { return tip_; }
  QString lastBalloonTitle() const { return balloonTitle_; }
  QString lastBalloonText() const { return balloonText_; }
  int balloonCount() const { return balloonCount_; }
  int lastBalloonKind() const { return balloonKind_; }

 signals:
  void LeftUp();
  void RightUp();
  void BalloonClick();

 private:
  std::unique_ptr<QSystemTrayIcon> icon_;  // only while the desktop has a notification area
  bool shown_ = false;
  QString tip_;
  QString balloonTitle_;
  QString balloonText_;
  int balloonCount_ = 0;
  int balloonKind_ = 0;
};

}  // namespace zelkar
