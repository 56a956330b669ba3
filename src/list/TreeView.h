#pragma once

#include <QHash>
#include <QIcon>
#include <QMimeType>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

#include <QMimeData>
class QTreeWidget;
class QTreeWidgetItem;

namespace zelkar {

// The tree's images under their keys; 1-based indices in order of addition.
class ImageList {
 public:
  ImageList();
  ~ImageList();
  // Adds at the end; false when the key is empty or already used.
  bool Add(const QString& key, const QIcon& picture);
  void Remove(int index);
  int Count() const;
  QString Key(int index) const;
  bool Contains(const QString& key) const;
  QIcon Picture(const QString& key) const;  // null icon when missing

  // Pictures looked up for a file type (or an executable's path), so that the
  // images of many files of one type share one picture.
  QIcon TypePicture(const QString& type) const;  // null icon when not looked up yet
  void SetTypePicture(const QString& type, const QIcon& picture);
  // File types looked up by a file name's extension (all after its first "."),
  // with whether a file of the type may be a program. Cleared with the pictures.
  struct SuffixType {
    QMimeType type;
    bool mayBeProgram = false;
  };
  const SuffixType* FindSuffixType(const QString& suffix) const;  // nullptr when not looked up yet
  void SetSuffixType(const QString& suffix, const SuffixType& type);
  void ClearTypePictures();

 private:
  struct Entry {
    QString key;
    QIcon picture;
  };
  std::vector<Entry> entries_;
  QHash<QString, int> positions_;  // key -> 0-based position in entries_
  QHash<QString, QIcon> typePictures_;
  QHash<QString, SuffixType> suffixTypes_;
};

// Packed colours of node texts.
namespace colour {
constexpr int Black = 0;
constexpr int Red = 255;
constexpr int Blue = 16711680;
}  // namespace colour

// Relationship of a new node to its relative.
constexpr int tvwChild = 4;

// The keyword tree: a thin class over QTreeWidget that offers what the program
// needs of a tree view control. Nodes are addressed by 1-based indices in order
// of addition; removing a node renumbers the ones after it, as a collection
// does. Index 0 means "no node".
class TreeView : public QWidget {
  Q_OBJECT

 public:
  explicit TreeView(ImageList& images, QWidget* parent = nullptr);
  ~TreeView() override;

  // Nodes collection. `relative` 0 adds a top-level node; otherwise the node is
  // added with `relationship` (tvwChild) to node `relative`. Returns the new
  // node's index, or 0 when the image key is not in the image list or there is
  // no such relative (nothing is added then).
  int Add(int relative, int relationship, const QString& text, const QString& image);
  // Adds a child of node `relative` that takes index `index` (at most
  // Count() + 1, above `relative`): the nodes from `index` on move up by one,
  // and among its siblings it stands before those with higher indices.
  // Returns `index`, or 0 when nothing was added (as Add).
  int Insert(int index, int relative, const QString& text, const QString& image);
  void Remove(int index);
  void Clear();  // removes every node, last first
  int Count() const;

  QString Text(int index) const;
  void SetText(int index, const QString& text);
  QString Image(int index) const;
  // Gives the node another image of the image list (its picture is looked up afresh).
  void SetImage(int index, const QString& image);
  int ForeColor(int index) const;
  void SetForeColor(int index, int packedColour);
  QString Tag(int index) const;
  void SetTag(int index, const QString& tag);
  int Parent(int index) const;      // 0 for a top-level node
  int FirstChild(int index) const;  // 0 when it has none

  int SelectedItem() const;  // 0 when none
  // Selects from code (raises no NodeClick) and shows the node, unfolding the
  // nodes above it as a selection by the user would.
  void Select(int index);
  // Folds every node, as the nodes of a new tree are.
  void CollapseAll();
  // Starts editing the selected node's label; AfterLabelEdit follows.
  void StartLabelEdit();

  // The first keyword-node index (2, 4, 6, ...) whose text starts with `prefix`
  // compared in lower case; 0 when none does. Fast: node texts are kept lower-cased.
  int FindKeywordPrefix(const QString& prefix) const;

  QTreeWidget* widget() const;
  ImageList& imageList() const;

 signals:
  // The user clicked a node, or reached it with the keyboard.
  void NodeClick(int index);
  // End of a label edit: a non-zero Cancel keeps the old label; otherwise the
  // label takes NewString as the handler left it. Connect directly.
  void AfterLabelEdit(int& Cancel, QString& NewString);
  void KeyUp(int KeyCode, int Shift);
  void MouseUp(int Button, int Shift, int X, int Y);
  void DblClick();
  void OLEDragDrop(const QMimeData* data, int Effect, int Button, int Shift, int X, int Y);

 protected:
  // Watches the tree's viewport: the other mouse buttons and file drags.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace zelkar
