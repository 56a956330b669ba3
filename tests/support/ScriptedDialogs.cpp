#include "support/ScriptedDialogs.h"

#include <cstdio>

#include <gtest/gtest.h>

namespace zelkar::test {

ScriptedDialogs::ScriptedDialogs() : scope_(*this) {}

ScriptedDialogs::~ScriptedDialogs() {
  for (const auto& step : boxSteps_)
    ADD_FAILURE() << "expected box not shown: " << step.title.toStdString() << " / "
                  << step.text.toStdString();
  for (const auto& step : dialogSteps_)
    ADD_FAILURE() << "expected file dialog not shown (kind " << step.kind << ")";
}

int ScriptedDialogs::messageBox(const QString& text, int style, const QString& title) {
  if (echo) std::fprintf(stderr, "box [%s] [%s] %d\n", qUtf8Printable(title), qUtf8Printable(text), style);
  boxes_.push_back({text, style, title});
  if (boxSteps_.empty()) {
    ADD_FAILURE() << "unexpected box: title \"" << title.toStdString() << "\", text \""
                  << text.toStdString() << "\", style " << style;
    return DefaultAnswer(style);
  }
  const BoxStep step = boxSteps_.front();
  boxSteps_.pop_front();
  EXPECT_EQ(step.title.toStdString(), title.toStdString()) << "box text: " << text.toStdString();
  if (!step.text.isEmpty()) {
    EXPECT_EQ(step.text.toStdString(), text.toStdString());
  }
  if (step.style >= 0) {
    EXPECT_EQ(step.style, style) << "box: " << title.toStdString();
  }
  return step.answer;
}

std::optional<QString> ScriptedDialogs::nextDialog(ShownDialog::Kind kind,
                                                   const FileDialogRequest& request) {
  dialogs_.push_back({kind, request});
  if (dialogSteps_.empty() || dialogSteps_.front().kind != kind) {
    ADD_FAILURE() << "unexpected file dialog (kind " << kind << "): " << request.title.toStdString();
    return std::nullopt;
  }
  const DialogStep step = dialogSteps_.front();
  dialogSteps_.pop_front();
  return step.path;
}

}  // namespace zelkar::test
