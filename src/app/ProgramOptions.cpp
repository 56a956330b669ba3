#include "app/ProgramOptions.h"

#include <QByteArray>
#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <initializer_list>

namespace zelkar::modMain {
namespace {

constexpr int kBadUsage = 64;

constexpr const char* kUsage = "Usage: zelkar [BACKUP-FILE [-I]] | --help | --version\n";

constexpr const char* kHelp =
    "Manages run keywords: short names for programs, documents, folders and\n"
    "internet addresses, opened with zelkar-open NAME or from the shell.\n"
    "\n"
    "  zelkar                  opens the window (or brings the running one to the front)\n"
    "  zelkar FILE             loads the keywords of the backup file FILE, replacing\n"
    "                          those listed in it\n"
    "  zelkar FILE -I          imports the keywords of FILE, after a question\n"
    "  zelkar --help           this text\n"
    "  zelkar --version        the version\n"
    "\n"
    "The store is $ZELKAR_REGISTRY, else $XDG_DATA_HOME/zelkar/registry;\n"
    "$ZELKAR_MACHINE_HIVE names another machine hive file.\n"
    "See also zelkar-open(1) and zelkar-reg(1).\n";

// Qt's own options, each with the number of words it takes after it.
struct QtOption {
  const char* name;
  int values;
};
constexpr QtOption kQtOptions[] = {
    {"platform", 1}, {"platformpluginpath", 1}, {"platformtheme", 1}, {"plugin", 1}, {"qwindowgeometry", 1},
    {"qwindowicon", 1}, {"qwindowtitle", 1}, {"reverse", 0}, {"session", 1}, {"style", 1}, {"stylesheet", 1},
    {"widgetcount", 0}, {"display", 1}, {"geometry", 1}, {"title", 1}, {"name", 1}, {"visual", 1},
    {"ncols", 1}, {"cmap", 0}, {"nograb", 0}, {"dograb", 0}, {"sync", 0}, {"qmljsdebugger", 1}};

// The words Qt's option takes after it, or -1 when `arg` is none of Qt's.
int QtOptionValues(QByteArray arg) {
  if (arg.startsWith("--")) arg.remove(0, 1);
  if (!arg.startsWith('-')) return -1;
  arg.remove(0, 1);
  const qsizetype eq = arg.indexOf('=');
  const bool joined = eq >= 0;
  if (joined) arg.truncate(eq);
  for (const QtOption& option : kQtOptions)
    if (arg == option.name) return joined ? 0 : option.values;
  return -1;
}

}  // namespace

std::optional<int> AnswerProgramOptions(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray arg(argv[i]);
    if (arg == "--help" || arg == "-h" || arg == "-?") {
      std::fputs(kUsage, stdout);
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (arg == "--version" || arg == "-v") {
      std::printf("zelkar %d.%d\n", ZELKAR_VERSION_MAJOR, ZELKAR_VERSION_MINOR);
      return 0;
    }
    const int values = QtOptionValues(arg);
    if (values >= 0) {
      i += values;
      continue;
    }
    // The rest is the window's command line: a backup file and its " -I". An
    // option it cannot be (a file of that name aside) is refused here, in
    // words on the terminal that typed it.
    const bool option = arg.startsWith('-') && arg.compare("-i", Qt::CaseInsensitive) != 0;
    if (option && !QFileInfo::exists(QString::fromLocal8Bit(arg))) {
      std::fprintf(stderr, "zelkar: unknown option %s\n", arg.constData());
      std::fputs(kUsage, stderr);
      return kBadUsage;
    }
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace zelkar::modMain
