// DEVELOPMENT SCAFFOLD: removed when the tree control lands.
#include "list/TreeView.h"

#include <QTreeWidget>

namespace zelkar {

ImageList::ImageList() = default;
ImageList::~ImageList() = default;
bool ImageList::Add(const QString& key, const QIcon& picture) {
  if (key.isEmpty() || Contains(key)) return false;
  entries_.push_back({key, picture});
  return true;
}
void ImageList::Remove(int index) { entries_.erase(entries_.begin() + (index - 1)); }
int ImageList::Count() const { return static_cast<int>(entries_.size()); }
QString ImageList::Key(int index) const { return entries_.at(index - 1).key; }
bool ImageList::Contains(const QString& key) const {
  for (const auto& e : entries_)
    if (e.key == key) return true;
  return false;
}
QIcon ImageList::Picture(const QString& key) const {
  for (const auto& e : entries_)
    if (e.key == key) return e.picture;
  return {};
}

struct TreeView::Impl {};
TreeView::TreeView(ImageList&, QWidget* parent) : QWidget(parent) {}
TreeView::~TreeView() = default;
bool TreeView::eventFilter(QObject* w, QEvent* e) { return QWidget::eventFilter(w, e); }
int TreeView::Add(int, int, const QString&, const QString&) { qFatal("not built yet"); }
void TreeView::Remove(int) { qFatal("not built yet"); }
void TreeView::Clear() { qFatal("not built yet"); }
int TreeView::Count() const { qFatal("not built yet"); }
QString TreeView::Text(int) const { qFatal("not built yet"); }
void TreeView::SetText(int, const QString&) { qFatal("not built yet"); }
QString TreeView::Image(int) const { qFatal("not built yet"); }
int TreeView::ForeColor(int) const { qFatal("not built yet"); }
void TreeView::SetForeColor(int, int) { qFatal("not built yet"); }
QString TreeView::Tag(int) const { qFatal("not built yet"); }
void TreeView::SetTag(int, const QString&) { qFatal("not built yet"); }
int TreeView::Parent(int) const { qFatal("not built yet"); }
int TreeView::FirstChild(int) const { qFatal("not built yet"); }
int TreeView::SelectedItem() const { qFatal("not built yet"); }
void TreeView::Select(int) { qFatal("not built yet"); }
void TreeView::StartLabelEdit() { qFatal("not built yet"); }
int TreeView::FindKeywordPrefix(const QString&) const { qFatal("not built yet"); }
QTreeWidget* TreeView::widget() const { qFatal("not built yet"); }

}  // namespace zelkar
