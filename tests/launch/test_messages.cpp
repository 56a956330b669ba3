#include "LaunchTest.h"

namespace zelkar::test {
namespace {

using modShellExe::MailAddress;
using modShellExe::ShellErrorText;

class MessagesTest : public LaunchTest {};

TEST_F(MessagesTest, EveryFailureCodeHasItsSentence) {
  const std::pair<int, const char*> table[] = {
      {0, "Out of memory"},
      {2, "File not found"},
      {3, "Path not found"},
      {5, "Path/file access error"},
      {8, "Out of memory"},
      {11, "The executable file is invalid or corrupt"},
      {26, "A sharing violation occurred."},
      {27, "This file type does not have a valid file association."},
      {28, "The file could not be opened due to time out. Please try again in a moment."},
      {29, "The file could not be opened because the DDE transaction failed. Please try again in a moment."},
      {30, "The file could not be opened because the target application is busy. Please try again in a moment."},
      {31, "No application is associated with this file type."},
      {32, "The specified dynamic-link library was not found."},
  };
  for (const auto& [code, text] : table) EXPECT_EQ(ShellErrorText(code), QString::fromLatin1(text)) << code;
  for (const int code : {1, 4, 25, 33})
    EXPECT_EQ(ShellErrorText(code),
              QStringLiteral("An error occurred occurred whilst trying to open or print the selected file."));
}

TEST_F(MessagesTest, OnlyFailuresShowABoxAndOnlyWhenAsked) {
  ScriptedDialogs dialogs;  // any box not expected here fails the test
  const QString document = MakeFile(QStringLiteral("notes.txt"));
  EXPECT_EQ(Run(document, true), 42);
  EXPECT_EQ(Run(path(QStringLiteral("gone.txt")), false), 2);

  dialogs.expectBox(QStringLiteral("Error"), QStringLiteral("File not found"), answer::OK, 16);
  EXPECT_EQ(Run(path(QStringLiteral("gone.txt")), true), 2);
  backend.openResult = false;
  dialogs.expectBox(QStringLiteral("Error"), QStringLiteral("No application is associated with this file type."),
                    answer::OK, 16);
  EXPECT_EQ(Run(document, true), 31);
  // Only "open" is known.
  backend.clear();
  EXPECT_EQ(modShellExe::ExecuteFile(document, false, 10, QString(), QString(), QStringLiteral("print"), 0), 31);
  EXPECT_EQ(Recorded(), "none");
}

TEST_F(MessagesTest, MailAddressesKeepTheirValuesAsWritten) {
  const QString to = QStringLiteral("a@b.example");
  EXPECT_EQ(MailAddress(to, {}, {}, {}, {}), QStringLiteral("mailto:a@b.example"));
  EXPECT_EQ(MailAddress(to, {}, QStringLiteral("Hi there"), {}, {}), QStringLiteral("mailto:a@b.example?Body=Hi there"));
  EXPECT_EQ(MailAddress(to, QStringLiteral("S 1"), QStringLiteral("B, 2!"), QStringLiteral("c@d"), QStringLiteral("e@f")),
            QStringLiteral("mailto:a@b.example?Subject=S 1&Body=B, 2!&CC=c@d&BCC=e@f"));

  // The desktop gets a valid address that decodes to exactly that text.
  backend.openResult = false;  // no mail program: still nothing shown
  ScriptedDialogs dialogs;
  modShellExe::SendMail(modShellExe::kSupportAddress, QStringLiteral("Found a bug..."), QStringLiteral("It's ÿ"), {},
                        {});
  EXPECT_EQ(Recorded(), "open mailto:support@orbrin.example?Subject=Found%20a%20bug...&Body=It's%20%C3%BF");
  EXPECT_TRUE(backend.requests().at(0).url.isValid());
  EXPECT_EQ(QUrl::fromPercentEncoding(backend.requests().at(0).urlText().toUtf8()),
            QStringLiteral("mailto:support@orbrin.example?Subject=Found a bug...&Body=It's ÿ"));
}

}  // namespace
}  // namespace zelkar::test
