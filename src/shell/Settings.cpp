#include "app/frmMain.h"

#include "list/TreeView.h"
#include "shell/TrayIcon.h"
#include "shell/WindowFrame.h"
#include "shell/WindowLayout.h"
#include "shell/modTray.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <optional>

namespace zelkar {
namespace {

using modRegEdit::GetDWord;
using modRegEdit::SaveDWord;
using store::Hive;

// Outer window heights, in twips, and the change per animation tick.
constexpr int kShownHeight = 5025;
constexpr int kHiddenHeight = 2625;
constexpr int kStep = 75;
// The design client area's height, in twips.
constexpr int kDesignClientHeight = 4215;

// A measure as a whole number: to the nearest, halves to even.
int RoundHalfEven(double value) {
  const double r = std::nearbyint(value);  // the default rounding mode rounds halves to even
  return static_cast<int>(r);
}

int TwipsToPixels(int twips) { return RoundHalfEven(static_cast<double>(twips) / kTwipsPerPixel); }

// The part of the outer height the widget itself does not cover: the frame
// and title bar as the window manager reports them. Until it is known (before
// the window is first shown), or without a title bar at all, a fixed allowance
// stands in for it, under which the shown height leaves exactly the design
// client area below the menu bar and the hidden height only the two frames.
int DecorationPixels(const frmMain& form) {
  if (const std::optional<QMargins> frame = windowframe::FrameOf(form)) return frame->top() + frame->bottom();
  const int menu = form.menuBar()->sizeHint().height();
  return std::max(0, TwipsToPixels(kShownHeight) - TwipsToPixels(kDesignClientHeight) - menu);
}

// The window's heights between the settings and the window manager: the outer
// height last asked for, held against a frame that arrives (or changes) after
// it was set, since the window manager's frame is known only once the window
// is shown and the outer heights count it; and the height of the unfolded
// window, which the user may change while the list is shown.
class HeightKeeper : public QObject {
 public:
  explicit HeightKeeper(frmMain& form) : QObject(&form), form_(form) {
    setObjectName(QStringLiteral("heightKeeper"));
    form.installEventFilter(this);
  }
  static HeightKeeper& of(frmMain& form) {
    QObject* keeper = form.findChild<QObject*>(QStringLiteral("heightKeeper"), Qt::FindDirectChildrenOnly);
    return keeper ? static_cast<HeightKeeper&>(*keeper) : *new HeightKeeper(form);
  }

  // Outer heights in twips: unfolded (the user's, else the design's grown by
  // the font), the least unfolded one, and folded.
  int shownTwips() const { return std::max(shownTwips_, leastShownTwips()); }
  int leastShownTwips() const {
    return kShownHeight + windowlayout::ScaledTwips(form_, kDesignClientHeight) - kDesignClientHeight;
  }
  int hiddenTwips() const {
    constexpr int kHiddenClientHeight = kHiddenHeight - (kShownHeight - kDesignClientHeight);
    return kHiddenHeight + windowlayout::ScaledTwips(form_, kHiddenClientHeight) - kHiddenClientHeight;
  }
  void rememberShown(int twips) { shownTwips_ = twips; }

  // A fixed outer height, as the animation and the folded list have it.
  void fix(int twips) {
    free_ = false;
    askedTwips_ = twips;
    decoration_ = DecorationPixels(form_);
    const int menu = form_.menuBar()->sizeHint().height();
    const int h = std::max(menu, TwipsToPixels(twips) - decoration_);
    // A window shorter than the client area's layout simply covers its lower
    // part, as the folded list does.
    if (QWidget* client = form_.centralWidget()) client->setMinimumHeight(0);
    form_.setFixedHeight(h);
  }
  // The unfolded window at its height, free for the user to make taller.
  void unfold() {
    fix(shownTwips());
    form_.setMinimumHeight(std::max(0, TwipsToPixels(leastShownTwips()) - decoration_));
    form_.setMaximumHeight(QWIDGETSIZE_MAX);
    free_ = true;
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Show:
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::WindowActivate:
        if (askedTwips_ > 0 && DecorationPixels(form_) != decoration_) {
          if (free_)
            unfold();
          else
            fix(askedTwips_);
        } else if (free_ && event->type() == QEvent::Resize) {
          shownTwips_ = form_.OuterHeightTwips();  // the user's own height
        }
        break;
      default:
        break;
    }
    return false;
  }

 private:
  frmMain& form_;
  int askedTwips_ = 0;
  int decoration_ = 0;
  int shownTwips_ = 0;
  bool free_ = false;
};

// The outer height the animation last asked for. A window manager that holds
// the window at another size must not keep the animation from its end.
int AskedOuterTwips(const frmMain& form) {
  const int asked = form.maximumHeight();
  if (asked >= QWIDGETSIZE_MAX) return form.OuterHeightTwips();
  return (asked + DecorationPixels(form)) * kTwipsPerPixel;
}

QRect ScreenOf(const QWidget& w) {
  const QScreen* screen = w.screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect();
}

// The List submenus and the Keywords menu, as a whole. A disabled menu title
// would leave its items' shortcuts (F2, Ctrl+O, Ctrl+L) working on a tree out
// of sight, so the items go through one action group as well: the group keeps
// each item's own enabled state, set meanwhile by the tree's selection
// handling, for when the list is shown again.
void SetListMenusEnabled(frmMain& form, bool enabled) {
  auto* group = form.findChild<QActionGroup*>(QStringLiteral("listMenuItems"), Qt::FindDirectChildrenOnly);
  if (!group) {
    group = new QActionGroup(&form);
    group->setObjectName(QStringLiteral("listMenuItems"));
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
  }
  const std::initializer_list<QMenu*> menus = {form.mnuLL, form.mnuLE, form.mnuKW};
  if (!enabled) {
    for (QMenu* menu : menus)
      for (QAction* item : menu->actions())
        if (!item->isSeparator() && !item->menu() && item->actionGroup() != group) group->addAction(item);
  }
  group->setEnabled(enabled);
  for (QMenu* menu : menus) menu->menuAction()->setEnabled(enabled);
}

}  // namespace

int frmMain::OuterHeightTwips() const { return (height() + DecorationPixels(*this)) * kTwipsPerPixel; }

void frmMain::SetOuterHeightTwips(int twips) { HeightKeeper::of(*this).fix(twips); }

void frmMain::LoadSettings() {
  int L = GetDWord(Hive::CurrentUser, kSettingsKey, QStringLiteral("Left"), 0);
  int T = GetDWord(Hive::CurrentUser, kSettingsKey, QStringLiteral("Top"), 0);

  // The size the user gave the window, no larger than the screen.
  const QRect screen = ScreenOf(*this);
  HeightKeeper& heights = HeightKeeper::of(*this);
  const int width = GetDWord(Hive::CurrentUser, kSettingsKey, QStringLiteral("Width"), 0);
  if (width > 0) resize(std::clamp(TwipsToPixels(width), minimumWidth(), std::max(minimumWidth(), screen.width())), height());
  const int shown = GetDWord(Hive::CurrentUser, kSettingsKey, QStringLiteral("Height"), 0);
  if (shown > 0) heights.rememberShown(std::min(shown, screen.height() * kTwipsPerPixel));

  if (GetDWord(Hive::CurrentUser, kSettingsKey, QStringLiteral("HideList"), 0) != 0) {
    SetOuterHeightTwips(heights.hiddenTwips());
    mnuLHS_Click();
  } else {
    heights.unfold();
  }

  const double outerWidth = static_cast<double>(frameGeometry().width()) * kTwipsPerPixel;
  const int W = RoundHalfEven(static_cast<double>(screen.width()) * kTwipsPerPixel - outerWidth);
  const int H = RoundHalfEven(static_cast<double>(screen.height()) * kTwipsPerPixel - OuterHeightTwips());

  if (L < 0)
    L = 0;
  else if (L > W)
    L = W;
  if (T < 0)
    T = 0;
  else if (T > H)
    T = H / 2;  // a window found below the screen goes halfway down

  if (L == 0 && T == 0) {
    L = W / 2;
    T = H / 2;
  }
  move(TwipsToPixels(L), TwipsToPixels(T));
}

void frmMain::SaveSettings() {
  const QPoint outer = pos();
  SaveDWord(Hive::CurrentUser, kSettingsKey, QStringLiteral("Left"), outer.x() * kTwipsPerPixel);
  SaveDWord(Hive::CurrentUser, kSettingsKey, QStringLiteral("Top"), outer.y() * kTwipsPerPixel);
  // Beside the position: the window's width and its height unfolded.
  SaveDWord(Hive::CurrentUser, kSettingsKey, QStringLiteral("Width"), width() * kTwipsPerPixel);
  SaveDWord(Hive::CurrentUser, kSettingsKey, QStringLiteral("Height"), HeightKeeper::of(*this).shownTwips());
}

void frmMain::mnuLHS_Click() {
  // Only one animation runs at a time: a new choice takes over from the
  // current height.
  if (mnuLHS->text() == QLatin1String("Hide")) {
    tmrShow->stop();
    for (QWidget* button : {static_cast<QWidget*>(cmdRefresh), static_cast<QWidget*>(cmdRun),
                            static_cast<QWidget*>(cmdRename), static_cast<QWidget*>(cmdDelete)})
      button->setEnabled(false);
    for (QAction* item : {mnuls, mnuLI, mnuLR}) item->setEnabled(false);
    SetListMenusEnabled(*this, false);
    tmrHide->start();
    mnuLHS->setText(QStringLiteral("Show"));
    SaveDWord(Hive::CurrentUser, kSettingsKey, QStringLiteral("HideList"), 1);
  } else {
    tmrHide->stop();
    tvw->setVisible(true);
    cmdRefresh->setEnabled(true);
    for (QAction* item : {mnuls, mnuLI, mnuLR}) item->setEnabled(true);
    SetListMenusEnabled(*this, true);
    mnuLHS->setText(QStringLiteral("Hide"));
    SaveDWord(Hive::CurrentUser, kSettingsKey, QStringLiteral("HideList"), 0);
    tmrShow->start();
    EnableNodeButtons();
  }
}

void frmMain::tmrHide_Timer() {
  const int hidden = HeightKeeper::of(*this).hiddenTwips();
  const int h = AskedOuterTwips(*this);
  if (h <= hidden) {
    SetOuterHeightTwips(hidden);
    tvw->setVisible(false);
    tmrHide->stop();
  } else {
    SetOuterHeightTwips(std::max(hidden, h - kStep));
  }
}

void frmMain::tmrShow_Timer() {
  HeightKeeper& heights = HeightKeeper::of(*this);
  const int h = AskedOuterTwips(*this);
  if (h < heights.shownTwips()) {
    SetOuterHeightTwips(std::min(heights.shownTwips(), h + kStep));
  } else {
    heights.unfold();
    tmrShow->stop();
  }
}

void frmMain::Form_Unload(int& Cancel) {
  const std::int16_t R1 = RegisterKeyWords();
  const std::int16_t R2 = ExportKeywords();
  if (R1 == 2 || R2 == 2) Cancel = 1;
  SaveSettings();
  // The window goes away: no icon may stay behind in the notification area.
  if (Cancel == 0 && tray_->shown()) modTray::RemoveTrayIcon(*tray_, *this);
}

}  // namespace zelkar
