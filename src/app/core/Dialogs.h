#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace zelkar {

// Message box styles as the program states them: icon + buttons + default button.
namespace mb {
constexpr int OKOnly = 0;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int Exclamation = 48;
constexpr int Information = 64;
constexpr int DefaultButton2 = 256;
}  // namespace mb

// Answer codes of message boxes.
namespace answer {
constexpr int OK = 1;
constexpr int Cancel = 2;
constexpr int Yes = 6;
constexpr int No = 7;
}  // namespace answer

// What a file dialog is asked to show.
struct FileDialogRequest {
  QString title;
  QString filter;      // "All Files (*.*)|*.*" form
  QString initialDir;  // empty: the dialog's own default
  QString fileName;    // proposed name
  bool overwritePrompt = false;
};

// The one door to every box and dialog the user sees. The program installs the
// Qt implementation; tests install a scripted one. Without either, boxes go to
// standard error and get their default answer (for command-line tools).
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Returns 1 OK, 2 Cancel, 6 Yes, 7 No.
  virtual int messageBox(const QString& text, int style, const QString& title) = 0;
  // Full path of the chosen file, or nothing when cancelled.
  virtual std::optional<QString> openFile(const FileDialogRequest& request) = 0;
  virtual std::optional<QString> saveFile(const FileDialogRequest& request) = 0;
  // Chosen folder's path, or nothing when cancelled.
  virtual std::optional<QString> browseFolder(const QString& title) = 0;

  // The installed implementation (the headless one when none is installed).
  static Dialogs& current();

  // Installs `dialogs` for the lifetime of the scope object.
  class Scope {
   public:
    explicit Scope(Dialogs& dialogs);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    Dialogs* previous_;
  };
};

// The answer code of the style's default button (used when nobody can be asked).
int DefaultAnswer(int style);

// Shorthand for Dialogs::current().messageBox.
int MsgBox(const QString& text, int style, const QString& title);

}  // namespace zelkar
