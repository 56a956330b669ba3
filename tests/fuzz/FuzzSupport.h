#pragma once

// What every fuzz target shares: a folder of the run's own that holds the
// store, the home folders and the input files; one main window; a check that
// stops the run.
#include "app/core/Dialogs.h"
#include "app/frmMain.h"
#include "list/TreeView.h"
#include "store/Keywords.h"
#include "store/RegistryStore.h"
#include "store/modRegEdit.h"
#include "support/RecordingLaunchBackend.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace zelkar::fuzz {

// The file of this name in the run's folder, which is made (and made the
// process's store, home and data folders) on first use.
QString FilePath(const QString& name);
// Writes `bytes` to the file (replacing it) and returns its path.
QString WriteFile(const QString& name, const QByteArray& bytes);
inline QByteArray Bytes(const std::uint8_t* data, std::size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The main window (offscreen, with its application) that every input works in.
frmMain& Window();

inline QString AppPaths() { return kAppPathsKey.chopped(1); }
// Every key of the machine's hive with its default value, one line each.
QStringList MachineKeys();
// Replaces every keyword entry, and what lies below them, with `entries`.
void ResetKeywords(const std::map<QString, QString>& entries);

// Answers every question with Yes (OK when there is no Yes), cancels every
// file dialog and counts the boxes.
class AnsweringDialogs final : public Dialogs {
 public:
  AnsweringDialogs() : scope_(*this) {}
  int messageBox(const QString&, int style, const QString&) override {
    ++boxes;
    return (style & 7) == mb::YesNo || (style & 7) == mb::YesNoCancel ? answer::Yes : answer::OK;
  }
  std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> browseFolder(const QString&) override { return std::nullopt; }

  int boxes = 0;

 private:
  Scope scope_;
};

// Stops the run with a message when `condition` does not hold: an invariant
// of the program was broken by this input.
inline void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz: invariant broken: %s\n", what);
  std::abort();
}

}  // namespace zelkar::fuzz

#define ZELKAR_FUZZ_CHECK(condition) ::zelkar::fuzz::Check((condition), #condition)
