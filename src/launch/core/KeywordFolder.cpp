#include "launch/core/KeywordFolder.h"

#include "launch/core/KeywordOpen.h"
#include "store/Keywords.h"
#include "store/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace zelkar::launch {
namespace {

using store::Hive;

constexpr QLatin1String kMarkName(".zelkar-folder");
constexpr QLatin1String kProgramName("zelkar-open");
constexpr QLatin1String kExe(".exe");

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

QString EntryPath(const QString& folder, const QString& name) { return folder + u'/' + name; }

// What is at a place in the folder.
enum class Entry { None, Ours, Foreign };

// A link whose target is called zelkar-open is one of ours; `target` gets it.
Entry EntryAt(const QByteArray& path, QByteArray* target = nullptr) {
  struct stat info {};
  if (::lstat(path.constData(), &info) != 0) return Entry::None;
  if (!S_ISLNK(info.st_mode)) return Entry::Foreign;
  QByteArray link(4096, '\0');
  const ssize_t size = ::readlink(path.constData(), link.data(), static_cast<size_t>(link.size()));
  if (size <= 0) return Entry::Foreign;
  link.truncate(size);
  const qsizetype slash = link.lastIndexOf('/');
  if (link.mid(slash + 1) != QByteArrayView(kProgramName.data(), kProgramName.size())) return Entry::Foreign;
  if (target) *target = link;
  return Entry::Ours;
}

bool MakeLink(const QByteArray& program, const QByteArray& path) {
  return ::symlink(program.constData(), path.constData()) == 0;
}

// A keyword added or removed: its one entry follows the store.
void UpdateEntry(store::RegistryStore& store, const QString& folder, const QByteArray& program,
                 const QString& subkey) {
  const QString name = FolderEntryName(subkey);
  if (name.isEmpty()) return;
  const QByteArray path = Native(EntryPath(folder, name));
  QByteArray target;
  const Entry entry = EntryAt(path, &target);
  if (store.keyExists(Hive::LocalMachine, kAppPathsKey + subkey)) {
    if (entry == Entry::None) {
      MakeLink(program, path);
    } else if (entry == Entry::Ours && target != program) {
      ::unlink(path.constData());
      MakeLink(program, path);
    }
  } else if (entry == Entry::Ours) {
    ::unlink(path.constData());
  }
}

bool WriteMark(const QString& folder, const FolderMark& mark) {
  QSaveFile file(EntryPath(folder, kMarkName));
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write("# Zelkar's keyword folder: each link here opens the keyword of its name.\n");
  file.write("store=" + mark.store.toUtf8() + "\nprogram=" + mark.program.toUtf8() + '\n');
  return file.commit();
}

// Names in the folder, the mark excepted.
QStringList FolderNames(const QString& folder) {
  QStringList names;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(Native(folder).constData()), ::closedir);
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir.get())) {
    const QString name = QFile::decodeName(entry->d_name);
    if (name == QLatin1String(".") || name == QLatin1String("..") || name == kMarkName) continue;
    names.append(name);
  }
  return names;
}

}  // namespace

QString KeywordFolderPath() {
  QString data = qEnvironmentVariable("XDG_DATA_HOME");
  if (data.isEmpty() || QDir::isRelativePath(data)) data = QDir::homePath() + QStringLiteral("/.local/share");
  return data + QStringLiteral("/zelkar/bin");
}

std::optional<FolderMark> ReadFolderMark(const QString& folder) {
  QFile file(EntryPath(folder, kMarkName));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  FolderMark mark;
  for (const QByteArray& line : file.read(64 * 1024).split('\n')) {
    if (line.startsWith("store=")) mark.store = QString::fromUtf8(line.mid(6));
    if (line.startsWith("program=")) mark.program = QString::fromUtf8(line.mid(8));
  }
  if (mark.store.isEmpty() || mark.program.isEmpty()) return std::nullopt;
  return mark;
}

QString FolderEntryName(const QString& subkey, QString* why) {
  const auto refuse = [why](const char* reason) {
    if (why) *why = QString::fromUtf8(reason);
    return QString();
  };
  if (!subkey.endsWith(kExe, Qt::CaseInsensitive)) return refuse("its name does not end in \".exe\"");
  const QString name = subkey.chopped(kExe.size()).toLower();
  if (!IsTypedKeywordName(name)) return refuse("its name cannot be typed as one word");
  for (const QChar c : name)
    if (c.category() == QChar::Other_Control) return refuse("its name holds a control character");
  if (name == kProgramName || name == kMarkName) return refuse("its name is zelkar-open's own");
  if (Native(name).size() > 255) return refuse("its name is too long for a file name");
  return name;
}

bool SyncKeywordFolder(store::RegistryStore& store, const QString& program, FolderSync& sync) {
  const QString folder = KeywordFolderPath();
  if (!QDir().mkpath(folder)) return false;
  if (!WriteMark(folder, {store.hiveFile(Hive::LocalMachine), program})) return false;

  QHash<QString, QString> wanted;  // entry name -> keyword subkey
  for (const QString& subkey : store.subkeys(Hive::LocalMachine, kAppPathsKey)) {
    QString why;
    const QString name = FolderEntryName(subkey, &why);
    if (name.isEmpty())
      sync.leftOut.append({subkey, why});
    else if (const auto other = wanted.constFind(name); other != wanted.constEnd())
      sync.leftOut.append({subkey, QStringLiteral("its name is that of %1 in lower case").arg(*other)});
    else
      wanted.insert(name, subkey);
  }

  const QByteArray target = Native(program);
  for (const QString& name : FolderNames(folder)) {
    const QByteArray path = Native(EntryPath(folder, name));
    QByteArray linked;
    const Entry entry = EntryAt(path, &linked);
    const auto keyword = wanted.find(name);
    if (keyword == wanted.end()) {
      if (entry == Entry::Ours && ::unlink(path.constData()) == 0) ++sync.removed;
      continue;
    }
    if (entry == Entry::Foreign)
      sync.leftOut.append({*keyword, QStringLiteral("a file Zelkar did not create has its name in %1").arg(folder)});
    else if (linked != target && ::unlink(path.constData()) == 0)
      MakeLink(target, path);
    wanted.erase(keyword);
  }
  for (auto it = wanted.cbegin(); it != wanted.cend(); ++it)
    if (MakeLink(target, Native(EntryPath(folder, it.key())))) ++sync.added;
  return true;
}

void RemoveKeywordFolder() {
  const QString folder = KeywordFolderPath();
  for (const QString& name : FolderNames(folder)) {
    const QByteArray path = Native(EntryPath(folder, name));
    if (EntryAt(path) == Entry::Ours) ::unlink(path.constData());
  }
  QFile::remove(EntryPath(folder, kMarkName));
  QDir().rmdir(folder);
}

void FollowKeywordFolder(store::RegistryStore& store) {
  store.watch(Hive::LocalMachine, kAppPathsKey, [&store](const QStringList& names, bool whole) {
    const QString folder = KeywordFolderPath();
    const std::optional<FolderMark> mark = ReadFolderMark(folder);
    if (!mark || mark->store != store.hiveFile(Hive::LocalMachine)) return;
    if (whole) {
      FolderSync sync;
      SyncKeywordFolder(store, mark->program, sync);
      return;
    }
    const QByteArray program = Native(mark->program);
    for (const QString& subkey : names) UpdateEntry(store, folder, program, subkey);
  });
}

}  // namespace zelkar::launch
