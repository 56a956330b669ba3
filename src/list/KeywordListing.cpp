#include "list/KeywordListing.h"

namespace zelkar {

void KeywordListing::Assign(std::vector<ListedEntry> entries) {
  entries_ = std::move(entries);
  byName_.clear();
  byName_.reserve(static_cast<qsizetype>(entries_.size()));
  shown_ = 0;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    byName_.insert(entries_[i].name, static_cast<int>(i));
    if (entries_[i].shown) ++shown_;
  }
  valid_ = true;
}

void KeywordListing::Forget() {
  entries_.clear();
  byName_.clear();
  shown_ = 0;
  valid_ = false;
}

const ListedEntry* KeywordListing::Find(const QString& name) const {
  const auto it = byName_.constFind(name);
  return it == byName_.cend() ? nullptr : &entries_[static_cast<std::size_t>(*it)];
}

}  // namespace zelkar
