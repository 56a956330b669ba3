#include "launch/modShellExe.h"

#include "app/core/Dialogs.h"
#include "launch/core/CommandWords.h"
#include "launch/core/DetachedLaunchBackend.h"
#include "launch/core/LaunchResolver.h"

#include <QDesktopServices>

#include <exception>
#include <new>

namespace zelkar::modShellExe {
namespace {

using launch::LaunchAction;
namespace code = launch::code;

// Starts programs as the command-line tools do and hands everything else to the
// desktop through the window system.
class DesktopLaunchBackend final : public launch::DetachedLaunchBackend {
 public:
  bool openUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

QStringList ParameterWords(const QString& parameters) {
  if (parameters.isEmpty()) return {};
  // Parameters that would need a shell go on as one argument, never interpreted.
  return launch::SplitCommand(parameters).value_or(QStringList{parameters});
}

std::int32_t Launch(const QString& file, const QString& parameters, const QString& directory,
                    const QString& operation) {
  if (!operation.isEmpty() && operation.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
    return code::NoAssociation;
  const LaunchAction action = launch::ResolveLaunch(file);
  switch (action.kind) {
    case LaunchAction::Fail:
      return action.failure;
    case LaunchAction::Open:
      return Backend().openUrl(action.url) ? code::Launched : action.failure;
    case LaunchAction::Start:
      return Backend().startDetached(action.program, action.arguments + ParameterWords(parameters), directory)
                 ? code::Launched
                 : action.failure;
  }
  return code::Unknown;
}

}  // namespace

launch::LaunchBackend& DesktopBackend() {
  static DesktopLaunchBackend desktop;
  return desktop;
}

launch::LaunchBackend& Backend() {
  launch::LaunchBackend* installed = launch::LaunchBackend::installed();
  return installed ? *installed : DesktopBackend();
}

std::int32_t ExecuteFile(const QString& File, bool ShowErrors, std::int32_t ShowCmd, const QString& Parameters,
                         const QString& Directory, const QString& Operation, quintptr Owner) {
  Q_UNUSED(ShowCmd);
  Q_UNUSED(Owner);
  std::int32_t result = code::Unknown;
  try {
    result = Launch(File, Parameters, Directory, Operation);
  } catch (const std::bad_alloc&) {
    result = code::OutOfMemory;
  } catch (const std::exception&) {
    result = code::Unknown;
  }
  if (ShowErrors && result <= 32) MsgBox(ShellErrorText(result), mb::Critical, QStringLiteral("Error"));
  return result;
}

QString ShellErrorText(std::int32_t code) {
  switch (code) {
    case 0:
    case 8:
      return QStringLiteral("Out of memory");
    case 2:
      return QStringLiteral("File not found");
    case 3:
      return QStringLiteral("Path not found");
    case 5:
      return QStringLiteral("Path/file access error");
    case 11:
      return QStringLiteral("The executable file is invalid or corrupt");
    case 26:
      return QStringLiteral("A sharing violation occurred.");
    case 27:
      return QStringLiteral("This file type does not have a valid file association.");
    case 28:
      return QStringLiteral("The file could not be opened due to time out. Please try again in a moment.");
    case 29:
      return QStringLiteral(
          "The file could not be opened because the DDE transaction failed. Please try again in a moment.");
    case 30:
      return QStringLiteral(
          "The file could not be opened because the target application is busy. Please try again in a moment.");
    case 31:
      return QStringLiteral("No application is associated with this file type.");
    case 32:
      return QStringLiteral("The specified dynamic-link library was not found.");
    default:
      return QStringLiteral("An error occurred occurred whilst trying to open or print the selected file.");
  }
}

QString MailAddress(const QString& To, const QString& Subject, const QString& Body, const QString& CC,
                    const QString& BCC) {
  QString query;
  if (!Subject.isEmpty()) query = QStringLiteral("&Subject=") + Subject;
  if (!Body.isEmpty()) query += QStringLiteral("&Body=") + Body;
  if (!CC.isEmpty()) query += QStringLiteral("&CC=") + CC;
  if (!BCC.isEmpty()) query += QStringLiteral("&BCC=") + BCC;
  if (!query.isEmpty()) query[0] = QLatin1Char('?');
  return QStringLiteral("mailto:") + To + query;
}

void SendMail(const QString& To, const QString& Subject, const QString& Body, const QString& CC,
              const QString& BCC) {
  ExecuteFile(MailAddress(To, Subject, Body, CC, BCC), false, 1, QString(), QString(), QStringLiteral("open"), 0);
}

}  // namespace zelkar::modShellExe
