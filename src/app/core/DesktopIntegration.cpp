#include "app/core/DesktopIntegration.h"

#include "store/FileReplace.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace zelkar::desktop {
namespace {

// Kept equal to packaging/zelkar-mime.xml, which is what an installation puts
// in the system's MIME folder.
constexpr char kMimePackage[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="application/x-zelkar-backup">
    <comment>Zelkar Backup File</comment>
    <sub-class-of type="text/plain"/>
    <generic-icon name="text-x-generic"/>
    <icon name="zelkar"/>
    <glob pattern="*.zkb"/>
    <magic priority="50">
      <match type="string" value="[Zelkar]" offset="0"/>
    </magic>
  </mime-type>
</mime-info>
)";

// Kept equal to packaging/example.orbrin.zelkar.desktop but for the commands,
// which name the running program, and TryExec, which hides the entry once that
// program is gone.
constexpr char kEntryHead[] = R"([Desktop Entry]
Type=Application
Name=Zelkar
GenericName=Run Keyword Manager
Comment=Start programs, documents, folders and web pages by short keywords
)";
constexpr char kEntryMiddle[] = R"(Icon=zelkar
Terminal=false
Categories=Utility;
Keywords=run;keyword;launcher;shortcut;backup;
MimeType=application/x-zelkar-backup;
StartupNotify=true
StartupWMClass=Zelkar
Actions=Load;Import;

[Desktop Action Load]
Name=Load Keywords
)";
constexpr char kEntryTail[] = R"(
[Desktop Action Import]
Name=Import Keywords
)";

// The string escapes of a desktop entry value.
QString EscapeValue(const QString& value) {
  QString out;
  out.reserve(value.size() + 8);
  for (const QChar c : value) {
    switch (c.unicode()) {
      case '\\': out += QLatin1String("\\\\"); break;
      case '\n': out += QLatin1String("\\n"); break;
      case '\t': out += QLatin1String("\\t"); break;
      case '\r': out += QLatin1String("\\r"); break;
      default: out += c;
    }
  }
  if (out.startsWith(QLatin1Char(' '))) out.replace(0, 1, QLatin1String("\\s"));
  return out;
}

enum class Write { Fresh, Written, Failed };

// Rewrites `path` only when it is not already a plain 0644 file holding
// `content`; a reader never sees half a file, and a link planted at the path
// is replaced, never written through.
Write WriteIfStale(const QString& path, const QByteArray& content) {
  if (files::IsPlainFile(path)) {
    QFile existing(path);
    if (existing.size() == content.size() && existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
      return Write::Fresh;
  }
  return files::ReplaceFile(path, content) ? Write::Written : Write::Failed;
}

// A cache is due when the file it covers changed or is newer than the cache.
bool CacheDue(bool changed, const QString& covered, const QString& cache) {
  const QFileInfo source(covered);
  if (!source.exists()) return false;
  if (changed) return true;
  const QFileInfo built(cache);
  return !built.exists() || built.lastModified() < source.lastModified();
}

// Runs a cache program over `folder` when the desktop has it.
bool RunTool(const QString& name, const QString& folder, Refresh refresh) {
  const QString program = QStandardPaths::findExecutable(name);
  if (program.isEmpty()) return false;
  QProcess process;
  process.setProgram(program);
  process.setArguments({folder});
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  if (refresh == Refresh::Detached) return process.startDetached();
  process.start();
  if (!process.waitForFinished(30000)) {
    process.kill();
    process.waitForFinished();
    return false;
  }
  return true;
}

// A desktop entry value with its string escapes undone.
QString UnescapeValue(const QString& value) {
  QString out;
  for (qsizetype i = 0; i < value.size(); ++i) {
    if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    switch (value[++i].unicode()) {
      case 's': out += QLatin1Char(' '); break;
      case 'n': out += QLatin1Char('\n'); break;
      case 't': out += QLatin1Char('\t'); break;
      case 'r': out += QLatin1Char('\r'); break;
      default: out += value[i];
    }
  }
  return out;
}

// The value of `key` in an entry's main group.
QString EntryValue(const QByteArray& entry, const char* key) {
  const QString prefix = QLatin1String(key) + QLatin1Char('=');
  for (const QString& line : QString::fromUtf8(entry).split(QLatin1Char('\n'))) {
    if (line.startsWith(QLatin1Char('[')) && line != QLatin1String("[Desktop Entry]")) break;
    if (line.startsWith(prefix)) return UnescapeValue(line.mid(prefix.size()));
  }
  return QString();
}

QByteArray ReadSmall(const QString& path) {
  QFile file(path);
  if (!files::IsPlainFile(path) || file.size() > 64 * 1024 || !file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// The program an entry's Exec starts: its first word, an absolute path or a
// name looked up on PATH, with links resolved.
QString ProgramOf(const QByteArray& entry) {
  QString exec = EntryValue(entry, "Exec").trimmed();
  QString program;
  if (exec.startsWith(QLatin1Char('"'))) {
    const qsizetype end = exec.indexOf(QLatin1Char('"'), 1);
    program = exec.mid(1, end < 0 ? -1 : end - 1);
  } else {
    program = exec.section(QLatin1Char(' '), 0, 0);
  }
  if (program.isEmpty()) return QString();
  if (!program.contains(QLatin1Char('/'))) program = QStandardPaths::findExecutable(program);
  return program.isEmpty() ? QString() : QFileInfo(program).canonicalFilePath();
}

// Whether an entry installed for the system starts `executable` already.
bool InstalledEntryStarts(const QString& executable, const QString& dataHome) {
  const QString running = QFileInfo(executable).canonicalFilePath();
  if (running.isEmpty()) return false;
  const QString own = QDir::cleanPath(dataHome);
  for (const QString& entry :
       QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QString::fromLatin1(kDesktopEntryFile))) {
    if (QDir::cleanPath(entry).startsWith(own + QLatin1Char('/'))) continue;
    if (ProgramOf(ReadSmall(entry)) == running) return true;
  }
  return false;
}

// Removes the per-user entry when it is one this program wrote (for whatever
// program its TryExec names); an entry the user edited stays.
bool RemoveIfOurs(const QString& path) {
  const QByteArray content = ReadSmall(path);
  if (content.isEmpty()) return false;
  const QString tryExec = EntryValue(content, "TryExec");
  return !tryExec.isEmpty() && content == DesktopEntry(tryExec) && QFile::remove(path);
}

QByteArray IconContent() {
  QFile icon(QString::fromLatin1(kIconResource));
  if (!icon.open(QIODevice::ReadOnly)) return {};
  return icon.readAll();
}

}  // namespace

QString ExecArgument(const QString& argument) {
  static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
  QString text = argument;
  text.replace(QLatin1Char('%'), QLatin1String("%%"));
  bool quote = text.isEmpty();
  for (const QChar c : text) quote = quote || reserved.contains(c);
  if (!quote) return text;
  QString quoted = QStringLiteral("\"");
  for (const QChar c : text) {
    if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
      quoted += QLatin1Char('\\');
    quoted += c;
  }
  quoted += QLatin1Char('"');
  return quoted;
}

QByteArray MimePackage() { return QByteArray(kMimePackage); }

QByteArray DesktopEntry(const QString& executable) {
  const QString program = ExecArgument(executable);
  const QString load = EscapeValue(program + QStringLiteral(" %f"));
  const QString import = EscapeValue(program + QStringLiteral(" %f -I"));
  QString entry = QString::fromUtf8(kEntryHead);
  entry += QStringLiteral("TryExec=") + EscapeValue(executable) + QLatin1Char('\n');
  entry += QStringLiteral("Exec=") + load + QLatin1Char('\n');
  entry += QString::fromUtf8(kEntryMiddle);
  entry += QStringLiteral("Exec=") + load + QLatin1Char('\n');
  entry += QString::fromUtf8(kEntryTail);
  entry += QStringLiteral("Exec=") + import + QLatin1Char('\n');
  return entry.toUtf8();
}

Outcome Integrate(const QString& executable, Refresh refresh) {
  Outcome outcome;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (dataHome.isEmpty() || executable.isEmpty()) return outcome;
  const QDir data(dataHome);
  const QString package = data.filePath(QString::fromLatin1(kMimePackageFile));
  const QString entry = data.filePath(QString::fromLatin1(kDesktopEntryFile));

  outcome.mimePackageWritten = WriteIfStale(package, MimePackage()) == Write::Written;
  if (InstalledEntryStarts(executable, dataHome))
    outcome.desktopEntryRemoved = RemoveIfOurs(entry);
  else
    outcome.desktopEntryWritten = WriteIfStale(entry, DesktopEntry(executable)) == Write::Written;
  const QByteArray icon = IconContent();
  if (!icon.isEmpty())
    outcome.iconWritten = WriteIfStale(data.filePath(QString::fromLatin1(kIconFile)), icon) == Write::Written;

  const QString mimeFolder = data.filePath(QStringLiteral("mime"));
  if (CacheDue(outcome.mimePackageWritten, package, data.filePath(QStringLiteral("mime/mime.cache"))) &&
      RunTool(QStringLiteral("update-mime-database"), mimeFolder, refresh))
    outcome.toolsStarted << QStringLiteral("update-mime-database");
  const QString applications = data.filePath(QStringLiteral("applications"));
  if ((outcome.desktopEntryRemoved ||
       CacheDue(outcome.desktopEntryWritten, entry, data.filePath(QStringLiteral("applications/mimeinfo.cache")))) &&
      RunTool(QStringLiteral("update-desktop-database"), applications, refresh))
    outcome.toolsStarted << QStringLiteral("update-desktop-database");
#else
  Q_UNUSED(executable);
  Q_UNUSED(refresh);
#endif
  return outcome;
}

}  // namespace zelkar::desktop
