#include "tools/RegTool.h"

#include "store/RegistryStore.h"
#include "store/modRegEdit.h"
#include "tools/ExitCodes.h"
#include "tools/PrintLine.h"

#include <QString>
#include <QStringList>

#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <optional>

namespace zelkar::regtool {
namespace {

using zelkar::store::Hive;
using zelkar::store::Outcome;
using zelkar::store::RegistryStore;
using zelkar::store::Value;
namespace type = zelkar::store::type;

using namespace zelkar::tools::exitcode;

constexpr const char* kUsage =
    "Usage:\n"
    "  zelkar-reg query KEY [--value NAME | --default] [--recursive]\n"
    "  zelkar-reg add KEY [--value NAME | --default] [--type REG_SZ|REG_DWORD|REG_EXPAND_SZ] [--data DATA]\n"
    "  zelkar-reg delete KEY [--value NAME | --default]\n"
    "  zelkar-reg --help | --version\n"
    "\n"
    "KEY begins with HKLM, HKCU, HKCR or HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER,\n"
    "HKEY_CLASSES_ROOT. REG_DWORD data is a decimal or 0x-prefixed number.\n"
    "The store is $ZELKAR_REGISTRY, else $XDG_DATA_HOME/zelkar/registry;\n"
    "$ZELKAR_MACHINE_HIVE names another machine hive file.\n"
    "Exit status: 0 done, 1 not done (a key with subkeys, another fault of the store),\n"
    "2 no such key or value, 3 the store cannot be read (no rights, damaged), 4 the store\n"
    "is busy (locked by another program for more than five seconds), 5 the store may not\n"
    "be written, 6 the disk is full, 64 bad usage. A query never creates the store.\n";

int failWith(FILE* err, int code, const QString& message) {
  tools::PrintLine(err, QStringLiteral("zelkar-reg: ") + message);
  return code;
}

int usageError(FILE* err, const QString& message) {
  return failWith(err, BadUsage, message + QStringLiteral(" (see zelkar-reg --help)"));
}

const std::map<std::uint32_t, QString>& typeNames() {
  static const std::map<std::uint32_t, QString> names = {
      {0, QStringLiteral("REG_NONE")},
      {1, QStringLiteral("REG_SZ")},
      {2, QStringLiteral("REG_EXPAND_SZ")},
      {3, QStringLiteral("REG_BINARY")},
      {4, QStringLiteral("REG_DWORD")},
      {5, QStringLiteral("REG_DWORD_BIG_ENDIAN")},
      {6, QStringLiteral("REG_LINK")},
      {7, QStringLiteral("REG_MULTI_SZ")},
      {8, QStringLiteral("REG_RESOURCE_LIST")},
      {9, QStringLiteral("REG_FULL_RESOURCE_DESCRIPTOR")},
      {10, QStringLiteral("REG_RESOURCE_REQUIREMENTS_LIST")},
      {11, QStringLiteral("REG_QWORD")},
  };
  return names;
}

QString typeName(std::uint32_t code) {
  const auto found = typeNames().find(code);
  return found != typeNames().end() ? found->second : QStringLiteral("REG_%1").arg(code);
}

std::uint64_t littleEndian(const QByteArray& data) {
  std::uint64_t number = 0;
  for (qsizetype i = data.size() - 1; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(data[i]);
  return number;
}

QString textOf(const QByteArray& data) {
  const qsizetype end = data.indexOf('\0');
  return QString::fromUtf8(data.constData(), end < 0 ? data.size() : end);
}

QString dataText(const Value& value) {
  switch (value.type) {
    case type::String:
    case type::ExpandString:
      return textOf(value.data);
    case type::DWord:
      if (value.data.size() == 4) return QStringLiteral("0x") + QString::number(littleEndian(value.data), 16);
      break;
    case 11:
      if (value.data.size() == 8) return QStringLiteral("0x") + QString::number(littleEndian(value.data), 16);
      break;
    case 7: {
      QStringList parts = QString::fromUtf8(value.data).split(QChar(u'\0'));
      while (!parts.isEmpty() && parts.last().isEmpty()) parts.removeLast();
      return parts.join(QStringLiteral("\\0"));
    }
    default:
      break;
  }
  return QString::fromLatin1(value.data.toHex().toUpper());
}

QString valueLine(const QString& name, const Value& value) {
  const QString sep = QStringLiteral("    ");
  return sep + (name.isEmpty() ? QStringLiteral("(Default)") : name) + sep + typeName(value.type) + sep +
         dataText(value);
}

QString rootName(Hive hive) {
  switch (hive) {
    case Hive::LocalMachine:
      return QStringLiteral("HKEY_LOCAL_MACHINE");
    case Hive::CurrentUser:
      return QStringLiteral("HKEY_CURRENT_USER");
    case Hive::ClassesRoot:
      return QStringLiteral("HKEY_CLASSES_ROOT");
  }
  return QString();
}

QString fullName(Hive hive, const QString& storedPath) {
  return storedPath.isEmpty() ? rootName(hive) : rootName(hive) + u'\\' + storedPath;
}

struct Options {
  QString command;
  QString key;
  std::optional<QString> value;  // "" = the default value
  std::optional<QString> typeName;
  std::optional<QString> data;
  bool recursive = false;
};

// Fills `options`; returns an error message, empty when the line is sound.
QString parse(const QStringList& args, Options& options) {
  if (args.isEmpty()) return QStringLiteral("no command given");
  options.command = args.first();
  if (options.command != QLatin1String("query") && options.command != QLatin1String("add") &&
      options.command != QLatin1String("delete"))
    return QStringLiteral("unknown command \"%1\"").arg(options.command);
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& arg = args[i];
    const auto next = [&](std::optional<QString>& into) {
      if (into) return QStringLiteral("%1 given twice").arg(arg);
      if (i + 1 >= args.size()) return QStringLiteral("%1 needs an argument").arg(arg);
      into = args[++i];
      return QString();
    };
    QString problem;
    if (arg == QLatin1String("--value")) {
      problem = next(options.value);
    } else if (arg == QLatin1String("--default")) {
      if (options.value) return QStringLiteral("--value and --default given together");
      options.value = QString();
    } else if (arg == QLatin1String("--recursive") && options.command == QLatin1String("query")) {
      options.recursive = true;
    } else if (arg == QLatin1String("--type") && options.command == QLatin1String("add")) {
      problem = next(options.typeName);
    } else if (arg == QLatin1String("--data") && options.command == QLatin1String("add")) {
      problem = next(options.data);
    } else if (arg.startsWith(QLatin1String("--"))) {
      return QStringLiteral("unknown option %1 for %2").arg(arg, options.command);
    } else if (options.key.isEmpty()) {
      options.key = arg;
    } else {
      return QStringLiteral("unexpected argument \"%1\"").arg(arg);
    }
    if (!problem.isEmpty()) return problem;
  }
  if (options.key.isEmpty()) return QStringLiteral("no key given");
  if (options.recursive && options.value) return QStringLiteral("--recursive lists whole keys, not one value");
  if ((options.typeName || options.data) && !options.value)
    return QStringLiteral("--type and --data need --value NAME or --default");
  return QString();
}

// The key's path, its values, then its subkeys: their paths, or with
// `recursive` each one's own block; blocks are set apart by an empty line.
void printBlock(FILE* out, const RegistryStore& store, Hive hive, const QString& stored, bool recursive) {
  tools::PrintLine(out, fullName(hive, stored));
  for (const auto& [name, value] : store.values(hive, stored)) tools::PrintLine(out, valueLine(name, value));
  const QStringList subkeys = store.subkeys(hive, stored);
  if (!subkeys.isEmpty() && !recursive) tools::PrintLine(out, QString());
  for (const QString& subkey : subkeys) {
    const QString child = stored.isEmpty() ? subkey : stored + u'\\' + subkey;
    if (recursive) {
      tools::PrintLine(out, QString());
      printBlock(out, store, hive, child, true);
    } else {
      tools::PrintLine(out, fullName(hive, child));
    }
  }
}

int query(FILE* out, FILE* err, const RegistryStore& store, Hive hive, const QString& path, const Options& options) {
  const std::optional<QString> stored = store.storedPath(hive, path);
  if (!stored) return failWith(err, NotFound, QStringLiteral("key not found: %1").arg(options.key));
  if (options.value) {
    const std::optional<Value> value = store.readValue(hive, path, *options.value);
    if (!value)
      return failWith(err, NotFound, options.value->isEmpty()
                                    ? QStringLiteral("the key has no default value: %1").arg(options.key)
                                    : QStringLiteral("value not found: %1").arg(*options.value));
    tools::PrintLine(out, dataText(*value));
    return Success;
  }
  printBlock(out, store, hive, *stored, options.recursive);
  return Success;
}

std::optional<Value> valueToAdd(const Options& options, QString& problem) {
  const QString kind = options.typeName.value_or(QStringLiteral("REG_SZ")).toUpper();
  const QString data = options.data.value_or(QString());
  if (kind == QLatin1String("REG_SZ")) return Value::fromString(data, type::String);
  if (kind == QLatin1String("REG_EXPAND_SZ")) return Value::fromString(data, type::ExpandString);
  if (kind == QLatin1String("REG_DWORD")) {
    bool ok = false;
    const QString digits = data.trimmed();
    qint64 number = digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? digits.mid(2).toLongLong(&ok, 16)
                                                                                 : digits.toLongLong(&ok, 10);
    if (ok && number >= -2147483648LL && number <= 4294967295LL)
      return Value::fromDWord(static_cast<std::uint32_t>(number));
    problem = QStringLiteral("\"%1\" is not a 32-bit number").arg(data);
    return std::nullopt;
  }
  problem = QStringLiteral("unknown type %1 (REG_SZ, REG_DWORD or REG_EXPAND_SZ)").arg(*options.typeName);
  return std::nullopt;
}

int written(FILE* err, const RegistryStore& store, Hive hive, Outcome outcome, const Options& options) {
  switch (outcome) {
    case Outcome::Done:
      return Success;
    case Outcome::Missing:
      if (!options.value) return failWith(err, NotFound, QStringLiteral("key not found: %1").arg(options.key));
      if (options.value->isEmpty())
        return failWith(err, NotFound, QStringLiteral("the key has no default value: %1").arg(options.key));
      return failWith(err, NotFound, QStringLiteral("value not found: %1").arg(*options.value));
    case Outcome::HasSubkeys:
      return failWith(err, Failed, QStringLiteral("the key has subkeys; delete them first: %1").arg(options.key));
    case Outcome::Refused:
      return failWith(err, ReadOnly, QStringLiteral("the store may not be written: %1").arg(store.hiveFile(hive)));
    case Outcome::Busy:
      return failWith(err, Busy, QStringLiteral("the store is busy: another program has kept %1 locked for more "
                                                "than five seconds")
                                     .arg(store.hiveFile(hive)));
    case Outcome::Fault:
      switch (store.faultCode() & 0xff) {
        case SQLITE_FULL:
          return failWith(err, DiskFull, QStringLiteral("the disk is full: %1").arg(store.hiveFile(hive)));
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
          return failWith(err, Unreadable, QStringLiteral("the store is damaged: %1").arg(store.faultText()));
        default:
          return failWith(err, Failed, store.faultText());
      }
  }
  return Failed;
}

}  // namespace

int Run(const QStringList& args, FILE* out, FILE* err) {
  if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
    std::fputs(kUsage, out);
    return Success;
  }
  if (args.size() == 1 && args[0] == QLatin1String("--version")) {
    std::fprintf(out, "zelkar-reg %d.%d\n", ZELKAR_VERSION_MAJOR, ZELKAR_VERSION_MINOR);
    return Success;
  }
  Options options;
  if (const QString problem = parse(args, options); !problem.isEmpty()) return usageError(err, problem);

  Hive hive{};
  QString path;
  QString unused;
  // A trailing "\" makes the whole text a key.
  if (!zelkar::modRegEdit::ParseFullPath(options.key + u'\\', hive, path, unused))
    return usageError(err, QStringLiteral("the key must begin with HKLM, HKCU or HKCR: %1").arg(options.key));

  std::optional<Value> value;
  if (options.command == QLatin1String("add") && options.value) {
    QString problem;
    value = valueToAdd(options, problem);
    if (!value) return usageError(err, problem);
  }

  try {
    zelkar::store::StoreLocation location = zelkar::store::StoreLocation::fromEnvironment();
    // A query only reads: a missing store stays missing.
    location.readOnly = options.command == QLatin1String("query");
    RegistryStore store(location);
    if (options.command == QLatin1String("query")) return query(out, err, store, hive, path, options);
    if (options.command == QLatin1String("add")) {
      const Outcome outcome =
          value ? store.writeValue(hive, path, *options.value, *value) : store.createKey(hive, path);
      return written(err, store, hive, outcome, options);
    }
    if (!options.value && path.split(u'\\', Qt::SkipEmptyParts).isEmpty())
      return failWith(err, Failed, QStringLiteral("a hive's root cannot be deleted: %1").arg(options.key));
    const Outcome outcome = options.value ? store.deleteValue(hive, path, *options.value) : store.deleteKey(hive, path);
    return written(err, store, hive, outcome, options);
  } catch (const zelkar::store::StoreError& error) {
    return failWith(err, ForStoreError(error), error.file() + QLatin1Char(' ') + error.reason());
  }
}

}  // namespace zelkar::regtool
