#include "app/frmMain.h"

#include "list/KeywordListing.h"
#include "list/TreeView.h"
#include "list/modICO.h"
#include "store/Keywords.h"
#include "store/PathHelpers.h"
#include "store/modRegEdit.h"

#include <QProgressBar>

#include <algorithm>
#include <exception>

namespace zelkar {
namespace {

const QString kListedKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\");
const QString kListedFull =
    QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\");
const QString kTmp = QStringLiteral("tmp");
const QString kPath = QStringLiteral("path");

// More changed nodes than this and the nodes are built afresh rather than
// moved one by one.
constexpr int kMostNodeChanges = 32;
// The progress bar moves in this many steps at most: each step repaints it.
constexpr int kProgressSteps = 100;

// Keeps the tree from repainting while it is rebuilt.
class FrozenTree {
 public:
  explicit FrozenTree(TreeView& tree) : tree_(tree), wasEnabled_(tree.updatesEnabled()) {
    tree_.setUpdatesEnabled(false);
  }
  ~FrozenTree() { tree_.setUpdatesEnabled(wasEnabled_); }
  FrozenTree(const FrozenTree&) = delete;
  FrozenTree& operator=(const FrozenTree&) = delete;

 private:
  TreeView& tree_;
  bool wasEnabled_;
};

QString ImageOfKind(TargetKind kind) {
  switch (kind) {
    case TargetKind::Broken:
      return QStringLiteral("uk");
    case TargetKind::InternetAddress:
      return QStringLiteral("url");
    case TargetKind::Directory:
    case TargetKind::File:
      break;
  }
  return QStringLiteral("fld");
}

QString FileImageKey(std::size_t position) { return kTmp + QString::number(position); }

// The progress bar over a listing of `count` entries, moved only when its
// picture can change.
class Progress {
 public:
  Progress(QProgressBar& bar, int count)
      : bar_(bar), last_(count - 1), step_(std::max(1, count / kProgressSteps)) {
    bar_.setRange(0, last_);
    bar_.setValue(0);
    bar_.setVisible(true);
  }
  ~Progress() { bar_.setVisible(false); }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;
  void at(int i) {
    if (i % step_ == 0 || i == last_) bar_.setValue(i);
  }

 private:
  QProgressBar& bar_;
  int last_;
  int step_;
};

// One entry of the listing: cleaned, its target written back when the load
// changed it, its kind decided from one look at the file system.
ListedEntry Examine(frmMain& form, const store::SubkeyDefault& row, bool KillEmptyKeys) {
  ListedEntry entry;
  entry.name = row.name;
  entry.stored = row.value;
  QString t = row.value ? modRegEdit::ValueText(*row.value) : QString();
  if (t.isEmpty()) {
    if (KillEmptyKeys) modRegEdit::DeleteKey(store::Hive::LocalMachine, kListedKey + row.name + QLatin1Char('\\'));
    entry.settled = !KillEmptyKeys;
    return entry;
  }
  // The write-back stores the cleaned target; when that is what is stored
  // already there is nothing to write, nor to read again.
  const QString cleaned = WithoutEnclosingQuotes(t);
  if (!row.value || *row.value != store::Value::fromString(cleaned)) {
    t = form.ClearQuotes(row.name, t);
  } else {
    t = cleaned;
    entry.settled = WithoutEnclosingQuotes(t) == t;
  }
  if (form.FixVarPath(row.name, t)) {
    t = modRegEdit::RegReadValue(kListedFull + row.name + QLatin1Char('\\'));
    entry.settled = false;
  }

  const FileLook look = LookAtFile(t);
  const TargetKind kind = KindOfTarget(t, look.exists);
  if (kind == TargetKind::File)
    entry.picture = modICO::FilePicture(*form.imlTVW, t);
  else
    entry.image = ImageOfKind(kind);
  // The target as stored: on this platform its letter case is part of it.
  entry.target = look.longPath;
  entry.shown = true;
  return entry;
}

// The image key of a listed entry at `position` of the listing.
QString ImageKey(const ListedEntry& entry, std::size_t position) {
  return entry.image.isEmpty() ? FileImageKey(position) : entry.image;
}

void RemoveFileImages(ImageList& images) {
  for (int i = images.Count(); i >= 1; --i)
    if (images.Key(i).toLower().startsWith(kTmp)) images.Remove(i);
}

// Adds the entry's two nodes, together or not at all.
bool AddNodes(TreeView& tree, ImageList& images, ListedEntry& entry, std::size_t position) {
  QString image = ImageKey(entry, position);
  if (entry.image.isEmpty() && !images.Contains(image) && !images.Add(image, entry.picture))
    image = ImageOfKind(TargetKind::Directory);
  const int keyword = tree.Add(1, tvwChild, entry.name.toLower(), image);
  if (keyword != 0 && tree.Add(keyword, tvwChild, entry.target, kPath) == 0) tree.Remove(keyword);
  entry.shown = keyword != 0 && tree.Count() >= keyword + 1;
  return entry.shown;
}

// Builds every node afresh from entries already examined.
void BuildNodes(TreeView& tree, ImageList& images, std::vector<ListedEntry>& entries) {
  tree.Clear();
  tree.Add(0, 0, QStringLiteral("Run Keywords"), QStringLiteral("key"));
  RemoveFileImages(images);
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].shown) AddNodes(tree, images, entries[i], i);
}

// Brings the nodes of the last listing to those of `entries` by moving only
// what changed; `fresh` tells the entries examined anew. False when the tree
// does not hold the last listing or too much changed; then the nodes are to
// be built afresh.
bool PatchNodes(TreeView& tree, ImageList& images, const KeywordListing& last, std::vector<ListedEntry>& entries,
                const std::vector<bool>& fresh) {
  if (!last.Valid() || tree.Count() != 1 + 2 * last.ShownCount()) return false;
  const std::vector<ListedEntry>& before = last.Entries();

  // Keyword nodes stay where an entry of the same name was shown and still
  // is; the names come in listing order on both sides.
  std::vector<int> rankBefore(before.size(), -1);
  int shownBefore = 0;
  for (std::size_t j = 0; j < before.size(); ++j)
    if (before[j].shown) rankBefore[j] = shownBefore++;

  std::vector<int> kept(static_cast<std::size_t>(shownBefore), -1);  // old rank -> new rank
  int changes = 0;
  int rank = 0;
  int lastKept = -1;
  for (const ListedEntry& entry : entries) {
    if (!entry.shown) continue;
    const ListedEntry* old = last.Find(entry.name);
    const int oldRank = old == nullptr ? -1 : rankBefore[static_cast<std::size_t>(old - before.data())];
    if (oldRank > lastKept) {
      kept[static_cast<std::size_t>(oldRank)] = rank;
      lastKept = oldRank;
    } else {
      ++changes;
    }
    ++rank;
  }
  for (const int k : kept)
    if (k < 0) ++changes;
  if (changes > kMostNodeChanges) return false;

  // Gone first, from the last, then the new ones in order.
  for (int r = shownBefore - 1; r >= 0; --r)
    if (kept[static_cast<std::size_t>(r)] < 0) tree.Remove(2 + 2 * r);
  std::vector<bool> isNew(static_cast<std::size_t>(rank), true);
  for (const int k : kept)
    if (k >= 0) isNew[static_cast<std::size_t>(k)] = false;

  // The file images again in listing order, under their new positions.
  RemoveFileImages(images);
  rank = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    ListedEntry& entry = entries[i];
    if (!entry.shown) continue;
    const int node = 2 + 2 * rank;
    const QString image = ImageKey(entry, i);
    if (entry.image.isEmpty()) images.Add(image, entry.picture);
    const QString text = entry.name.toLower();
    if (isNew[static_cast<std::size_t>(rank)]) {
      if (tree.Insert(node, 1, text, image) == 0) return false;
      if (tree.Insert(node + 1, node, entry.target, kPath) == 0) return false;
    } else {
      // A rebuild drops the marks and any label not registered.
      if (tree.Text(node) != text) tree.SetText(node, text);
      if (tree.ForeColor(node) != colour::Black) tree.SetForeColor(node, colour::Black);
      if (!tree.Tag(node).isEmpty()) tree.SetTag(node, QString());
      if (fresh[i] || tree.Image(node) != image) tree.SetImage(node, image);
      if (tree.Text(node + 1) != entry.target) tree.SetText(node + 1, entry.target);
    }
    ++rank;
  }
  tree.CollapseAll();
  return true;
}

void ListKeywords(frmMain& form, KeywordListing& last, bool KillEmptyKeys, bool checkAll) {
  // Marks live only in the tree: the user may keep them by cancelling.
  if (form.RegisterKeyWords() == 2) return;
  if (form.ExportKeywords() == 2) return;

  TreeView& tree = *form.tvw;
  ImageList& images = *form.imlTVW;
  std::vector<ListedEntry> entries;
  {
    const FrozenTree frozen(tree);
    if (checkAll || !last.Valid()) {
      try {
        tree.Clear();
        tree.Add(0, 0, QStringLiteral("Run Keywords"), QStringLiteral("key"));
        RemoveFileImages(images);
        // Icons are looked up afresh at each load, so that a changed program shows its new one.
        images.ClearTypePictures();
      } catch (const std::exception&) {
      }
      last.Forget();
    }
    QList<store::SubkeyDefault> rows;
    try {
      rows = modRegEdit::EnumKeyDefaults(store::Hive::LocalMachine, kListedKey);
    } catch (const std::exception&) {
      rows.clear();
    }

    entries.reserve(static_cast<std::size_t>(rows.size()));
    std::vector<bool> fresh(static_cast<std::size_t>(rows.size()), true);
    {
      Progress progress(*form.pb, static_cast<int>(rows.size()));
      for (qsizetype i = 0; i < rows.size(); ++i) {
        const store::SubkeyDefault& row = rows.at(i);
        // An entry stored as the last load left it is shown as it was then.
        const ListedEntry* known = last.Valid() ? last.Find(row.name) : nullptr;
        if (known != nullptr && known->settled && known->stored == row.value && (known->shown || !KillEmptyKeys)) {
          entries.push_back(*known);
          fresh[static_cast<std::size_t>(i)] = false;
        } else {
          try {
            entries.push_back(Examine(form, row, KillEmptyKeys));
          } catch (const std::exception&) {
            // This entry is left out; the others are listed.
            ListedEntry skipped;
            skipped.name = row.name;
            entries.push_back(std::move(skipped));
          }
        }
        if (!last.Valid()) {
          try {
            if (entries.back().shown) AddNodes(tree, images, entries.back(), static_cast<std::size_t>(i));
          } catch (const std::exception&) {
            entries.back().shown = false;
          }
        }
        progress.at(static_cast<int>(i));
      }
    }
    if (last.Valid() && !PatchNodes(tree, images, last, entries, fresh)) BuildNodes(tree, images, entries);
    last.Assign(std::move(entries));
  }

  form.SetCaption();
  tree.Select(1);
  form.txtExe_Change();
}

}  // namespace

void frmMain::LoadTVW(bool KillEmptyKeys) {
  if (!listing_) listing_ = std::make_unique<KeywordListing>();
  ListKeywords(*this, *listing_, KillEmptyKeys, true);
}

void frmMain::UpdateTVW(bool KillEmptyKeys) {
  if (!listing_) listing_ = std::make_unique<KeywordListing>();
  ListKeywords(*this, *listing_, KillEmptyKeys, false);
}

void frmMain::SetCaption() {
  const int count = KeywordCount();
  setWindowTitle(QStringLiteral("Zelkar - ") + QString::number(count) +
                 (count == 1 ? QStringLiteral(" Keyword") : QStringLiteral(" Keywords")));
  setAccessibleName(windowTitle());  // a screen reader says the count as well
}

int frmMain::KeywordCount() const { return (tvw->Count() - 1) / 2; }

}  // namespace zelkar
