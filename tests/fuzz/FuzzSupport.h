#pragma once

#include "app/core/Dialogs.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <optional>

// What every fuzz target shares: a private folder that holds the store, the
// home and data folders, and the input files; a check that stops the run.
namespace zelkar {
class frmMain;
}

namespace zelkar::fuzz {

// The folder of this run, made the process's store, home and data folders on
// first use. Set up before anything opens the store.
const QString& Folder();
QString FilePath(const QString& name);

// Writes `bytes` to the file (replacing it) and returns its path.
QString WriteFile(const QString& name, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

// The input as bytes.
inline QByteArray Bytes(const std::uint8_t* data, std::size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}
// The input cut at its first `count - 1` NUL bytes: `count` parts, the last
// one holding the rest (missing parts are empty).
QList<QByteArray> SplitInput(const QByteArray& input, int count);

// The application object the windows need (offscreen), made on first use.
void EnsureApplication();
// The main window that every input of a run works in, made (with the
// application) on first use.
frmMain& Window();

// Answers every question with Yes (OK when there is no Yes) and cancels
// every file dialog; counts the boxes.
class AnsweringDialogs final : public Dialogs {
 public:
  AnsweringDialogs() : scope_(*this) {}
  int messageBox(const QString& text, int style, const QString& title) override;
  std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> browseFolder(const QString&) override { return std::nullopt; }

  int boxes = 0;
  QStringList titles;

 private:
  Scope scope_;
};

// Stops the run with a message when `condition` does not hold: an invariant
// of the program was broken by this input.
void Check(bool condition, const char* what);

}  // namespace zelkar::fuzz

#define ZELKAR_FUZZ_CHECK(condition) ::zelkar::fuzz::Check((condition), #condition)
