#pragma once

#include "app/core/Dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
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
  ScriptedDialogs& expectBox(const QString& title, const QString& text, int answer, int style = -1);
  // Any box with this title, text not checked.
  ScriptedDialogs& expectBoxTitled(const QString& title, int answer);
  // The next open/save dialog answers with `path` (nothing = cancel).
  ScriptedDialogs& expectOpen(std::optional<QString> path);
  ScriptedDialogs& expectSave(std::optional<QString> path);
  ScriptedDialogs& expectFolder(std::optional<QString> path);

  const std::vector<ShownBox>& boxes() const { return boxes_; }
  const std::vector<ShownDialog>& dialogs() const { return dialogs_; }
  bool allUsed() const;

  int messageBox(const QString& text, int style, const QString& title) override;
  std::optional<QString> openFile(const FileDialogRequest& request) override;
  std::optional<QString> saveFile(const FileDialogRequest& request) override;
  std::optional<QString> browseFolder(const QString& title) override;

 private:
  struct BoxStep {
    QString title;
    QString text;
    bool checkText = true;
    int style = -1;
    int answer = 1;
  };
  struct DialogStep {
    ShownDialog::Kind kind;
    std::optional<QString> path;
  };
  std::optional<QString> nextDialog(ShownDialog::Kind kind, const FileDialogRequest& request);

  std::deque<BoxStep> boxSteps_;
  std::deque<DialogStep> dialogSteps_;
  std::vector<ShownBox> boxes_;
  std::vector<ShownDialog> dialogs_;
  Dialogs::Scope scope_;
};

// Passes everything on to `next`, and shows every box on standard error as
// well, so that the parent of a dying child or a death test sees it.
class EchoDialogs final : public Dialogs {
 public:
  explicit EchoDialogs(Dialogs& next) : next_(next), scope_(*this) {}
  int messageBox(const QString& text, int style, const QString& title) override;
  std::optional<QString> openFile(const FileDialogRequest& r) override { return next_.openFile(r); }
  std::optional<QString> saveFile(const FileDialogRequest& r) override { return next_.saveFile(r); }
  std::optional<QString> browseFolder(const QString& t) override { return next_.browseFolder(t); }

 private:
  Dialogs& next_;
  Dialogs::Scope scope_;
};

}  // namespace zelkar::test
