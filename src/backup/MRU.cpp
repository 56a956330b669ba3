#include "app/frmMain.h"

#include "store/Keywords.h"
#include "store/PathHelpers.h"
#include "store/modRegEdit.h"

#include <QAction>
#include <QMenu>

namespace zelkar {
namespace {

constexpr std::int16_t kLastSlot = 4;
const QString kMRUKey = kSettingsKey + QStringLiteral("\\MRU");

QString Slot(int slot) {
  return modRegEdit::GetString(store::Hive::CurrentUser, kMRUKey, QString::number(slot), QString());
}

void SetSlot(int slot, const QString& path) {
  modRegEdit::SaveString(store::Hive::CurrentUser, kMRUKey, QString::number(slot), path);
}

bool SamePath(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString ShortName(const QString& path) {
  return path.isEmpty() ? QString() : modMain::FileProperty(path, modMain::property::ShortName);
}

// A menu caption shows "&" as a mnemonic unless it is doubled.
QString Caption(const QString& path) {
  QString caption = modMain::FileProperty(path, modMain::property::ShortPath);
  caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return caption;
}

}  // namespace

void frmMain::DelMRU(std::int16_t iSlot) {
  if (iSlot < 0 || iSlot > kLastSlot) return;
  for (int s = iSlot; s <= kLastSlot; ++s) {
    if (s < kLastSlot) {
      SetSlot(s, Slot(s + 1));
      SetSlot(s + 1, QString());
    } else {
      SetSlot(s, QString());
    }
  }
}

void frmMain::LoadMRU(const QString& FileName) {
  if (!FileName.isEmpty()) {
    // Files of the same name count as one, wherever they are: the later goes.
    for (int i = 0; i <= 3; ++i)
      for (int j = 1; j <= kLastSlot; ++j)
        if (i != j && SamePath(ShortName(Slot(i)), ShortName(Slot(j)))) DelMRU(std::int16_t(j));
    for (int j = 1; j <= kLastSlot; ++j)
      if (SamePath(Slot(j), FileName)) DelMRU(std::int16_t(j));
    if (!SamePath(Slot(0), FileName)) {
      for (int s = kLastSlot - 1; s >= 0; --s) SetSlot(s + 1, Slot(s));
      SetSlot(0, FileName);
    }
    return;
  }

  // The items after the first are rebuilt. One of them may be the item being
  // triggered right now, so they go once control is back in the event loop.
  for (std::size_t k = mnuMRU.size(); k-- > 1;) {
    mnuLL->removeAction(mnuMRU[k]);
    mnuMRU[k]->deleteLater();
  }
  mnuMRU.resize(1);
  QAction* first = mnuMRU.front();
  first->setEnabled(false);
  first->setText(QStringLiteral("Empty"));

  for (int i = kLastSlot; i >= 0; --i)
    if (!FileExists(Slot(i))) DelMRU(std::int16_t(i));

  for (int i = 0; i <= kLastSlot; ++i) {
    const QString path = Slot(i);
    if (path.isEmpty()) break;
    if (i == 0) {
      first->setEnabled(true);
      first->setText(Caption(path));
      continue;
    }
    QAction* item = mnuLL->addAction(Caption(path));
    item->setObjectName(QStringLiteral("mnuMRU"));
    connect(item, &QAction::triggered, this, [this, i] { mnuMRU_Click(i); });
    mnuMRU.push_back(item);
  }
}

void frmMain::mnuMRU_Click(int Index) {
  if (Index < 0 || Index > kLastSlot) return;
  const QString path = Slot(Index);
  if (FileExists(path)) LoadList(path);
}

void frmMain::mnuList_Click() { LoadMRU(QString()); }

}  // namespace zelkar
