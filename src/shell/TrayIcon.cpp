#include "shell/TrayIcon.h"

#include <QSystemTrayIcon>

namespace zelkar {
namespace {

// Set by tests only: -1 asks the desktop.
int g_availableForTests = -1;

QSystemTrayIcon::MessageIcon BalloonIcon(int iconKind) {
  switch (iconKind) {
    case 1: return QSystemTrayIcon::Information;
    case 2: return QSystemTrayIcon::Warning;
    case 3: return QSystemTrayIcon::Critical;
    default: return QSystemTrayIcon::NoIcon;
  }
}

// The desktop chooses how long a balloon stays; this is its usual time.
constexpr int kBalloonMilliseconds = 10000;

}  // namespace

TrayIcon::TrayIcon(QObject* parent) : QObject(parent) {}

// An icon must never outlive the window it stands for.
TrayIcon::~TrayIcon() { Remove(); }

bool TrayIcon::available() const {
  if (g_availableForTests >= 0) return g_availableForTests != 0;
  return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::setAvailableForTests(int available) { g_availableForTests = available < 0 ? -1 : (available != 0); }

void TrayIcon::Add(const QIcon& icon, const QString& tip) {
  shown_ = true;
  tip_ = tip;
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return;  // tests pretending
  if (!icon_) {
    icon_ = std::make_unique<QSystemTrayIcon>();
    connect(icon_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
      if (reason == QSystemTrayIcon::Trigger)
        emit LeftUp();
      else if (reason == QSystemTrayIcon::Context)
        emit RightUp();
    });
    connect(icon_.get(), &QSystemTrayIcon::messageClicked, this, &TrayIcon::BalloonClick);
  }
  icon_->setIcon(icon);
  icon_->setToolTip(tip);
  icon_->show();
}

void TrayIcon::Remove() {
  shown_ = false;
  if (icon_) icon_->hide();
}

bool TrayIcon::shown() const { return shown_; }

// A balloon needs the icon to stand over.
void TrayIcon::ShowBalloon(const QString& title, const QString& text, int iconKind) {
  if (!shown_) return;
  balloonTitle_ = title;
  balloonText_ = text;
  balloonKind_ = iconKind;
  ++balloonCount_;
  if (!icon_) return;
  // Notification servers break lines at LF; a CR would show as a stray glyph.
  QString shownText = text;
  shownText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  icon_->showMessage(title, shownText, BalloonIcon(iconKind), kBalloonMilliseconds);
}

}  // namespace zelkar
