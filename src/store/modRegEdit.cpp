#include "store/modRegEdit.h"

#include "app/core/Dialogs.h"

#include <cstdlib>

namespace zelkar::modRegEdit {
namespace {

using store::Outcome;
using store::RegistryStore;
using store::Value;

// The process's store. The program opens it at start; should a hive file that
// is not a store turn up here first, the program says which and stops: such a
// file is never written over, and nothing can be done without it.
RegistryStore& Store() {
  try {
    return RegistryStore::current();
  } catch (const store::StoreError& error) {
    // The reason tells a damaged file from a busy or unreadable one.
    MsgBox(QStringLiteral("The registry file \"") + error.file() + QStringLiteral("\" ") + error.reason() +
               QStringLiteral(".\r\n\r\nZelkar leaves the file as it is and stops."),
           mb::Critical, QStringLiteral("Zelkar"));
    std::_Exit(EXIT_FAILURE);
  }
}

// A string's data up to its first zero character, all of it when it has none.
QString TextOf(const QByteArray& data) {
  const qsizetype end = data.indexOf('\0');
  return QString::fromUtf8(data.constData(), end < 0 ? data.size() : end);
}

std::optional<std::uint32_t> DWordOf(const Value& value) {
  if (value.type != store::type::DWord || value.data.size() != 4) return std::nullopt;
  std::uint32_t number = 0;
  for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(value.data[i]);
  return number;
}

// %NAME% replaced by the environment variable NAME; unknown names stay as written.
QString ExpandEnvironment(const QString& text) {
  QString expanded;
  qsizetype from = 0;
  while (from < text.size()) {
    const qsizetype open = text.indexOf(u'%', from);
    const qsizetype close = open < 0 ? -1 : text.indexOf(u'%', open + 1);
    if (close < 0) {
      expanded += QStringView(text).mid(from);
      break;
    }
    expanded += QStringView(text).mid(from, open - from);
    const QString name = text.mid(open + 1, close - open - 1);
    const QByteArray variable = name.toLocal8Bit();
    if (!name.isEmpty() && qEnvironmentVariableIsSet(variable.constData())) {
      expanded += qEnvironmentVariable(variable.constData());
      from = close + 1;
    } else {
      // The closing "%" may open the next name.
      expanded += QStringView(text).mid(open, close - open);
      from = close;
    }
  }
  return expanded;
}

bool RootOf(QStringView name, Hive& hive) {
  const auto is = [name](QLatin1String root) { return name.compare(root, Qt::CaseInsensitive) == 0; };
  if (is(QLatin1String("HKEY_LOCAL_MACHINE")) || is(QLatin1String("HKLM")))
    hive = Hive::LocalMachine;
  else if (is(QLatin1String("HKEY_CURRENT_USER")) || is(QLatin1String("HKCU")))
    hive = Hive::CurrentUser;
  else if (is(QLatin1String("HKEY_CLASSES_ROOT")) || is(QLatin1String("HKCR")))
    hive = Hive::ClassesRoot;
  else
    return false;
  return true;
}

}  // namespace

QString GetString(Hive hive, const QString& path, const QString& name, const QString& defaultValue) {
  const std::optional<Value> value = Store().readValue(hive, path, name);
  if (!value || value->type != store::type::String) return defaultValue;
  return TextOf(value->data);
}

std::int32_t GetDWord(Hive hive, const QString& path, const QString& name, std::int32_t defaultValue) {
  const std::optional<Value> value = Store().readValue(hive, path, name);
  const std::optional<std::uint32_t> number = value ? DWordOf(*value) : std::nullopt;
  return number ? static_cast<std::int32_t>(*number) : defaultValue;
}

void SaveString(Hive hive, const QString& path, const QString& name, const QString& text) {
  Store().writeValue(hive, path, name, Value::fromString(text));
}

void SaveDWord(Hive hive, const QString& path, const QString& name, std::int32_t number) {
  Store().writeValue(hive, path, name, Value::fromDWord(static_cast<std::uint32_t>(number)));
}

// Every subkey is listed, however long its name: a name cut off at a fixed
// length would end the listing and hide every keyword after it.
QStringList EnumKeys(Hive hive, const QString& path) { return Store().subkeys(hive, path); }

QList<store::SubkeyDefault> EnumKeyDefaults(Hive hive, const QString& path) {
  return Store().subkeyDefaults(hive, path);
}

void DeleteKey(Hive hive, const QString& path) {
  RegistryStore& store = Store();
  if (store.deleteKey(hive, path) == Outcome::Fault)
    MsgBox(store.faultText(), mb::Critical, QStringLiteral("Error: ") + QString::number(store.faultCode()));
}

void RegWriteValue(const QString& fullPath, const QString& text, std::int16_t failMode) {
  Hive hive{};
  QString keyPath;
  QString valueName;
  Outcome outcome = Outcome::Refused;
  if (ParseFullPath(fullPath, hive, keyPath, valueName))
    outcome = Store().writeValue(hive, keyPath, valueName, Value::fromString(text));
  if (outcome == Outcome::Done || failMode != 1) return;
  // A store that another program holds is no matter of rights.
  if (outcome == Outcome::Busy)
    MsgBox(QStringLiteral("The keyword store is busy: another program has kept it locked for more than five "
                          "seconds.\r\n\r\nPlease start Zelkar again when that program has finished."),
           mb::Critical, QStringLiteral("Zelkar"));
  else
    MsgBox(QStringLiteral("Please log on under a user account with administrative privileges."), mb::Critical,
           QStringLiteral("Error"));
  std::_Exit(EXIT_FAILURE);
}

QString RegReadValue(const QString& fullPath) {
  Hive hive{};
  QString keyPath;
  QString valueName;
  if (!ParseFullPath(fullPath, hive, keyPath, valueName)) return QString();
  const std::optional<Value> value = Store().readValue(hive, keyPath, valueName);
  return value ? ValueText(*value) : QString();
}

QString ValueText(const Value& value) {
  switch (value.type) {
    case store::type::String:
      return TextOf(value.data);
    case store::type::ExpandString:
      return ExpandEnvironment(TextOf(value.data));
    case store::type::DWord:
      if (const auto number = DWordOf(value)) return QString::number(static_cast<std::int32_t>(*number));
      return QString();
    default:
      return QString();
  }
}

bool KeyExists(Hive hive, const QString& path) { return Store().keyExists(hive, path); }

bool ParseFullPath(const QString& fullPath, Hive& hive, QString& keyPath, QString& valueName) {
  const qsizetype separator = fullPath.indexOf(u'\\');
  if (separator <= 0 || !RootOf(QStringView(fullPath).left(separator), hive)) return false;
  QStringView rest = QStringView(fullPath).mid(separator + 1);
  if (rest.isEmpty() || rest.endsWith(u'\\')) {
    while (rest.endsWith(u'\\')) rest.chop(1);
    keyPath = rest.toString();
    valueName.clear();
    return true;
  }
  const qsizetype last = rest.lastIndexOf(u'\\');
  valueName = rest.mid(last + 1).toString();
  keyPath = last < 0 ? QString() : rest.left(last).toString();
  return true;
}

}  // namespace zelkar::modRegEdit
