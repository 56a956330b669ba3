#include "list/TreeView.h"

#include "app/Controls.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <unordered_set>

namespace zelkar {

// ---- ImageList ----

ImageList::ImageList() = default;
ImageList::~ImageList() = default;

bool ImageList::Add(const QString& key, const QIcon& picture) {
  if (key.isEmpty() || positions_.contains(key)) return false;
  positions_.insert(key, static_cast<int>(entries_.size()));
  entries_.push_back({key, picture});
  return true;
}

void ImageList::Remove(int index) {
  if (index < 1 || index > Count()) return;
  const auto at = static_cast<std::size_t>(index - 1);
  positions_.remove(entries_[at].key);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at));
  // Only the images after the removed one move; removing from the end costs nothing.
  for (std::size_t i = at; i < entries_.size(); ++i) positions_[entries_[i].key] = static_cast<int>(i);
}

int ImageList::Count() const { return static_cast<int>(entries_.size()); }

QString ImageList::Key(int index) const {
  if (index < 1 || index > Count()) return {};
  return entries_[static_cast<std::size_t>(index - 1)].key;
}

bool ImageList::Contains(const QString& key) const { return positions_.contains(key); }

QIcon ImageList::Picture(const QString& key) const {
  const auto it = positions_.constFind(key);
  if (it == positions_.cend()) return {};
  return entries_[static_cast<std::size_t>(*it)].picture;
}

QIcon ImageList::TypePicture(const QString& type) const { return typePictures_.value(type); }

void ImageList::SetTypePicture(const QString& type, const QIcon& picture) { typePictures_.insert(type, picture); }

const ImageList::SuffixType* ImageList::FindSuffixType(const QString& suffix) const {
  const auto it = suffixTypes_.constFind(suffix);
  return it == suffixTypes_.cend() ? nullptr : &*it;
}

void ImageList::SetSuffixType(const QString& suffix, const SuffixType& type) { suffixTypes_.insert(suffix, type); }

void ImageList::ClearTypePictures() {
  typePictures_.clear();
  suffixTypes_.clear();
}

// ---- TreeView ----

namespace {

// A node with what the program keeps about it beside its text and picture.
class NodeItem : public QTreeWidgetItem {
 public:
  NodeItem() : QTreeWidgetItem(QTreeWidgetItem::UserType) {}
  int index = 0;   // 1-based position in order of addition
  QString lower;   // the text in lower case, for the keyword box's search
  QString image;   // image key
  int colour = colour::Black;
  QString tag;
};

// Packed colour value (0x00BBGGRR) as Qt's colour.
QColor FromPacked(int packed) {
  return QColor(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
}

// The tree widget itself. Mouse and key handling that must follow the view's
// own (the selection has to be made before the node click is raised) lives here.
class NodeTreeWidget : public QTreeWidget {
 public:
  explicit NodeTreeWidget(TreeView& owner) : QTreeWidget(&owner), owner_(owner) {}

  NodeItem* node(const QModelIndex& index) const { return static_cast<NodeItem*>(itemFromIndex(index)); }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    pressed_ = nullptr;
    QTreeWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) return;
    // A press on the label (not on the expand decoration) picks the node.
    const QPoint pos = event->position().toPoint();
    QTreeWidgetItem* item = itemAt(pos);
    if (item != nullptr && visualItemRect(item).contains(pos) && currentItem() == item) pressed_ = item;
  }

  void mouseReleaseEvent(QMouseEvent* event) override {
    QTreeWidget::mouseReleaseEvent(event);
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && pressed_ != nullptr) {
      auto* item = static_cast<NodeItem*>(pressed_);
      pressed_ = nullptr;
      if (itemAt(pos) == item && currentItem() == item) emit owner_.NodeClick(item->index);
    }
    emit owner_.MouseUp(MouseButtonCode(event->button()), ShiftState(event->modifiers()), pos.x(), pos.y());
  }

  void mouseDoubleClickEvent(QMouseEvent* event) override {
    const QPoint pos = event->position().toPoint();
    QTreeWidgetItem* item = event->button() == Qt::LeftButton ? itemAt(pos) : nullptr;
    // The second click picks the node again (the first one's node click may
    // have moved the selection), then the view expands or collapses it.
    const bool onLabel = item != nullptr && visualItemRect(item).contains(pos);
    if (onLabel) {
      setCurrentItem(item);
      emit owner_.NodeClick(static_cast<NodeItem*>(item)->index);
    }
    QTreeWidget::mouseDoubleClickEvent(event);
    pressed_ = nullptr;  // its release is no further click
    if (onLabel) emit owner_.DblClick();
  }

  void keyPressEvent(QKeyEvent* event) override {
    QTreeWidgetItem* const before = currentItem();
    QTreeWidget::keyPressEvent(event);
    QTreeWidgetItem* const after = currentItem();
    if (after != nullptr && after != before) emit owner_.NodeClick(static_cast<NodeItem*>(after)->index);
  }

  void keyReleaseEvent(QKeyEvent* event) override {
    QTreeWidget::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
      emit owner_.KeyUp(VirtualKeyCode(event->key()), ShiftState(event->modifiers()));
  }

 private:
  TreeView& owner_;
  QTreeWidgetItem* pressed_ = nullptr;
};

// A node with everything set before it joins the tree, so that adding it is
// one insertion for the view.
NodeItem* NewNode(const ImageList& images, const QString& text, const QString& image) {
  auto* item = new NodeItem();
  item->setText(0, text);
  item->setIcon(0, images.Picture(image));
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable);
  item->lower = text.toLower();
  item->image = image;
  return item;
}

// Label editing: the handler of the end of the edit decides what the label becomes.
class LabelDelegate : public QStyledItemDelegate {
 public:
  LabelDelegate(TreeView& owner, NodeTreeWidget& tree) : QStyledItemDelegate(&tree), owner_(owner), tree_(tree) {}

  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
    const auto* line = qobject_cast<QLineEdit*>(editor);
    NodeItem* item = tree_.node(index);
    if (line == nullptr || item == nullptr) return;
    const QPersistentModelIndex still(index);
    int Cancel = 0;
    QString NewString = line->text();
    emit owner_.AfterLabelEdit(Cancel, NewString);
    // The handler may have rebuilt the tree; then there is no label to set.
    if (Cancel != 0 || !still.isValid()) return;
    owner_.SetText(item->index, NewString);
  }

 private:
  TreeView& owner_;
  NodeTreeWidget& tree_;
};

// The first characters of a node's lower-case text, side by side with the
// others', so that the keyword box's search runs through memory in one sweep.
struct Head {
  static constexpr int kLength = 8;
  std::array<ushort, kLength> c{};  // zero-padded

  explicit Head(const QString& lower) {
    const auto n = std::min<qsizetype>(lower.size(), kLength);
    std::copy_n(lower.utf16(), n, c.begin());
  }
  bool mayStartWith(const ushort* prefix, int n) const {
    return std::equal(prefix, prefix + n, c.begin());
  }
};

}  // namespace

struct TreeView::Impl {
  explicit Impl(ImageList& list) : images(list) {}
  ImageList& images;
  NodeTreeWidget* tree = nullptr;
  std::vector<NodeItem*> nodes;  // by index - 1; owned by the tree widget
  std::vector<Head> heads;       // by index - 1

  NodeItem* at(int index) const {
    if (index < 1 || index > static_cast<int>(nodes.size())) return nullptr;
    return nodes[static_cast<std::size_t>(index - 1)];
  }
};

TreeView::TreeView(ImageList& images, QWidget* parent) : QWidget(parent), impl_(std::make_unique<Impl>(images)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* tree = new NodeTreeWidget(*this);
  impl_->tree = tree;
  tree->setObjectName(QStringLiteral("tvwNodes"));
  tree->setAccessibleName(QStringLiteral("Run Keywords"));
  tree->setColumnCount(1);
  tree->setHeaderHidden(true);
  tree->setRootIsDecorated(true);
  tree->setUniformRowHeights(true);
  tree->setSortingEnabled(false);  // shown in order of addition
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  tree->setEditTriggers(QAbstractItemView::NoEditTriggers);  // labels are edited on request only
  tree->setExpandsOnDoubleClick(true);
  tree->setIconSize(QSize(16, 16));
  tree->setItemDelegate(new LabelDelegate(*this, *tree));
  // A right click neither selects nor opens a menu of the tree's own: the
  // program pops up its menu on mouse up.
  tree->setContextMenuPolicy(Qt::PreventContextMenu);
  tree->setAcceptDrops(true);
  tree->viewport()->setAcceptDrops(true);
  tree->viewport()->installEventFilter(this);
  layout->addWidget(tree);
  setFocusProxy(tree);
}

TreeView::~TreeView() = default;

// Events the view must not see: presses of the other buttons (they would move
// the selection) and drags, which carry files for the program.
bool TreeView::eventFilter(QObject* watched, QEvent* event) {
  if (watched != impl_->tree->viewport()) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      return static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton;
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton) return false;
      const QPoint p = mouse->position().toPoint();
      emit MouseUp(MouseButtonCode(mouse->button()), ShiftState(mouse->modifiers()), p.x(), p.y());
      return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (drag->mimeData() != nullptr && drag->mimeData()->hasUrls())
        drag->acceptProposedAction();
      else
        drag->ignore();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      if (drop->mimeData() == nullptr || !drop->mimeData()->hasUrls()) {
        drop->ignore();
        return true;
      }
      const QPoint p = drop->position().toPoint();
      drop->acceptProposedAction();
      emit OLEDragDrop(drop->mimeData(), static_cast<int>(drop->dropAction()), MouseButtonCode(Qt::LeftButton),
                       ShiftState(drop->modifiers()), p.x(), p.y());
      return true;
    }
    default:
      return false;
  }
}

int TreeView::Add(int relative, int relationship, const QString& text, const QString& image) {
  if (!impl_->images.Contains(image)) return 0;
  NodeItem* parent = nullptr;
  if (relative != 0) {
    parent = impl_->at(relative);
    if (parent == nullptr || relationship != tvwChild) return 0;
  }
  NodeItem* item = NewNode(impl_->images, text, image);
  item->index = static_cast<int>(impl_->nodes.size()) + 1;
  impl_->nodes.push_back(item);
  impl_->heads.emplace_back(item->lower);
  if (parent != nullptr)
    parent->addChild(item);
  else
    impl_->tree->addTopLevelItem(item);
  return item->index;
}

int TreeView::Insert(int index, int relative, const QString& text, const QString& image) {
  if (index == Count() + 1) return Add(relative, tvwChild, text, image);
  NodeItem* parent = impl_->at(relative);
  if (!impl_->images.Contains(image) || parent == nullptr || relative >= index || index > Count()) return 0;
  NodeItem* item = NewNode(impl_->images, text, image);
  const auto at = static_cast<std::ptrdiff_t>(index - 1);
  impl_->nodes.insert(impl_->nodes.begin() + at, item);
  impl_->heads.insert(impl_->heads.begin() + at, Head(item->lower));
  for (std::size_t i = static_cast<std::size_t>(at); i < impl_->nodes.size(); ++i)
    impl_->nodes[i]->index = static_cast<int>(i) + 1;
  // Siblings stand in index order: the first with a higher index follows it.
  int low = 0;
  int high = parent->childCount();
  while (low < high) {
    const int mid = (low + high) / 2;
    if (static_cast<const NodeItem*>(parent->child(mid))->index < index)
      low = mid + 1;
    else
      high = mid;
  }
  parent->insertChild(low, item);
  return index;
}

void TreeView::Remove(int index) {
  NodeItem* const item = impl_->at(index);
  if (item == nullptr) return;
  // The node goes with everything below it; the nodes after them move up.
  std::unordered_set<const QTreeWidgetItem*> gone{item};
  std::vector<const QTreeWidgetItem*> pending{item};
  while (!pending.empty()) {
    const QTreeWidgetItem* n = pending.back();
    pending.pop_back();
    for (int c = 0; c < n->childCount(); ++c) {
      gone.insert(n->child(c));
      pending.push_back(n->child(c));
    }
  }
  std::vector<NodeItem*> kept;
  std::vector<Head> keptHeads;
  kept.reserve(impl_->nodes.size() - gone.size());
  keptHeads.reserve(kept.capacity());
  for (std::size_t i = 0; i < impl_->nodes.size(); ++i) {
    NodeItem* n = impl_->nodes[i];
    if (gone.count(n) != 0) continue;
    n->index = static_cast<int>(kept.size()) + 1;
    kept.push_back(n);
    keptHeads.push_back(impl_->heads[i]);
  }
  impl_->nodes.swap(kept);
  impl_->heads.swap(keptHeads);
  delete item;  // takes its children along and leaves the tree widget
}

void TreeView::Clear() {
  impl_->nodes.clear();
  impl_->heads.clear();
  impl_->tree->clear();
}

int TreeView::Count() const { return static_cast<int>(impl_->nodes.size()); }

QString TreeView::Text(int index) const {
  const NodeItem* n = impl_->at(index);
  return n != nullptr ? n->text(0) : QString();
}

void TreeView::SetText(int index, const QString& text) {
  NodeItem* n = impl_->at(index);
  if (n == nullptr) return;
  n->lower = text.toLower();
  impl_->heads[static_cast<std::size_t>(index - 1)] = Head(n->lower);
  n->setText(0, text);
}

QString TreeView::Image(int index) const {
  const NodeItem* n = impl_->at(index);
  return n != nullptr ? n->image : QString();
}

void TreeView::SetImage(int index, const QString& image) {
  NodeItem* n = impl_->at(index);
  if (n == nullptr || !impl_->images.Contains(image)) return;
  n->image = image;
  // Another key for the same picture is nothing the view has to know about.
  const QIcon picture = impl_->images.Picture(image);
  if (n->icon(0).cacheKey() != picture.cacheKey()) n->setIcon(0, picture);
}

int TreeView::ForeColor(int index) const {
  const NodeItem* n = impl_->at(index);
  return n != nullptr ? n->colour : colour::Black;
}

void TreeView::SetForeColor(int index, int packedColour) {
  NodeItem* n = impl_->at(index);
  if (n == nullptr || n->colour == packedColour) return;
  n->colour = packedColour;
  // Black is the ordinary text: drawn in the theme's text colour, so that it
  // stays readable on a dark theme.
  if (packedColour == colour::Black)
    n->setData(0, Qt::ForegroundRole, QVariant());
  else
    n->setForeground(0, QBrush(FromPacked(packedColour)));
}

QString TreeView::Tag(int index) const {
  const NodeItem* n = impl_->at(index);
  return n != nullptr ? n->tag : QString();
}

void TreeView::SetTag(int index, const QString& tag) {
  if (NodeItem* n = impl_->at(index)) n->tag = tag;
}

int TreeView::Parent(int index) const {
  const NodeItem* n = impl_->at(index);
  if (n == nullptr || n->parent() == nullptr) return 0;
  return static_cast<const NodeItem*>(n->parent())->index;
}

int TreeView::FirstChild(int index) const {
  const NodeItem* n = impl_->at(index);
  if (n == nullptr || n->childCount() == 0) return 0;
  return static_cast<const NodeItem*>(n->child(0))->index;
}

int TreeView::SelectedItem() const {
  const auto* n = static_cast<const NodeItem*>(impl_->tree->currentItem());
  return n != nullptr ? n->index : 0;
}

void TreeView::Select(int index) {
  NodeItem* n = impl_->at(index);
  if (n == nullptr) return;
  impl_->tree->setCurrentItem(n);
  impl_->tree->scrollToItem(n);  // shows it, unfolding the nodes above it
}

void TreeView::CollapseAll() { impl_->tree->collapseAll(); }

void TreeView::StartLabelEdit() {
  if (QTreeWidgetItem* item = impl_->tree->currentItem()) impl_->tree->editItem(item, 0);
}

int TreeView::FindKeywordPrefix(const QString& prefix) const {
  const QString wanted = prefix.toLower();
  const ushort* chars = wanted.utf16();
  const int n = static_cast<int>(std::min<qsizetype>(wanted.size(), Head::kLength));
  const std::size_t count = impl_->nodes.size();
  for (std::size_t i = 1; i < count; i += 2) {  // indices 2, 4, 6, ...
    if (!impl_->heads[i].mayStartWith(chars, n)) continue;
    if (impl_->nodes[i]->lower.startsWith(wanted)) return static_cast<int>(i) + 1;
  }
  return 0;
}

QTreeWidget* TreeView::widget() const { return impl_->tree; }

ImageList& TreeView::imageList() const { return impl_->images; }

}  // namespace zelkar
