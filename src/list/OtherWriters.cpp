#include "list/OtherWriters.h"

#include "app/frmMain.h"
#include "list/TreeView.h"
#include "store/RegistryStore.h"

#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>

#include <cstdint>
#include <memory>

namespace zelkar {
namespace {

constexpr int kIntervalMs = 1000;

std::int64_t StoreVersion() {
  try {
    return store::RegistryStore::current().dataVersion(store::Hive::LocalMachine);
  } catch (const store::StoreError&) {
    return -1;
  }
}

// Marks live only in the tree; a reload would ask about them.
bool HoldsMarks(const frmMain& form) {
  for (int i = 2; i <= form.tvw->Count(); i += 2)
    if (form.tvw->ForeColor(i) != 0) return true;
  return false;
}

// A dialog, a tree load under way, or a label being edited in the tree.
bool UserIsBusy(const frmMain& form) {
  const QWidget* focus = QApplication::focusWidget();
  const bool editing = qobject_cast<const QLineEdit*>(focus) && form.tvw->widget()->isAncestorOf(focus);
  return QApplication::activeModalWidget() != nullptr || form.pb->isVisible() || editing;
}

}  // namespace

void FollowOtherWriters(frmMain& form) {
  auto* timer = new QTimer(&form);
  timer->setObjectName(QStringLiteral("tmrOtherWriters"));
  timer->setInterval(kIntervalMs);
  auto seen = std::make_shared<std::int64_t>(StoreVersion());
  QObject::connect(timer, &QTimer::timeout, &form, [&form, seen] {
    const std::int64_t now = StoreVersion();
    if (now < 0 || now == *seen) return;
    // A change that cannot show now stays pending for a later tick.
    if (UserIsBusy(form) || HoldsMarks(form)) return;
    *seen = now;
    form.UpdateTVW(false);
  });
  timer->start();
}

}  // namespace zelkar
