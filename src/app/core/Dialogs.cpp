#include "app/core/Dialogs.h"

#include <cstdio>

namespace zelkar {
namespace {

class HeadlessDialogs final : public Dialogs {
 public:
  int messageBox(const QString& text, int style, const QString& title) override {
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
    return DefaultAnswer(style);
  }
  std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> browseFolder(const QString&) override { return std::nullopt; }
};

HeadlessDialogs& headless() {
  static HeadlessDialogs instance;
  return instance;
}

Dialogs* installed = nullptr;

}  // namespace

Dialogs& Dialogs::current() { return installed ? *installed : headless(); }

Dialogs::Scope::Scope(Dialogs& dialogs) : previous_(installed) { installed = &dialogs; }

Dialogs::Scope::~Scope() { installed = previous_; }

int DefaultAnswer(int style) {
  const int buttons = style & 7;
  const bool second = (style & mb::DefaultButton2) != 0;
  switch (buttons) {
    case mb::YesNoCancel:
      return second ? answer::No : answer::Yes;
    case mb::YesNo:
      return second ? answer::No : answer::Yes;
    case 1:  // OK/Cancel
      return second ? answer::Cancel : answer::OK;
    default:
      return answer::OK;
  }
}

int MsgBox(const QString& text, int style, const QString& title) {
  return Dialogs::current().messageBox(text, style, title);
}

}  // namespace zelkar
