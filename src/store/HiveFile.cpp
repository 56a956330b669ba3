#include "store/HiveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelkar::store {
namespace {

// "ZLKR": marks a database as a registry store.
constexpr std::int64_t kApplicationId = 0x5A4C4B52;
constexpr std::int64_t kSchemaVersion = 1;

// The root key has id 1 and no parent; every other key points at its parent.
// `path` is the whole case-folded path, so any key is found by one lookup.
constexpr const char* kSchema = R"sql(
CREATE TABLE regkey(
  id INTEGER PRIMARY KEY,
  parent INTEGER REFERENCES regkey(id),
  name TEXT NOT NULL,
  folded TEXT NOT NULL,
  path TEXT NOT NULL UNIQUE
);
CREATE INDEX regkey_children ON regkey(parent, folded);
CREATE TABLE regvalue(
  key INTEGER NOT NULL REFERENCES regkey(id),
  folded TEXT NOT NULL,
  name TEXT NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  PRIMARY KEY(key, folded)
) WITHOUT ROWID;
INSERT INTO regkey(id, parent, name, folded, path) VALUES(1, NULL, '', '', '');
PRAGMA application_id = 1514949458;
PRAGMA user_version = 1;
)sql";

constexpr const char* kQueries[] = {
    // FindKey
    "SELECT id FROM regkey WHERE path = ?1",
    // FindValue
    "SELECT v.type, v.data FROM regkey k JOIN regvalue v ON v.key = k.id "
    "WHERE k.path = ?1 AND v.folded = ?2",
    // ListValues
    "SELECT v.name, v.type, v.data FROM regkey k JOIN regvalue v ON v.key = k.id "
    "WHERE k.path = ?1 ORDER BY v.folded",
    // ListSubkeys
    "SELECT c.name FROM regkey p JOIN regkey c ON c.parent = p.id WHERE p.path = ?1 ORDER BY c.folded",
    // KeyParent
    "SELECT parent, name FROM regkey WHERE id = ?1",
    // InsertKey
    "INSERT INTO regkey(parent, name, folded, path) VALUES(?1, ?2, ?3, ?4)",
    // UpsertValue: a value that is already there is left untouched.
    "INSERT INTO regvalue(key, folded, name, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
    "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data "
    "WHERE type IS NOT excluded.type OR data IS NOT excluded.data",
    // HasChild
    "SELECT 1 FROM regkey WHERE parent = ?1 LIMIT 1",
    // DeleteValues
    "DELETE FROM regvalue WHERE key = ?1",
    // DeleteOneValue
    "DELETE FROM regvalue WHERE key = ?1 AND folded = ?2",
    // DeleteKeyRow
    "DELETE FROM regkey WHERE id = ?1",
    // ListSubkeyDefaults: one statement, so every row is of one moment.
    "SELECT c.name, v.key IS NOT NULL, v.type, v.data FROM regkey p JOIN regkey c ON c.parent = p.id "
    "LEFT JOIN regvalue v ON v.key = c.id AND v.folded = '' WHERE p.path = ?1 ORDER BY c.folded",
    // Savepoint, ReleaseSavepoint, RollbackToSavepoint: each write inside a
    // group, prepared once rather than parsed at every write.
    "SAVEPOINT w",
    "RELEASE w",
    "ROLLBACK TO w",
};

// Whether a failed step found no room: SQLite says so where the disk ran
// full; a file grown past its limit or a quota comes as an I/O error, with
// the system's reason kept by the file that failed.
bool NoRoom(int resultCode, int systemError) {
  if ((resultCode & 0xff) == SQLITE_FULL || resultCode == SQLITE_IOERR_SHMSIZE) return true;
  return (resultCode & 0xff) == SQLITE_IOERR &&
         (systemError == ENOSPC || systemError == EFBIG || systemError == EDQUOT);
}

// The system's reason for the last failure of the hive file or of its log.
int SystemError(const sqlite::Database& db) {
  int error = 0;
  if (!db.isOpen()) return error;
  sqlite3_file_control(db.handle(), "main", SQLITE_FCNTL_LAST_ERRNO, &error);
  sqlite3_file* log = nullptr;
  if (error == 0 && sqlite3_file_control(db.handle(), "main", SQLITE_FCNTL_JOURNAL_POINTER, &log) == SQLITE_OK &&
      log && log->pMethods)
    log->pMethods->xFileControl(log, SQLITE_FCNTL_LAST_ERRNO, &error);
  return error;
}

// The store error for a failed open or set-up, told apart in words.
StoreError ErrorFor(const QString& file, int resultCode, const QString& detail, int systemError) {
  using Kind = StoreError::Kind;
  if (NoRoom(resultCode, systemError))
    return {file, QStringLiteral("cannot be used: the disk is full"), Kind::DiskFull};
  switch (resultCode & 0xff) {
    case SQLITE_NOTADB:
      return {file, QStringLiteral("is damaged: it is not a registry store (%1)").arg(detail), Kind::Damaged};
    case SQLITE_CORRUPT:
      return {file, QStringLiteral("is damaged (%1)").arg(detail), Kind::Damaged};
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return {file, QStringLiteral("is busy: another program has kept it locked for more than five seconds"),
              Kind::Busy};
    default:
      return {file, QStringLiteral("cannot be read (%1)").arg(detail), Kind::Unreadable};
  }
}

// A hive opened while it could not be written, by an older Zelkar, may have
// left its write-ahead files behind with the file's read-only mode; they would
// refuse every write once the file is writable again. Ours are made writable.
void RepairSideFiles(const QByteArray& hive) {
  struct stat file {};
  if (::stat(hive.constData(), &file) != 0) return;
  for (const char* suffix : {"-wal", "-shm"}) {
    const QByteArray side = hive + suffix;
    const int fd = ::open(side.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && !(info.st_mode & S_IWUSR))
      ::fchmod(fd, file.st_mode & 0666);
    ::close(fd);
  }
}

}  // namespace

QString FoldName(QStringView name) {
  // Most names are ASCII, where folding is A-Z to a-z; that is done here at a
  // fraction of the cost of the general folding.
  QString folded(name.size(), Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(folded.data());
  for (const QChar c : name) {
    const char16_t unit = c.unicode();
    if (unit >= 0x80) return name.toString().toCaseFolded();
    *out++ = unit >= u'A' && unit <= u'Z' ? char16_t(unit + 32) : unit;
  }
  return folded;
}

QString FoldPath(QStringView path) {
  QString folded = FoldName(path);
  const bool clean = !folded.startsWith(u'\\') && !folded.endsWith(u'\\') && !folded.contains(u"\\\\");
  if (clean) return folded;
  QString joined;
  joined.reserve(folded.size());
  for (const QStringView part : QStringView(folded).split(u'\\', Qt::SkipEmptyParts)) {
    if (!joined.isEmpty()) joined += u'\\';
    joined += part;
  }
  return joined;
}

KeyPath KeyPath::from(const QString& path) { return {path, FoldPath(path)}; }

QStringList KeyPath::parts() const { return written.split(u'\\', Qt::SkipEmptyParts); }

// One write: its own transaction, or a savepoint inside an open group. Rolled
// back unless committed.
class HiveFile::WriteScope {
 public:
  explicit WriteScope(HiveFile& hive) : hive_(hive), nested_(!hive.groups_.empty()) {}
  ~WriteScope() {
    if (!open_) return;
    if (nested_) {
      hive_.run(RollbackToSavepoint);
      hive_.run(ReleaseSavepoint);
      if (!hive_.db_.inTransaction()) hive_.groupLost_ = true;
    } else {
      hive_.db_.exec("ROLLBACK");
    }
  }
  WriteScope(const WriteScope&) = delete;
  WriteScope& operator=(const WriteScope&) = delete;

  int begin() {
    int rc = nested_ ? SQLITE_OK : hive_.keepPlace();
    if (rc == SQLITE_OK) rc = nested_ ? hive_.run(Savepoint) : hive_.db_.exec("BEGIN IMMEDIATE");
    open_ = rc == SQLITE_OK;
    return rc;
  }
  int commit() {
    const int rc = nested_ ? hive_.run(ReleaseSavepoint) : hive_.db_.exec("COMMIT");
    if (rc == SQLITE_OK) open_ = false;
    return rc;
  }

 private:
  HiveFile& hive_;
  const bool nested_;
  bool open_ = false;
};

HiveFile::HiveFile(const QString& file, bool readOnly, bool privateFile) : file_(file), privateFile_(privateFile) {
  const QFileInfo info(file);
  const QByteArray local = QFile::encodeName(file);
  const QByteArray folder = QFile::encodeName(info.absolutePath());
  // Only a file that is not there is an empty hive: one behind a folder we may
  // not enter is not empty, it cannot be read.
  struct stat found {};
  const bool exists = ::stat(local.constData(), &found) == 0;
  if (!exists && errno != ENOENT && errno != ENOTDIR)
    throw StoreError(file, QStringLiteral("cannot be read (%1)").arg(qt_error_string(errno)));
  if (exists && !S_ISREG(found.st_mode)) throw StoreError(file, QStringLiteral("is not a file"));
  // The journal lives beside the file, so its folder must be writable too.
  const bool mayWrite =
      ::access(folder.constData(), W_OK) == 0 && (!exists || ::access(local.constData(), W_OK) == 0);
  const bool canWrite = !readOnly && mayWrite;
  refuseWrites_ = readOnly;
  if (!exists) {
    if (!canWrite) return;  // nothing to read, and nothing may be written
    const int fd = ::open(local.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, privateFile ? 0600 : 0644);
    if (fd >= 0)
      ::close(fd);
    else if (errno != EEXIST)
      return;
  }
  // A reader that may write the file opens it as a writer does (and never
  // writes), so that it too leaves the log's files as they are.
  if (mayWrite) RepairSideFiles(local);
  openDatabase(!mayWrite);
}

HiveFile::~HiveFile() {
  // What was written after the file was removed would go with the connection.
  if (writable_) keepPlace();
  statements_ = {};
  db_.close();
}

// The log's two files beside a hive. A connection that may write the file
// keeps them when it closes, so that they stay as they were first made: with
// the hive's rights, by one who may write it. A reader that may not write the
// file never makes them: it would make them its own, with the hive's mode of
// that moment, and a read-only moment or another user's read would then stop
// every later write. Where they are missing, no connection that writes is open
// (each would have made them, and none removes them), so the file as it stands
// is the whole hive and is read as such.
void HiveFile::openDatabase(bool readOnly) {
  const QByteArray local = QFile::encodeName(file_);
  const bool logBeside = ::access((local + "-wal").constData(), F_OK) == 0 &&
                         ::access((local + "-shm").constData(), F_OK) == 0;
  const int rc =
      !readOnly ? db_.open(file_, SQLITE_OPEN_READWRITE)
      : logBeside
          ? db_.open(file_, SQLITE_OPEN_READONLY)
          : db_.open(QString::fromUtf8(QUrl::fromLocalFile(file_).toEncoded()) + QStringLiteral("?immutable=1"),
                     SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
  if (rc != SQLITE_OK) throw StoreError(file_, QStringLiteral("cannot be opened (%1)").arg(db_.errorText()));
  if (!readOnly) {
    int persist = 1;
    sqlite3_file_control(db_.handle(), "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
    // What stays of the log between sessions is its header.
    db_.exec("PRAGMA journal_size_limit=0");
  }
  sqlite3_busy_timeout(db_.handle(), 5000);
  validate(readOnly);
  struct stat opened {};
  if (::stat(QFile::encodeName(file_).constData(), &opened) == 0) {
    device_ = opened.st_dev;
    inode_ = opened.st_ino;
  }
}

int HiveFile::keepPlace() {
  if (!writable_) return SQLITE_READONLY;
  const QByteArray local = QFile::encodeName(file_);
  struct stat now {};
  if (::stat(local.constData(), &now) != 0) return errno == ENOENT ? restoreFile() : SQLITE_CANTOPEN;
  // Another file under our name is not ours to write over, nor is this one
  // seen by anyone any more.
  if (now.st_dev != device_ || now.st_ino != inode_) return SQLITE_READONLY;
  const QByteArray folder = QFile::encodeName(QFileInfo(file_).absolutePath());
  const bool canWrite = ::access(folder.constData(), W_OK) == 0 && ::access(local.constData(), W_OK) == 0;
  return canWrite ? SQLITE_OK : SQLITE_READONLY;
}

// Writes the whole open database back to its removed path (making its folder
// again), then carries on with the file there.
int HiveFile::restoreFile() {
  const QFileInfo info(file_);
  const QByteArray local = QFile::encodeName(file_);
  const QByteArray folder = QFile::encodeName(info.absolutePath());
  if (::access(folder.constData(), F_OK) != 0) {
    // Private, as the store folder is made at first.
    QDir().mkpath(QFileInfo(info.absolutePath()).absolutePath());
    ::mkdir(folder.constData(), 0700);
  }
  const int fd = ::open(local.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, privateFile_ ? 0600 : 0644);
  if (fd < 0) return SQLITE_READONLY;
  ::close(fd);
  int rc = SQLITE_OK;
  {
    sqlite::Database copy;
    rc = copy.open(file_, SQLITE_OPEN_READWRITE);
    sqlite3_backup* backup = rc == SQLITE_OK ? sqlite3_backup_init(copy.handle(), "main", db_.handle(), "main") : nullptr;
    if (backup) {
      rc = sqlite3_backup_step(backup, -1);
      const int finished = sqlite3_backup_finish(backup);
      rc = rc == SQLITE_DONE ? finished : rc;
    } else if (rc == SQLITE_OK) {
      rc = copy.errorCode();
    }
  }
  if (rc != SQLITE_OK) {
    ::unlink(local.constData());
    return rc;
  }
  // The removed file's journal names are now the restored file's: closing it
  // must not delete them.
  int persist = 1;
  sqlite3_file_control(db_.handle(), "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
  statements_ = {};
  try {
    openDatabase(false);
  } catch (const StoreError&) {
    present_ = writable_ = false;
    return SQLITE_CANTOPEN;
  }
  return SQLITE_OK;
}

void HiveFile::useWriteAheadLog() {
  db_.exec("PRAGMA journal_mode=WAL");
  db_.exec("PRAGMA synchronous=NORMAL");
}

void HiveFile::validate(bool readOnly) {
  std::int64_t appId = 0;
  std::int64_t version = 0;
  std::int64_t objects = 0;
  // Read together: another process may be setting up the same new file.
  QString why;
  const auto readMarks = [&] {
    int rc = db_.exec("BEGIN");
    if (rc == SQLITE_OK) rc = db_.queryInt("PRAGMA application_id", appId);
    if (rc == SQLITE_OK) rc = db_.queryInt("PRAGMA user_version", version);
    if (rc == SQLITE_OK) rc = db_.queryInt("SELECT count(*) FROM sqlite_master", objects);
    // Ending the read would put its own words in place of the reason.
    why = rc == SQLITE_OK ? QString() : db_.errorText();
    if (db_.inTransaction()) db_.exec(rc == SQLITE_OK ? "COMMIT" : "ROLLBACK");
    return rc;
  };
  int rc = readMarks();
  if (rc != SQLITE_OK && readOnly && sqlite::isRefusal(rc) && (rc & 0xff) != SQLITE_BUSY) {
    // A shared hive in a folder we may not write: its journal index cannot be
    // set up, so read the file as it stands.
    const QString uri = QString::fromUtf8(QUrl::fromLocalFile(file_).toEncoded()) + QStringLiteral("?immutable=1");
    if (db_.open(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI) == SQLITE_OK) {
      rc = readMarks();
    } else {
      rc = db_.errorCode();
      why = db_.errorText();
    }
  }
  if (rc != SQLITE_OK) throw ErrorFor(file_, rc, why, SystemError(db_));

  if (appId == kApplicationId) {
    if (version > kSchemaVersion)
      throw StoreError(file_, QStringLiteral("was made by a newer version of Zelkar"), StoreError::Kind::Damaged);
  } else if (appId == 0 && objects == 0) {
    if (readOnly || refuseWrites_) {  // an empty file that may not be set up: an empty hive
      db_.close();
      return;
    }
    // Setting up an empty file risks nothing, so it need not wait for the disk.
    db_.exec("PRAGMA synchronous=OFF");
    db_.exec("PRAGMA journal_mode=WAL");
    createTables();
    db_.exec("PRAGMA synchronous=NORMAL");
  } else {
    throw StoreError(file_, QStringLiteral("is not a registry store (it holds other data)"),
                     StoreError::Kind::Damaged);
  }
  present_ = true;
  writable_ = !readOnly && !refuseWrites_;
  if (writable_ && appId == kApplicationId) useWriteAheadLog();
}

void HiveFile::createTables() {
  int rc = db_.exec("BEGIN IMMEDIATE");
  if (rc != SQLITE_OK) {
    if ((rc & 0xff) == SQLITE_BUSY || NoRoom(rc, SystemError(db_)))
      throw ErrorFor(file_, rc, db_.errorText(), SystemError(db_));
    throw StoreError(file_, QStringLiteral("cannot be set up (%1)").arg(db_.errorText()));
  }
  // Another process may have set the file up while we waited for the lock.
  std::int64_t appId = 0;
  std::int64_t objects = 0;
  rc = db_.queryInt("PRAGMA application_id", appId);
  if (rc == SQLITE_OK) rc = db_.queryInt("SELECT count(*) FROM sqlite_master", objects);
  const bool foreign = rc == SQLITE_OK && appId != kApplicationId && objects != 0;
  if (rc == SQLITE_OK && appId == 0 && objects == 0) rc = db_.exec(kSchema);
  if (rc == SQLITE_OK && !foreign) rc = db_.exec("COMMIT");
  if (rc != SQLITE_OK || foreign) {
    const StoreError error = foreign ? StoreError(file_, QStringLiteral("is not a registry store (it holds other data)"),
                                                  StoreError::Kind::Damaged)
                                     : ErrorFor(file_, rc, db_.errorText(), SystemError(db_));
    db_.exec("ROLLBACK");
    throw error;
  }
}

sqlite::Statement* HiveFile::statement(Query query) {
  sqlite::Statement& cached = statements_[query];
  if (!cached.isPrepared() && cached.prepare(db_, kQueries[query]) != SQLITE_OK) return nullptr;
  return &cached;
}

int HiveFile::run(Query query) {
  sqlite::Statement* prepared = statement(query);
  if (!prepared) return db_.errorCode();
  sqlite::Use use(*prepared);
  const int rc = prepared->step();
  return rc == SQLITE_DONE || rc == SQLITE_ROW ? SQLITE_OK : rc;
}

std::optional<std::int64_t> HiveFile::keyId(const QString& foldedPath) {
  if (!present_) return std::nullopt;
  sqlite::Statement* find = statement(FindKey);
  if (!find) return std::nullopt;
  sqlite::Use use(*find);
  find->bind(1, foldedPath);
  if (find->step() != SQLITE_ROW) return std::nullopt;
  return find->columnInt(0);
}

bool HiveFile::keyExists(const QString& foldedPath) { return keyId(foldedPath).has_value(); }

std::optional<Value> HiveFile::value(const QString& foldedPath, const QString& foldedName) {
  if (!present_) return std::nullopt;
  sqlite::Statement* find = statement(FindValue);
  if (!find) return std::nullopt;
  sqlite::Use use(*find);
  find->bind(1, foldedPath);
  find->bind(2, foldedName);
  if (find->step() != SQLITE_ROW) return std::nullopt;
  return Value{static_cast<std::uint32_t>(find->columnInt(0)), find->columnBlob(1)};
}

QList<NamedValue> HiveFile::values(const QString& foldedPath) {
  QList<NamedValue> result;
  if (!present_) return result;
  sqlite::Statement* list = statement(ListValues);
  if (!list) return result;
  sqlite::Use use(*list);
  list->bind(1, foldedPath);
  while (list->step() == SQLITE_ROW)
    result.append({list->columnText(0), {static_cast<std::uint32_t>(list->columnInt(1)), list->columnBlob(2)}});
  return result;
}

QStringList HiveFile::subkeys(const QString& foldedPath) {
  QStringList result;
  if (!present_) return result;
  sqlite::Statement* list = statement(ListSubkeys);
  if (!list) return result;
  sqlite::Use use(*list);
  list->bind(1, foldedPath);
  while (list->step() == SQLITE_ROW) result.append(list->columnText(0));
  return result;
}

QList<SubkeyDefault> HiveFile::subkeyDefaults(const QString& foldedPath) {
  QList<SubkeyDefault> result;
  if (!present_) return result;
  sqlite::Statement* list = statement(ListSubkeyDefaults);
  if (!list) return result;
  sqlite::Use use(*list);
  list->bind(1, foldedPath);
  while (list->step() == SQLITE_ROW) {
    SubkeyDefault& row = result.emplace_back();
    row.name = list->columnText(0);
    if (list->columnInt(1) != 0)
      row.value = Value{static_cast<std::uint32_t>(list->columnInt(2)), list->columnBlob(3)};
  }
  return result;
}

std::optional<QString> HiveFile::storedPath(const QString& foldedPath) {
  const std::optional<std::int64_t> id = keyId(foldedPath);
  sqlite::Statement* parent = statement(KeyParent);
  if (!id || !parent) return std::nullopt;
  QStringList names;
  // Ids start at 1, so the root's missing parent reads as 0.
  for (std::int64_t current = *id; current != 0;) {
    sqlite::Use use(*parent);
    parent->bind(1, current);
    if (parent->step() != SQLITE_ROW) return std::nullopt;
    current = parent->columnInt(0);
    if (current != 0) names.prepend(parent->columnText(1));
  }
  return names.join(u'\\');
}

int HiveFile::ensureKey(const KeyPath& path, std::int64_t& id) {
  if (const auto found = keyId(path.folded)) {
    id = *found;
    return SQLITE_OK;
  }
  const QStringList parts = path.parts();
  // Most new keys go below one that exists: look that up at once rather than
  // every key on the way down.
  qsizetype from = 0;
  if (parts.size() > 1) {
    const qsizetype cut = path.folded.lastIndexOf(u'\\');
    if (const auto parent = cut < 0 ? std::nullopt : keyId(path.folded.left(cut))) {
      id = *parent;
      from = parts.size() - 1;
    }
  }
  if (from == 0) {
    const auto root = keyId(QString());
    if (!root) return SQLITE_CORRUPT;
    id = *root;
  }
  QString written = parts.mid(0, from).join(u'\\');
  for (const QString& part : parts.mid(from)) {
    if (!written.isEmpty()) written += u'\\';
    written += part;
    const QString folded = FoldPath(written);
    // The whole path was looked up first: only the keys above it may exist.
    if (const auto found = folded.size() == path.folded.size() ? std::nullopt : keyId(folded)) {
      id = *found;
      continue;
    }
    sqlite::Statement* insert = statement(InsertKey);
    if (!insert) return db_.errorCode();
    sqlite::Use use(*insert);
    const QString foldedPart = FoldName(part);
    insert->bind(1, id);
    insert->bind(2, part);
    insert->bind(3, foldedPart);
    insert->bind(4, folded);
    const int rc = insert->step();
    if (rc != SQLITE_DONE) return rc;
    id = db_.lastInsertId();
  }
  return SQLITE_OK;
}

Outcome HiveFile::fail(int resultCode) {
  faultCode_ = resultCode;
  faultText_ = QStringLiteral("%1 (%2)").arg(db_.errorText(), file_);
  if (NoRoom(resultCode, SystemError(db_))) {
    faultCode_ = SQLITE_FULL;
    faultText_ = QStringLiteral("the disk is full (%1)").arg(file_);
  }
  if ((resultCode & 0xff) == SQLITE_BUSY || (resultCode & 0xff) == SQLITE_LOCKED) return Outcome::Busy;
  return sqlite::isRefusal(resultCode) ? Outcome::Refused : Outcome::Fault;
}

bool HiveFile::groupRefuses() const { return !groups_.empty() && (!groups_.back() || groupLost_); }

Outcome HiveFile::createKey(const KeyPath& path) {
  if (!writable_ || groupRefuses()) return Outcome::Refused;
  if (keyExists(path.folded)) return Outcome::Done;
  WriteScope scope(*this);
  int rc = scope.begin();
  std::int64_t id = 0;
  if (rc == SQLITE_OK) rc = ensureKey(path, id);
  if (rc == SQLITE_OK) rc = scope.commit();
  return rc == SQLITE_OK ? touched(path) : fail(rc);
}

Outcome HiveFile::writeValue(const KeyPath& path, const QString& name, const Value& value) {
  // A hive that may not be written refuses even a value that is already there.
  if (!writable_ || groupRefuses()) return Outcome::Refused;
  const QString foldedName = FoldName(name);
  // Storing what is already there must not touch the file.
  if (const auto current = this->value(path.folded, foldedName); current && *current == value) return Outcome::Done;
  WriteScope scope(*this);
  int rc = scope.begin();
  std::int64_t id = 0;
  if (rc == SQLITE_OK) rc = ensureKey(path, id);
  if (rc == SQLITE_OK) {
    sqlite::Statement* upsert = statement(UpsertValue);
    if (!upsert) {
      rc = db_.errorCode();
    } else {
      sqlite::Use use(*upsert);
      upsert->bind(1, id);
      upsert->bind(2, foldedName);
      upsert->bind(3, name);
      upsert->bind(4, static_cast<std::int64_t>(value.type));
      upsert->bindBlob(5, value.data);
      rc = upsert->step();
      if (rc == SQLITE_DONE) rc = SQLITE_OK;
    }
  }
  if (rc == SQLITE_OK) rc = scope.commit();
  return rc == SQLITE_OK ? touched(path) : fail(rc);
}

Outcome HiveFile::deleteValue(const KeyPath& path, const QString& name) {
  const QString foldedName = FoldName(name);
  if (!value(path.folded, foldedName)) return Outcome::Missing;
  if (!writable_ || groupRefuses()) return Outcome::Refused;
  WriteScope scope(*this);
  int rc = scope.begin();
  const auto id = keyId(path.folded);
  if (rc == SQLITE_OK && !id) return Outcome::Missing;
  if (rc == SQLITE_OK) {
    sqlite::Statement* remove = statement(DeleteOneValue);
    if (!remove) return fail(db_.errorCode());
    sqlite::Use use(*remove);
    remove->bind(1, *id);
    remove->bind(2, foldedName);
    rc = remove->step();
    if (rc == SQLITE_DONE) {
      if (sqlite3_changes(db_.handle()) == 0) return Outcome::Missing;
      rc = SQLITE_OK;
    }
  }
  if (rc == SQLITE_OK) rc = scope.commit();
  return rc == SQLITE_OK ? touched(path) : fail(rc);
}

Outcome HiveFile::deleteKey(const KeyPath& path) {
  if (!keyExists(path.folded)) return Outcome::Missing;
  if (path.folded.isEmpty() || !writable_ || groupRefuses()) return Outcome::Refused;  // a hive's root stays
  WriteScope scope(*this);
  int rc = scope.begin();
  if (rc != SQLITE_OK) return fail(rc);
  const auto id = keyId(path.folded);
  if (!id) return Outcome::Missing;
  {
    sqlite::Statement* child = statement(HasChild);
    if (!child) return fail(db_.errorCode());
    sqlite::Use use(*child);
    child->bind(1, *id);
    rc = child->step();
    if (rc == SQLITE_ROW) return Outcome::HasSubkeys;
    if (rc != SQLITE_DONE) return fail(rc);
  }
  for (const Query query : {DeleteValues, DeleteKeyRow}) {
    sqlite::Statement* remove = statement(query);
    if (!remove) return fail(db_.errorCode());
    sqlite::Use use(*remove);
    remove->bind(1, *id);
    rc = remove->step();
    if (rc != SQLITE_DONE) return fail(rc);
  }
  rc = scope.commit();
  return rc == SQLITE_OK ? touched(path) : fail(rc);
}

bool HiveFile::beginGroup() {
  bool started = false;
  if (writable_ && !groupRefuses() && !groupLost_) {
    int rc = groups_.empty() ? keepPlace() : SQLITE_OK;
    if (rc == SQLITE_OK) rc = db_.exec(groups_.empty() ? "BEGIN IMMEDIATE" : "SAVEPOINT g");
    started = rc == SQLITE_OK;
    if (!started) fail(rc);
  }
  groups_.push_back(started);
  return started;
}

bool HiveFile::commitGroup() {
  if (groups_.empty()) return false;
  const bool started = groups_.back();
  groups_.pop_back();
  bool committed = false;
  if (started && !groupLost_) {
    const int rc = db_.exec(groups_.empty() ? "COMMIT" : "RELEASE g");
    committed = rc == SQLITE_OK;
    if (!committed) {
      fail(rc);
      db_.exec(groups_.empty() ? "ROLLBACK" : "ROLLBACK TO g");
      if (!groups_.empty()) db_.exec("RELEASE g");
    }
  }
  if (groups_.empty()) {
    groupLost_ = false;
    settle();
  }
  return committed;
}

void HiveFile::rollbackGroup() {
  if (groups_.empty()) return;
  const bool started = groups_.back();
  groups_.pop_back();
  if (started && !groupLost_) {
    if (groups_.empty()) {
      db_.exec("ROLLBACK");
    } else {
      db_.exec("ROLLBACK TO g");
      db_.exec("RELEASE g");
    }
  }
  if (groups_.empty()) {
    groupLost_ = false;
    touched_.clear();
    touchedWhole_ = false;
  }
}

void HiveFile::watch(const QString& foldedKey, Watch changed) {
  watchKey_ = foldedKey + u'\\';
  watchDepth_ = foldedKey.split(u'\\', Qt::SkipEmptyParts).size();
  watchChanged_ = std::move(changed);
}

Outcome HiveFile::touched(const KeyPath& path) {
  if (!watchChanged_) return Outcome::Done;
  if (path.folded.size() + 1 == watchKey_.size() && watchKey_.startsWith(path.folded)) {
    touchedWhole_ = true;
  } else if (path.folded.startsWith(watchKey_)) {
    const QStringList parts = path.parts();
    if (parts.size() > watchDepth_) touched_.append(parts[watchDepth_]);
  } else {
    return Outcome::Done;
  }
  if (groups_.empty()) settle();
  return Outcome::Done;
}

void HiveFile::settle() {
  if (touched_.isEmpty() && !touchedWhole_) return;
  const QStringList names = std::move(touched_);
  const bool whole = touchedWhole_;
  touched_.clear();
  touchedWhole_ = false;
  if (watchChanged_) watchChanged_(names, whole);
}

std::int64_t HiveFile::dataVersion() {
  std::int64_t version = 0;
  if (db_.queryInt("PRAGMA data_version", version) != SQLITE_OK) return -1;
  return version;
}

}  // namespace zelkar::store
