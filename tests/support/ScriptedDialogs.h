#pragma once

#include "app/core/Dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <utility>
#include <optional>
#include <vector>

namespace zelkar::test {

// A box that was shown.
struct ShownBox {
  QString text;
  int style = 0;
  QString title;
};

// A dialog that was shown.
struct ShownDialog {
  enum Kind { Open, Save, Folder } kind = Open;
  FileDialogRequest request;  // for Folder only the title is set
};

// Answers boxes and dialogs from a script and records everything shown. A box
// or dialog that the script does not expect fails the test; so does an
// expectation left unused when the object goes away.
class ScriptedDialogs final : public Dialogs {
 public:
  ScriptedDialogs();
  ~ScriptedDialogs() override;

  // The next box must have this title (and this text, unless text is empty);
  // it is answered with `answer`. `style` < 0 means any style.
  ScriptedDialogs& expectBox(const QString& title, const QString& text, int answer, int style = -1) {
    boxSteps_.push_back({title, text, style, answer});
    return *this;
  }
  // Any box with this title, text not checked.
  ScriptedDialogs& expectBoxTitled(const QString& title, int answer) { return expectBox(title, {}, answer); }
  // The next open/save/folder dialog answers with `path` (nothing = cancel).
  ScriptedDialogs& expectOpen(std::optional<QString> path) { return expectDialog(ShownDialog::Open, path); }
  ScriptedDialogs& expectSave(std::optional<QString> path) { return expectDialog(ShownDialog::Save, path); }
  ScriptedDialogs& expectFolder(std::optional<QString> path) { return expectDialog(ShownDialog::Folder, path); }

  const std::vector<ShownBox>& boxes() const { return boxes_; }
  const std::vector<ShownDialog>& dialogs() const { return dialogs_; }
  bool allUsed() const { return boxSteps_.empty() && dialogSteps_.empty(); }
  // Every box shown goes to standard error as well, so that the parent of a
  // dying child or a death test sees it.
  bool echo = false;

  int messageBox(const QString& text, int style, const QString& title) override;
  std::optional<QString> openFile(const FileDialogRequest& r) override { return nextDialog(ShownDialog::Open, r); }
  std::optional<QString> saveFile(const FileDialogRequest& r) override { return nextDialog(ShownDialog::Save, r); }
  std::optional<QString> browseFolder(const QString& title) override {
    FileDialogRequest request;
    request.title = title;
    return nextDialog(ShownDialog::Folder, request);
  }

 private:
  struct BoxStep {
    QString title;
    QString text;
    int style = -1;
    int answer = 1;
  };
  struct DialogStep {
    ShownDialog::Kind kind;
    std::optional<QString> path;
  };
  ScriptedDialogs& expectDialog(ShownDialog::Kind kind, std::optional<QString> path) {
    dialogSteps_.push_back({kind, std::move(path)});
    return *this;
  }
  std::optional<QString> nextDialog(ShownDialog::Kind kind, const FileDialogRequest& request);

  std::deque<BoxStep> boxSteps_;
  std::deque<DialogStep> dialogSteps_;
  std::vector<ShownBox> boxes_;
  std::vector<ShownDialog> dialogs_;
  Dialogs::Scope scope_;
};

}  // namespace zelkar::test
