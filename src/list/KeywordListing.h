#pragma once

#include "store/RegistryStore.h"

#include <QHash>
#include <QIcon>
#include <QString>

#include <optional>
#include <vector>

namespace zelkar {

// What the last tree load made of one App Paths entry.
struct ListedEntry {
  QString name;                        // the subkey's name as stored
  std::optional<store::Value> stored;  // its default value as the load found it
  bool settled = false;                // loading it again writes nothing and shows the same
  bool shown = false;                  // it has its two nodes in the tree
  QString image;                       // image key of its keyword node; empty for a file's
  QIcon picture;                       // a file's picture
  QString target;                      // text of its target node
};

// The entries of the last load in listing order, so that the tree can be
// brought up to date by redoing only the entries whose stored value changed.
class KeywordListing {
 public:
  void Assign(std::vector<ListedEntry> entries);
  void Forget();  // the tree no longer follows the listing
  bool Valid() const { return valid_; }
  const std::vector<ListedEntry>& Entries() const { return entries_; }
  // The entry of this name (exact), or nullptr.
  const ListedEntry* Find(const QString& name) const;
  int ShownCount() const { return shown_; }

 private:
  std::vector<ListedEntry> entries_;
  QHash<QString, int> byName_;
  int shown_ = 0;
  bool valid_ = false;
};

}  // namespace zelkar
