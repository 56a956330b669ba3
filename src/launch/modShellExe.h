#pragma once

#include "launch/core/LaunchBackend.h"

#include <QString>

#include <cstdint>

// The one way anything is handed to the desktop: programs, documents, folders,
// internet addresses and new mail messages.
namespace zelkar::modShellExe {

// The maker's web page for the program, and its support address.
inline const QString kMakerWebPage = QStringLiteral("https://orbrin.example/zelkar");
inline const QString kSupportAddress = QStringLiteral("support@orbrin.example");

// Opens `File` (a path, a program or keyword name, an internet address) and
// answers with the shell's result code: above 32 when it was started, 32 or
// less when not (see ShellErrorText). With ShowErrors a failure is also shown
// in a box. ShowCmd and Owner are accepted for the callers' sake and not used;
// Parameters (split into words like a typed command) go to a started program,
// Directory becomes its working folder. Only the verb "open" is known.
std::int32_t ExecuteFile(const QString& File, bool ShowErrors, std::int32_t ShowCmd = 10,
                         const QString& Parameters = QString(), const QString& Directory = QString(),
                         const QString& Operation = QStringLiteral("open"), quintptr Owner = 0);

// The sentence for a failure code.
QString ShellErrorText(std::int32_t code);

// Opens a new message in the user's mail program. Nothing is reported.
void SendMail(const QString& To, const QString& Subject, const QString& Body, const QString& CC,
              const QString& BCC);

// The "mailto:" address SendMail opens: the values as they are, in the order
// Subject, Body, CC, BCC, the first joined with "?" and the others with "&".
QString MailAddress(const QString& To, const QString& Subject, const QString& Body, const QString& CC,
                    const QString& BCC);

// The backend launches go to: the installed one, else the desktop's.
launch::LaunchBackend& Backend();
// The desktop's backend: programs started detached, the rest opened by the desktop.
launch::LaunchBackend& DesktopBackend();

}  // namespace zelkar::modShellExe
