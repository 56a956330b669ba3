#include "shell/WindowLayout.h"

#include "app/Controls.h"
#include "app/frmMain.h"
#include "list/TreeView.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHash>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace zelkar::windowlayout {
namespace {

// The client area's design size, in twips.
constexpr int kClientWidth = 7590;
constexpr int kClientHeight = 4215;
// Room a text needs beside its width and height inside its control, in pixels.
constexpr int kTextPad = 4;

// How a control takes the room beyond the design size.
enum Stretch {
  Fixed,        // stays where it is
  Wider,        // takes the extra width
  Right,        // moves right with the extra width
  Larger,       // takes the extra width and height
  Down,         // moves down with the extra height
  DownWider,    // moves down, takes the extra width
  DownRight,    // moves down and right
};

Stretch StretchOf(const QString& name) {
  static const QHash<QString, Stretch> rules = {
      {QStringLiteral("fraKW"), Wider},       {QStringLiteral("txtExe"), Wider},
      {QStringLiteral("cmdRunTxt"), Right},   {QStringLiteral("cmdSave"), Right},
      {QStringLiteral("cmdClear"), Right},    {QStringLiteral("fraTarget"), Wider},
      {QStringLiteral("lblPath"), Wider},     {QStringLiteral("cmdBrowse"), Right},
      {QStringLiteral("cmdDir"), Right},      {QStringLiteral("cmdURL"), Right},
      {QStringLiteral("tvw"), Larger},        {QStringLiteral("cmdRefresh"), Down},
      {QStringLiteral("pb"), DownWider},      {QStringLiteral("cmdRun"), DownRight},
      {QStringLiteral("cmdRename"), DownRight}, {QStringLiteral("cmdDelete"), DownRight},
  };
  return rules.value(name, Fixed);
}

class Keeper : public QObject {
 public:
  explicit Keeper(frmMain& form) : QObject(&form), form_(form), client_(form.centralWidget()) {
    setObjectName(QStringLiteral("windowLayout"));
    // The design places, as the controls were put.
    for (QWidget* w : {static_cast<QWidget*>(form.fraKW), static_cast<QWidget*>(form.txtExe),
                       static_cast<QWidget*>(form.cmdRunTxt), static_cast<QWidget*>(form.cmdSave),
                       static_cast<QWidget*>(form.cmdClear), static_cast<QWidget*>(form.fraTarget),
                       static_cast<QWidget*>(form.lblPath), static_cast<QWidget*>(form.cmdBrowse),
                       static_cast<QWidget*>(form.cmdDir), static_cast<QWidget*>(form.cmdURL),
                       static_cast<QWidget*>(form.tvw), static_cast<QWidget*>(form.cmdRefresh),
                       static_cast<QWidget*>(form.pb), static_cast<QWidget*>(form.cmdRun),
                       static_cast<QWidget*>(form.cmdRename), static_cast<QWidget*>(form.cmdDelete)})
      design_.insert(w, w->geometry());
    form.installEventFilter(this);
    form.centralWidget()->installEventFilter(this);
    Rescale();
  }

  double scale() const { return scale_; }

  // A design measure grown by the scale: exactly the design's at 1, never
  // smaller than the text needs above it.
  int Grown(int pixels) const {
    return scale_ == 1.0 ? pixels : static_cast<int>(std::ceil(pixels * scale_));
  }
  int Moved(int pixels) const { return static_cast<int>(std::lround(pixels * scale_)); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // Compared by address only: the filter still sees events while the window is destroyed.
    if (watched == client_ && event->type() == QEvent::Resize) Arrange();
    if (watched == &form_ && (event->type() == QEvent::FontChange || event->type() == QEvent::ApplicationFontChange ||
                             event->type() == QEvent::StyleChange))
      Rescale();
    return false;
  }

 private:
  // The scale at which every text of the window fits its control.
  double NeededScale() const {
    double k = 1.0;
    const auto need = [&k](int needed, int design) {
      if (design > 0) k = std::max(k, static_cast<double>(needed) / design);
    };
    for (QPushButton* b : {form_.cmdRefresh, form_.cmdRun, form_.cmdRename, form_.cmdDelete}) {
      const QFontMetrics fm(b->font());
      need(fm.horizontalAdvance(b->text()) + kTextPad, design_.value(b).width());
      need(fm.height() + kTextPad, design_.value(b).height());
    }
    for (QWidget* w : {static_cast<QWidget*>(form_.txtExe), static_cast<QWidget*>(form_.lblPath)})
      need(QFontMetrics(w->font()).height() + kTextPad, design_.value(w).height());
    // A frame's caption sits above the controls inside it.
    for (QGroupBox* frame : {static_cast<QGroupBox*>(form_.fraKW), static_cast<QGroupBox*>(form_.fraTarget)}) {
      const QFontMetrics fm(frame->font());
      need(fm.height(), design_.value(form_.txtExe).top());
      need(fm.horizontalAdvance(frame->title()) + 2 * kTextPad, design_.value(frame).width());
    }
    return k;
  }

  void Rescale() {
    scale_ = NeededScale();
    QWidget* client = form_.centralWidget();
    client->setMinimumSize(0, 0);
    client->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const int width = Grown(Px(kClientWidth));
    form_.setMinimumWidth(width);
    form_.setMaximumWidth(QWIDGETSIZE_MAX);
    if (form_.width() < width || !form_.testAttribute(Qt::WA_Resized)) form_.resize(width, form_.height());
    Arrange();
  }

  void Arrange() {
    const QSize client = form_.centralWidget()->size();
    const int dx = std::max(0, client.width() - Grown(Px(kClientWidth)));
    const int dy = std::max(0, client.height() - Grown(Px(kClientHeight)));
    for (auto it = design_.cbegin(); it != design_.cend(); ++it) {
      const QRect d = it.value();
      QRect r(Moved(d.left()), Moved(d.top()), Grown(d.width()), Grown(d.height()));
      switch (StretchOf(it.key()->objectName())) {
        case Fixed:
          break;
        case Wider:
          r.setWidth(r.width() + dx);
          break;
        case Right:
          r.translate(dx, 0);
          break;
        case Larger:
          r.setSize(r.size() + QSize(dx, dy));
          break;
        case Down:
          r.translate(0, dy);
          break;
        case DownWider:
          r.translate(0, dy);
          r.setWidth(r.width() + dx);
          break;
        case DownRight:
          r.translate(dx, dy);
          break;
      }
      it.key()->setGeometry(r);
    }
  }

  frmMain& form_;
  const QObject* const client_;  // the central widget
  QHash<QWidget*, QRect> design_;
  double scale_ = 1.0;
};

const Keeper* KeeperOf(const frmMain& form) {
  return static_cast<const Keeper*>(
      form.findChild<QObject*>(QStringLiteral("windowLayout"), Qt::FindDirectChildrenOnly));
}

}  // namespace

void Install(frmMain& form) {
  auto* keeper = new Keeper(form);
  // Until the settings give it its height: the menu bar above the client area.
  form.setFixedHeight(form.menuBar()->sizeHint().height() + keeper->Grown(Px(kClientHeight)));
}

double Scale(const frmMain& form) {
  const Keeper* keeper = KeeperOf(form);
  return keeper ? keeper->scale() : 1.0;
}

int ScaledTwips(const frmMain& form, int twips) {
  return static_cast<int>(std::lround(twips * Scale(form)));
}

}  // namespace zelkar::windowlayout
