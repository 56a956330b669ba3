#include "store/RegistryStore.h"

#include "launch/core/KeywordFolder.h"
#include "store/HiveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace zelkar::store {
namespace {

// HKEY_CLASSES_ROOT is this key of the machine hive.
const QString kClassesKey = QStringLiteral("SOFTWARE\\Classes");

QString absolute(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

// The store folder is private to its user; folders above it are left as the
// system makes them.
void makeStoreFolder(const QString& folder) {
  if (QFileInfo::exists(folder)) return;
  QDir().mkpath(QFileInfo(folder).absolutePath());
  ::mkdir(QFile::encodeName(folder).constData(), 0700);
}

std::unique_ptr<RegistryStore>& processStore() {
  static std::unique_ptr<RegistryStore> store;
  return store;
}

std::optional<StoreLocation>& chosenLocation() {
  static std::optional<StoreLocation> location;
  return location;
}

}  // namespace

Value Value::fromString(const QString& text, std::uint32_t type) {
  QByteArray data = text.toUtf8();
  data.append('\0');
  return {type, data};
}

Value Value::fromDWord(std::uint32_t number) {
  QByteArray data(4, '\0');
  for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((number >> (8 * i)) & 0xffu);
  return {type::DWord, data};
}

StoreError::StoreError(const QString& file, const QString& reason, Kind kind)
    : std::runtime_error(QStringLiteral("%1: %2").arg(file, reason).toStdString()),
      file_(file),
      reason_(reason),
      kind_(kind) {}

StoreLocation StoreLocation::inDirectory(const QString& directory) {
  StoreLocation location;
  location.directory = absolute(directory);
  const QDir folder(location.directory);
  location.machineFile = folder.filePath(QStringLiteral("machine.sqlite"));
  location.userFile = folder.filePath(QStringLiteral("user.sqlite"));
  return location;
}

StoreLocation StoreLocation::fromEnvironment() {
  QString directory = qEnvironmentVariable("ZELKAR_REGISTRY");
  if (directory.isEmpty()) {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || QDir::isRelativePath(data)) data = QDir::homePath() + QStringLiteral("/.local/share");
    directory = data + QStringLiteral("/zelkar/registry");
  }
  StoreLocation location = inDirectory(directory);
  const QString machine = qEnvironmentVariable("ZELKAR_MACHINE_HIVE");
  if (!machine.isEmpty()) location.machineFile = absolute(machine);
  return location;
}

struct RegistryStore::Impl {
  StoreLocation location;
  std::shared_ptr<HiveFile> machine;
  std::shared_ptr<HiveFile> user;
  QString faultText;
  int faultCode = 0;
  std::uint64_t failedWrites = 0;

  const std::shared_ptr<HiveFile>& shared(Hive hive) const {
    static const std::shared_ptr<HiveFile> none;
    switch (hive) {
      case Hive::LocalMachine:
      case Hive::ClassesRoot:
        return machine;
      case Hive::CurrentUser:
        return user;
    }
    return none;
  }
  HiveFile* file(Hive hive) const { return shared(hive).get(); }

  // The key's path inside its hive file.
  static QString inFile(Hive hive, const QString& path) {
    if (hive != Hive::ClassesRoot) return path;
    return path.isEmpty() ? kClassesKey : kClassesKey + u'\\' + path;
  }
  static QString folded(Hive hive, const QString& path) { return FoldPath(inFile(hive, path)); }

  Outcome written(const HiveFile& hive, Outcome outcome) {
    if (outcome == Outcome::Refused || outcome == Outcome::Fault) ++failedWrites;
    return noted(hive, outcome);
  }
  Outcome noted(const HiveFile& hive, Outcome outcome) {
    if (outcome == Outcome::Fault) {
      faultText = hive.faultText();
      faultCode = hive.faultCode();
    }
    return outcome;
  }
};

RegistryStore::RegistryStore(const StoreLocation& location) : impl_(std::make_unique<Impl>()) {
  impl_->location = location;
  if (!location.readOnly) makeStoreFolder(location.directory);
  impl_->user = std::make_shared<HiveFile>(location.userFile, location.readOnly, true);
  if (absolute(location.machineFile) == absolute(location.userFile))
    impl_->machine = impl_->user;
  else
    impl_->machine = std::make_shared<HiveFile>(location.machineFile, location.readOnly, false);
  // Whoever writes keywords keeps the keyword folder in step.
  if (!location.readOnly) launch::FollowKeywordFolder(*this);
}

RegistryStore::~RegistryStore() = default;

RegistryStore& RegistryStore::current() {
  std::unique_ptr<RegistryStore>& store = processStore();
  if (!store) {
    const std::optional<StoreLocation>& chosen = chosenLocation();
    store = std::make_unique<RegistryStore>(chosen ? *chosen : StoreLocation::fromEnvironment());
  }
  return *store;
}

void RegistryStore::resetCurrent() {
  processStore().reset();
  chosenLocation().reset();
}

void RegistryStore::useLocation(const StoreLocation& location) {
  processStore().reset();
  chosenLocation() = location;
}

const StoreLocation& RegistryStore::location() const { return impl_->location; }

bool RegistryStore::keyExists(Hive hive, const QString& path) const {
  HiveFile* file = impl_->file(hive);
  return file && file->keyExists(Impl::folded(hive, path));
}

std::optional<Value> RegistryStore::readValue(Hive hive, const QString& path, const QString& name) const {
  HiveFile* file = impl_->file(hive);
  if (!file) return std::nullopt;
  return file->value(Impl::folded(hive, path), FoldName(name));
}

QList<NamedValue> RegistryStore::values(Hive hive, const QString& path) const {
  HiveFile* file = impl_->file(hive);
  return file ? file->values(Impl::folded(hive, path)) : QList<NamedValue>();
}

QStringList RegistryStore::subkeys(Hive hive, const QString& path) const {
  HiveFile* file = impl_->file(hive);
  return file ? file->subkeys(Impl::folded(hive, path)) : QStringList();
}

QList<SubkeyDefault> RegistryStore::subkeyDefaults(Hive hive, const QString& path) const {
  HiveFile* file = impl_->file(hive);
  return file ? file->subkeyDefaults(Impl::folded(hive, path)) : QList<SubkeyDefault>();
}

std::optional<QString> RegistryStore::storedPath(Hive hive, const QString& path) const {
  HiveFile* file = impl_->file(hive);
  if (!file) return std::nullopt;
  std::optional<QString> stored = file->storedPath(Impl::folded(hive, path));
  if (stored && hive == Hive::ClassesRoot) *stored = stored->mid(kClassesKey.size() + 1);
  return stored;
}

QString RegistryStore::hiveFile(Hive hive) const {
  const HiveFile* file = impl_->file(hive);
  return file ? file->file() : QString();
}

bool RegistryStore::writable(Hive hive) const {
  const HiveFile* file = impl_->file(hive);
  return file && file->writable();
}

Outcome RegistryStore::createKey(Hive hive, const QString& path) {
  HiveFile* file = impl_->file(hive);
  if (!file) return Outcome::Refused;
  return impl_->written(*file, file->createKey(KeyPath::from(Impl::inFile(hive, path))));
}

Outcome RegistryStore::writeValue(Hive hive, const QString& path, const QString& name, const Value& value) {
  HiveFile* file = impl_->file(hive);
  if (!file) return Outcome::Refused;
  return impl_->written(*file, file->writeValue(KeyPath::from(Impl::inFile(hive, path)), name, value));
}

Outcome RegistryStore::deleteValue(Hive hive, const QString& path, const QString& name) {
  HiveFile* file = impl_->file(hive);
  if (!file) return Outcome::Refused;
  return impl_->noted(*file, file->deleteValue(KeyPath::from(Impl::inFile(hive, path)), name));
}

Outcome RegistryStore::deleteKey(Hive hive, const QString& path) {
  HiveFile* file = impl_->file(hive);
  if (!file) return Outcome::Refused;
  // HKEY_CLASSES_ROOT itself is a hive's root, not a key to delete.
  if (hive == Hive::ClassesRoot && FoldPath(path).isEmpty())
    return file->keyExists(Impl::folded(hive, path)) ? Outcome::Refused : Outcome::Missing;
  return impl_->noted(*file, file->deleteKey(KeyPath::from(Impl::inFile(hive, path))));
}

std::int64_t RegistryStore::dataVersion(Hive hive) const {
  HiveFile* file = impl_->file(hive);
  return file ? file->dataVersion() : -1;
}

void RegistryStore::watch(Hive hive, const QString& path, Watch changed) {
  if (HiveFile* file = impl_->file(hive)) file->watch(Impl::folded(hive, path), std::move(changed));
}

std::uint64_t RegistryStore::failedWrites() const { return impl_->failedWrites; }

QString RegistryStore::faultText() const { return impl_->faultText; }

int RegistryStore::faultCode() const { return impl_->faultCode; }

struct RegistryStore::Transaction::Impl {
  std::weak_ptr<HiveFile> hive;
  bool pending = false;  // its group is still open in the hive
  bool started = false;  // the group could be started
};

RegistryStore::Transaction::Transaction(RegistryStore& store, Hive hive) : impl_(std::make_unique<Impl>()) {
  const std::shared_ptr<HiveFile>& file = store.impl_->shared(hive);
  if (!file) return;
  impl_->hive = file;
  impl_->started = file->beginGroup();
  impl_->pending = true;
}

RegistryStore::Transaction::~Transaction() {
  if (!impl_->pending) return;
  if (const std::shared_ptr<HiveFile> file = impl_->hive.lock()) file->rollbackGroup();
}

bool RegistryStore::Transaction::commit() {
  if (!impl_->pending) return false;
  impl_->pending = false;
  const std::shared_ptr<HiveFile> file = impl_->hive.lock();
  return file && file->commitGroup() && impl_->started;
}

bool RegistryStore::Transaction::active() const {
  return impl_->pending && impl_->started && !impl_->hive.expired();
}

}  // namespace zelkar::store
