#pragma once

#include "store/RegistryStore.h"
#include "store/Sqlite.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace zelkar::store {

// A key path as the caller wrote it, and the case-folded form that the store
// looks keys up by (parts joined by "\", no empty parts).
struct KeyPath {
  QString written;
  QString folded;
  static KeyPath from(const QString& path);
  QStringList parts() const;  // the names as written, only needed to create keys
};

// The lookup form of a name: case-folded (Unicode simple folding).
QString FoldName(QStringView name);
// The lookup form of a key path: case-folded, no leading, trailing or doubled "\".
QString FoldPath(QStringView path);

// One hive file: its single connection, its reused statements and its open
// groups of writes. Reads never fail: whatever cannot be read reads as absent.
class HiveFile {
 public:
  // Opens the file, creating it (and its tables) when missing and writable.
  // `privateFile`: a new file is readable by its owner only. Throws StoreError
  // for a file that is not a store; such a file is never written.
  HiveFile(const QString& file, bool readOnly, bool privateFile);
  ~HiveFile();
  HiveFile(const HiveFile&) = delete;
  HiveFile& operator=(const HiveFile&) = delete;

  const QString& file() const { return file_; }
  bool writable() const { return writable_; }

  bool keyExists(const QString& foldedPath);
  std::optional<Value> value(const QString& foldedPath, const QString& foldedName);
  QList<NamedValue> values(const QString& foldedPath);
  QStringList subkeys(const QString& foldedPath);
  QList<SubkeyDefault> subkeyDefaults(const QString& foldedPath);
  // The key's path with every name as stored; nothing when it does not exist.
  std::optional<QString> storedPath(const QString& foldedPath);

  Outcome createKey(const KeyPath& path);
  Outcome writeValue(const KeyPath& path, const QString& name, const Value& value);
  Outcome deleteValue(const KeyPath& path, const QString& name);
  Outcome deleteKey(const KeyPath& path);

  // Groups of writes, nested: the outermost is one transaction, inner ones are
  // savepoints. beginGroup is false when the group could not start; writes in
  // such a group are refused.
  bool beginGroup();
  bool commitGroup();
  void rollbackGroup();

  // Once writes below the key `foldedKey` are committed, `changed` gets the
  // names (as written) of the subkeys right below it that they touched, and
  // `whole` true when the key itself was written. Writes that are rolled back
  // are not reported; a name may be reported that did not change after all.
  using Watch = std::function<void(const QStringList& names, bool whole)>;
  void watch(const QString& foldedKey, Watch changed);

  QString faultText() const { return faultText_; }
  int faultCode() const { return faultCode_; }

  // Changes whenever another connection (another process) has committed to the
  // file since the last call; this connection's own writes leave it alone.
  std::int64_t dataVersion();

 private:
  enum Query {
    FindKey,
    FindValue,
    ListValues,
    ListSubkeys,
    KeyParent,
    InsertKey,
    UpsertValue,
    HasChild,
    DeleteValues,
    DeleteOneValue,
    DeleteKeyRow,
    ListSubkeyDefaults,
    Savepoint,
    ReleaseSavepoint,
    RollbackToSavepoint,
    QueryCount
  };
  class WriteScope;

  void openDatabase(bool readOnly);
  // Before a write: SQLITE_OK when the file at our path is still the one open
  // and its place takes writes; a removed file is first put back.
  int keepPlace();
  int restoreFile();
  void validate(bool readOnly);
  void useWriteAheadLog();
  void createTables();
  sqlite::Statement* statement(Query query);
  // Runs a statement without parameters or rows; returns the result code.
  int run(Query query);
  std::optional<std::int64_t> keyId(const QString& foldedPath);
  int ensureKey(const KeyPath& path, std::int64_t& id);
  // Records a failed step's reason and says how it counts.
  Outcome fail(int resultCode);
  bool groupRefuses() const;
  // After a write that was done: noted for the watch, handed on unless a group is open.
  Outcome touched(const KeyPath& path);
  void settle();

  QString file_;
  bool privateFile_ = false;
  bool refuseWrites_ = false;  // opened for reading only, whatever the file allows
  sqlite::Database db_;
  std::uint64_t device_ = 0;  // identity of the open file, to tell when its path names another
  std::uint64_t inode_ = 0;
  bool present_ = false;   // false: no usable file, every read is empty
  bool writable_ = false;
  std::array<sqlite::Statement, QueryCount> statements_;
  std::vector<bool> groups_;  // per open group: whether it started
  bool groupLost_ = false;    // the outer transaction ended under an inner failure
  QString faultText_;
  int faultCode_ = 0;
  QString watchKey_;  // folded, with a trailing "\"
  qsizetype watchDepth_ = 0;  // the number of parts of the watched key
  Watch watchChanged_;
  QStringList touched_;
  bool touchedWhole_ = false;
};

}  // namespace zelkar::store
