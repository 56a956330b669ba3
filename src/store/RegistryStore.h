#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

namespace zelkar::store {

// Root keys, with the 32-bit handle values of the original platform.
enum class Hive : std::uint32_t {
  ClassesRoot = 0x80000000u,   // a view of LocalMachine\SOFTWARE\Classes
  CurrentUser = 0x80000001u,
  LocalMachine = 0x80000002u,
};

// Value type codes.
namespace type {
constexpr std::uint32_t String = 1;        // REG_SZ
constexpr std::uint32_t ExpandString = 2;  // REG_EXPAND_SZ
constexpr std::uint32_t Binary = 3;        // REG_BINARY
constexpr std::uint32_t DWord = 4;         // REG_DWORD
}  // namespace type

struct Value {
  std::uint32_t type = type::String;
  QByteArray data;  // raw bytes; strings are UTF-8 followed by one NUL
  bool operator==(const Value&) const = default;

  static Value fromString(const QString& text, std::uint32_t type = type::String);
  static Value fromDWord(std::uint32_t number);
};

struct NamedValue {
  QString name;  // empty: the default value
  Value value;
};

// A subkey with its default value, as one listing returns them.
struct SubkeyDefault {
  QString name;                // as stored
  std::optional<Value> value;  // nothing when the key has no default value
};

// How a write or deletion ended.
enum class Outcome {
  Done,        // written or deleted (or nothing to do: the value was already there)
  Missing,     // the key or value does not exist
  HasSubkeys,  // a key with subkeys is not deleted
  Refused,     // the store cannot be written (read-only file or folder, no rights)
  Busy,        // another program kept the store locked past the busy timeout
  Fault,       // anything unexpected; see faultText()
};

// A store file that is not a valid store, or that cannot be opened at all.
class StoreError : public std::runtime_error {
 public:
  enum class Kind {
    Unreadable,  // no rights, or the system cannot read it
    Damaged,     // not a store, damaged, or made by a newer version
    Busy,        // another program kept it locked past the busy timeout
    DiskFull,    // it could not be set up for lack of room
  };
  StoreError(const QString& file, const QString& reason, Kind kind = Kind::Unreadable);
  const QString& file() const { return file_; }
  // Words that follow the file's name: "is damaged (...)", "cannot be read (...)".
  const QString& reason() const { return reason_; }
  Kind kind() const { return kind_; }

 private:
  QString file_;
  QString reason_;
  Kind kind_;
};

// Where the hive files are.
struct StoreLocation {
  QString directory;    // holds user.sqlite, and machine.sqlite unless machineFile is set
  QString machineFile;  // full path of the machine hive file
  QString userFile;     // full path of the per-user hive file
  bool readOnly = false;  // open both hives read-only (every write is refused)

  // $ZELKAR_REGISTRY, else $XDG_DATA_HOME/zelkar/registry (~/.local/share/...);
  // $ZELKAR_MACHINE_HIVE names another machine hive file.
  static StoreLocation fromEnvironment();
  static StoreLocation inDirectory(const QString& directory);
};

// The registry store: one SQLite database per hive. Key names compare without
// regard to case (Unicode case folding) and are stored as written; subkeys list
// in case-folded name order. Paths are relative to the hive, parts separated by
// "\"; an empty path is the hive's root; a trailing "\" names the same key.
class RegistryStore {
 public:
  // Opens (creating when missing) both hive files. Throws StoreError for a file
  // that is not a store; never overwrites or deletes such a file.
  explicit RegistryStore(const StoreLocation& location);
  ~RegistryStore();
  RegistryStore(const RegistryStore&) = delete;
  RegistryStore& operator=(const RegistryStore&) = delete;

  // The process's store, opened from the environment on first use.
  // Throws StoreError when that fails.
  static RegistryStore& current();
  // Closes the process's store; the next current() opens it afresh (tests).
  static void resetCurrent();
  // Makes `location` the process's store location until resetCurrent (tests).
  static void useLocation(const StoreLocation& location);

  const StoreLocation& location() const;

  bool keyExists(Hive hive, const QString& path) const;
  std::optional<Value> readValue(Hive hive, const QString& path, const QString& name) const;
  QList<NamedValue> values(Hive hive, const QString& path) const;
  QStringList subkeys(Hive hive, const QString& path) const;  // names as stored
  // The subkeys in listing order, each with its default value, read at one moment.
  QList<SubkeyDefault> subkeyDefaults(Hive hive, const QString& path) const;
  // The key's path with every name as stored; nothing when the key is missing.
  std::optional<QString> storedPath(Hive hive, const QString& path) const;
  // The file that holds the hive, and whether it may be written.
  QString hiveFile(Hive hive) const;
  bool writable(Hive hive) const;

  // Creates the key and every missing key above it.
  Outcome createKey(Hive hive, const QString& path);
  // Creates missing keys, then sets the value; storing the value that is already
  // there writes nothing.
  Outcome writeValue(Hive hive, const QString& path, const QString& name, const Value& value);
  Outcome deleteValue(Hive hive, const QString& path, const QString& name);
  // Deletes a key that has no subkeys, with its values.
  Outcome deleteKey(Hive hive, const QString& path);

  // A number that changes when another process has written the hive since it
  // was last asked; this process's own writes leave it alone.
  std::int64_t dataVersion(Hive hive) const;

  // Once writes below the key are committed, `changed` gets the names (as
  // written) of the subkeys right below it that they touched, and `whole` true
  // when the key itself was written. One watch per hive.
  using Watch = std::function<void(const QStringList& names, bool whole)>;
  void watch(Hive hive, const QString& path, Watch changed);

  // How many writes of values and keys were refused or failed so far: a
  // caller that groups many writes sees at the end whether all of them took.
  std::uint64_t failedWrites() const;

  // Description of the last Fault outcome (for the "Error: " message).
  QString faultText() const;
  int faultCode() const;

  // Groups writes to one hive into one transaction: committed by commit(),
  // rolled back when the scope ends without it. Scopes nest.
  class Transaction {
   public:
    Transaction(RegistryStore& store, Hive hive);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    bool commit();  // false when the commit failed (then everything is rolled back)
    bool active() const;

   private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
  };

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace zelkar::store
