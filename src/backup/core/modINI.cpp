#include "backup/core/modINI.h"

#include "backup/core/ProfileDocument.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <memory>
#include <vector>

namespace zelkar::modINI {
namespace {

// The parsed copy that every open batch on one file shares.
struct BatchState {
  QString path;
  ProfileDocument doc;
  bool writable = true;  // false when the file exists but could not be read
  bool dirty = false;
  bool ok = true;
};

// An open batch: its file's absolute, cleaned path, and the absolute spelling
// of that path seen last, which spares cleaning the same text at every call.
// (A relative spelling is never kept: it depends on the working folder.)
struct OpenBatch {
  QString key;
  QString spelling;
  std::weak_ptr<BatchState> state;
};

// The open batches (rarely more than one). Used from the one user-interface
// thread only.
std::vector<OpenBatch>& OpenBatches() {
  static std::vector<OpenBatch> batches;
  return batches;
}

QString BatchKey(const QString& file) { return QDir::cleanPath(QFileInfo(file).absoluteFilePath()); }

std::shared_ptr<BatchState> OpenBatchFor(const QString& file) {
  auto& batches = OpenBatches();
  if (batches.empty() || file.isEmpty()) return nullptr;
  for (const OpenBatch& batch : batches)
    if (batch.spelling == file) return batch.state.lock();
  const QString key = BatchKey(file);
  for (OpenBatch& batch : batches)
    if (batch.key == key) {
      if (QDir::isAbsolutePath(file)) batch.spelling = file;
      return batch.state.lock();
    }
  return nullptr;
}

// What a reader gets: a value in matching quotes loses them, and at most 254
// characters come back.
QString ReadBack(const QString& stored) {
  constexpr qsizetype kMaxChars = 254;
  QStringView v(stored);
  if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
    v = v.sliced(1, v.size() - 2);
  qsizetype units = 0;
  for (qsizetype chars = 0; units < v.size() && chars < kMaxChars; ++chars)
    units += (v[units].isHighSurrogate() && units + 1 < v.size() && v[units + 1].isLowSurrogate()) ? 2 : 1;
  return v.first(units).toString();
}

bool Flush(BatchState& state) {
  if (!state.dirty) return true;
  if (!SaveProfile(state.path, state.doc, nullptr)) {
    state.ok = false;
    return false;
  }
  state.dirty = false;
  return true;
}

}  // namespace

std::int16_t WriteINI(const QString& Section, const QString& Key, const QString& Value, const QString& File) {
  if (File.isEmpty()) return 0;
  if (const auto batch = OpenBatchFor(File)) {
    if (!batch->writable) {
      batch->ok = false;
      return 0;
    }
    if (batch->doc.setValue(Section, Key, Value)) batch->dirty = true;
    return 1;
  }
  // A file that is there but cannot be read is never replaced by one holding
  // only this key.
  LoadedProfile loaded = LoadProfile(File);
  if (!loaded.readable) return 0;
  if (!loaded.doc.setValue(Section, Key, Value) && loaded.exists) return 1;
  return SaveProfile(File, loaded.doc, nullptr) ? 1 : 0;
}

QString ReadINI(const QString& Section, const QString& Key, const QString& File) {
  if (File.isEmpty()) return QString();
  std::optional<QString> stored;
  if (const auto batch = OpenBatchFor(File))
    stored = batch->doc.value(Section, Key);
  else
    stored = LoadProfile(File).doc.value(Section, Key);
  return stored ? ReadBack(*stored) : QString();
}

qint64 HighestNumberedKey(const QString& Section, const QString& File) {
  if (File.isEmpty()) return 0;
  if (const auto batch = OpenBatchFor(File)) return batch->doc.highestNumberedKey(Section);
  return LoadProfile(File).doc.highestNumberedKey(Section);
}

std::optional<QString> ReadINIWithin(const QString& Section, const QString& Key, const QString& File,
                                     qint64 limit) {
  const LoadedProfile loaded = LoadProfile(File, limit);
  if (!loaded.readable) return std::nullopt;
  const std::optional<QString> stored = loaded.doc.value(Section, Key);
  return stored ? ReadBack(*stored) : QString();
}

void AdoptSavedProfile(const QString& path, const ProfileDocument& doc) {
  if (const auto batch = OpenBatchFor(path)) {
    batch->doc = doc;
    batch->writable = true;
    batch->dirty = false;
  }
}

struct Batch::Impl {
  QString key;
  std::shared_ptr<BatchState> state;
};

Batch::Batch(const QString& file) : impl_(std::make_unique<Impl>()) {
  if (file.isEmpty()) {
    impl_->state = std::make_shared<BatchState>();
    impl_->state->writable = false;
    return;
  }
  if (auto shared = OpenBatchFor(file)) {
    impl_->state = std::move(shared);
    return;
  }
  impl_->key = BatchKey(file);
  LoadedProfile loaded = LoadProfile(impl_->key);
  impl_->state = std::make_shared<BatchState>(
      BatchState{impl_->key, std::move(loaded.doc), loaded.readable, false, true});
  OpenBatches().push_back(OpenBatch{impl_->key, impl_->key, impl_->state});
}

Batch::~Batch() {
  Flush(*impl_->state);
  impl_->state.reset();
  auto& batches = OpenBatches();
  batches.erase(std::remove_if(batches.begin(), batches.end(),
                               [](const OpenBatch& batch) { return batch.state.expired(); }),
                batches.end());
}

bool Batch::flush() {
  BatchState& state = *impl_->state;
  return Flush(state) && (state.writable || state.ok);
}

bool Batch::ok() const { return impl_->state->ok; }

}  // namespace zelkar::modINI
