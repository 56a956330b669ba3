#include "tools/KeywordVerbs.h"

#include "store/Keywords.h"
#include "store/RegistryStore.h"
#include "store/Sqlite.h"
#include "tools/PrintLine.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

namespace zelkar::tools {

const char* const kKeywordVerbsHelp =
    "  zelkar-open --add NAME TARGET [--force]\n"
    "                                    registers NAME for TARGET, as the window's\n"
    "                                    Register does: a blank or one of \\ / : * ? \" < > |\n"
    "                                    becomes \"_\"; an existing keyword is replaced\n"
    "                                    only with --force\n"
    "  zelkar-open --rename OLD NEW [--force]\n"
    "                                    gives the keyword OLD the name NEW\n"
    "  zelkar-open --remove NAME         deletes the keyword NAME\n";

namespace {

using store::Hive;
using store::Outcome;
using store::RegistryStore;

class Verb {
 public:
  Verb(FILE* out, FILE* err) : out_(out), err_(err) {}

  VerbOutcome fail(VerbOutcome outcome, const QString& message) const {
    PrintLine(err_, QStringLiteral("zelkar-open: ") + message);
    last_ = outcome;
    return outcome;
  }
  VerbOutcome lastOutcome() const { return last_; }
  void say(const QString& message) const { PrintLine(out_, message); }

  // The process's store, opened for writing.
  RegistryStore* open() {
    RegistryStore::useLocation(store::StoreLocation::fromEnvironment());
    try {
      RegistryStore& s = RegistryStore::current();
      if (!s.writable(Hive::LocalMachine)) {
        fail(VerbOutcome::ReadOnly,
             QStringLiteral("the keyword store %1 may not be written").arg(s.hiveFile(Hive::LocalMachine)));
        return nullptr;
      }
      return &s;
    } catch (const store::StoreError& error) {
      const VerbOutcome outcome = error.kind() == store::StoreError::Kind::Busy       ? VerbOutcome::Busy
                                  : error.kind() == store::StoreError::Kind::DiskFull ? VerbOutcome::DiskFull
                                                                                      : VerbOutcome::Unreadable;
      fail(outcome, QStringLiteral("the keyword store ") + error.file() + QLatin1Char(' ') + error.reason());
      return nullptr;
    }
  }

  // Why the last write failed, in words and as an outcome.
  VerbOutcome writeFailed(const RegistryStore& s) const {
    const QString file = s.hiveFile(Hive::LocalMachine);
    const int code = s.faultCode();
    if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED)
      return fail(VerbOutcome::Busy, QStringLiteral("the keyword store is busy: another program has kept %1 locked "
                                                    "for more than five seconds")
                                         .arg(file));
    if ((code & 0xff) == SQLITE_FULL) return fail(VerbOutcome::DiskFull, QStringLiteral("the disk is full: %1").arg(file));
    if (store::sqlite::isRefusal(code))
      return fail(VerbOutcome::ReadOnly, QStringLiteral("the keyword store %1 may not be written").arg(file));
    return fail(VerbOutcome::Failed, QStringLiteral("the keyword store %1 could not be written: %2").arg(file, s.faultText()));
  }

 private:
  FILE* out_;
  FILE* err_;
  mutable VerbOutcome last_ = VerbOutcome::Failed;
};

// The entry name by the window's rule, and the name as the user sees it.
QString EntryName(const QString& typed) { return WithExeSuffix(ReplaceForbiddenKeywordChars(typed)); }
QString Shown(const QString& entry) {
  return entry.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive) ? entry.chopped(4) : entry;
}
QString KeyOf(const QString& entry) { return kAppPathsKey + entry; }

// A relative path naming something that exists is stored as the absolute
// path: the entry must not depend on the folder the command was typed in.
QString StoredTarget(const QString& target) {
  if (LooksLikeAddress(target) || QDir::isAbsolutePath(target) || target.contains(QLatin1String("://"))) return target;
  const QFileInfo info(target);
  return info.exists() ? info.absoluteFilePath() : target;
}

// Deletes the key with everything below it.
Outcome DeleteTree(RegistryStore& s, const QString& path) {
  for (const QString& sub : s.subkeys(Hive::LocalMachine, path)) {
    const Outcome o = DeleteTree(s, path + QLatin1Char('\\') + sub);
    if (o != Outcome::Done) return o;
  }
  return s.deleteKey(Hive::LocalMachine, path);
}

// Copies the values (and the subkeys) of one key to another.
bool CopyTree(RegistryStore& s, const QString& from, const QString& to) {
  if (s.createKey(Hive::LocalMachine, to) != Outcome::Done) return false;
  for (const store::NamedValue& v : s.values(Hive::LocalMachine, from))
    if (s.writeValue(Hive::LocalMachine, to, v.name, v.value) != Outcome::Done) return false;
  for (const QString& sub : s.subkeys(Hive::LocalMachine, from))
    if (!CopyTree(s, from + QLatin1Char('\\') + sub, to + QLatin1Char('\\') + sub)) return false;
  return true;
}

// A name the user typed must survive the rule unchanged, or be told.
void TellRenamed(const Verb& verb, const QString& typed, const QString& entry) {
  if (ReplaceForbiddenKeywordChars(typed) != typed)
    verb.say(QStringLiteral("'%1' holds characters a keyword may not contain; the keyword is '%2'")
                 .arg(typed, Shown(entry)));
}

VerbOutcome Add(Verb& verb, const QString& name, const QString& target, bool force) {
  if (name.isEmpty() || target.isEmpty())
    return verb.fail(VerbOutcome::BadUsage, QStringLiteral("--add needs a keyword name and a target"));
  const QString entry = EntryName(name);
  RegistryStore* s = verb.open();
  if (!s) return verb.lastOutcome();
  if (s->keyExists(Hive::LocalMachine, KeyOf(entry)) && !force) {
    const std::optional<store::Value> old = s->readValue(Hive::LocalMachine, KeyOf(entry), QString());
    const QString oldTarget = old ? QString::fromUtf8(old->data).section(QChar(0), 0, 0) : QString();
    return verb.fail(VerbOutcome::Exists, QStringLiteral("the keyword '%1' is already registered (%2); "
                                                         "--force replaces it")
                                              .arg(Shown(entry), oldTarget));
  }
  TellRenamed(verb, name, entry);
  const QString stored = StoredTarget(target);
  if (s->writeValue(Hive::LocalMachine, KeyOf(entry), QString(), store::Value::fromString(stored)) != Outcome::Done)
    return verb.writeFailed(*s);
  verb.say(QStringLiteral("registered '%1' for %2").arg(Shown(entry), stored));
  return VerbOutcome::Done;
}

VerbOutcome Remove(Verb& verb, const QString& name) {
  if (name.isEmpty()) return verb.fail(VerbOutcome::BadUsage, QStringLiteral("--remove needs a keyword name"));
  const QString entry = EntryName(name);
  RegistryStore* s = verb.open();
  if (!s) return verb.lastOutcome();
  const std::optional<QString> stored = s->storedPath(Hive::LocalMachine, KeyOf(entry));
  if (!stored) return verb.fail(VerbOutcome::NoKeyword, QStringLiteral("no keyword '%1'").arg(name));
  RegistryStore::Transaction transaction(*s, Hive::LocalMachine);
  if (DeleteTree(*s, *stored) != Outcome::Done || !transaction.commit()) return verb.writeFailed(*s);
  verb.say(QStringLiteral("removed '%1'").arg(Shown(stored->section(QLatin1Char('\\'), -1))));
  return VerbOutcome::Done;
}

VerbOutcome Rename(Verb& verb, const QString& oldName, const QString& newName, bool force) {
  if (oldName.isEmpty() || newName.isEmpty())
    return verb.fail(VerbOutcome::BadUsage, QStringLiteral("--rename needs the old and the new keyword name"));
  const QString from = EntryName(oldName);
  const QString to = EntryName(newName);
  RegistryStore* s = verb.open();
  if (!s) return verb.lastOutcome();
  const std::optional<QString> stored = s->storedPath(Hive::LocalMachine, KeyOf(from));
  if (!stored) return verb.fail(VerbOutcome::NoKeyword, QStringLiteral("no keyword '%1'").arg(oldName));
  const bool sameKey = from.compare(to, Qt::CaseInsensitive) == 0;  // a change of letter case
  if (sameKey && *stored == KeyOf(to)) {
    verb.say(QStringLiteral("'%1' already has that name").arg(Shown(to)));
    return VerbOutcome::Done;
  }
  if (!sameKey && s->keyExists(Hive::LocalMachine, KeyOf(to)) && !force)
    return verb.fail(VerbOutcome::Exists,
                     QStringLiteral("the keyword '%1' is already registered; --force replaces it").arg(Shown(to)));
  TellRenamed(verb, newName, to);
  // One transaction: the keyword is never lost half way, nor found twice.
  RegistryStore::Transaction transaction(*s, Hive::LocalMachine);
  const QString parked = kAppPathsKey + QStringLiteral("zelkar-rename-in-progress");
  bool ok = true;
  if (sameKey) {
    ok = CopyTree(*s, *stored, parked) && DeleteTree(*s, *stored) == Outcome::Done &&
         CopyTree(*s, parked, KeyOf(to)) && DeleteTree(*s, parked) == Outcome::Done;
  } else {
    if (s->keyExists(Hive::LocalMachine, KeyOf(to))) ok = DeleteTree(*s, KeyOf(to)) == Outcome::Done;
    ok = ok && CopyTree(*s, *stored, KeyOf(to)) && DeleteTree(*s, *stored) == Outcome::Done;
  }
  if (!ok || !transaction.commit()) return verb.writeFailed(*s);
  verb.say(QStringLiteral("renamed '%1' to '%2'").arg(Shown(stored->section(QLatin1Char('\\'), -1)), Shown(to)));
  return VerbOutcome::Done;
}

}  // namespace

std::optional<VerbOutcome> RunKeywordVerb(const QStringList& args, FILE* out, FILE* err) {
  if (args.isEmpty()) return std::nullopt;
  const QString& verb = args.first();
  if (verb != QLatin1String("--add") && verb != QLatin1String("--remove") && verb != QLatin1String("--rename"))
    return std::nullopt;
  Verb v(out, err);
  QStringList words = args.mid(1);
  const bool force = words.removeAll(QStringLiteral("--force")) > 0;
  const qsizetype wanted = verb == QLatin1String("--remove") ? 1 : 2;
  if (words.size() != wanted || (force && verb == QLatin1String("--remove")))
    return v.fail(VerbOutcome::BadUsage, verb == QLatin1String("--add")      ? QStringLiteral("usage: --add NAME TARGET [--force]")
                                         : verb == QLatin1String("--rename") ? QStringLiteral("usage: --rename OLD NEW [--force]")
                                                                             : QStringLiteral("usage: --remove NAME"));
  if (verb == QLatin1String("--add")) return Add(v, words[0], words[1], force);
  if (verb == QLatin1String("--rename")) return Rename(v, words[0], words[1], force);
  return Remove(v, words[0]);
}

}  // namespace zelkar::tools
