#include "launch/core/DesktopSetup.h"

#include <QDir>
#include <QFile>

namespace zelkar::launch {
namespace {

constexpr char kWrittenBy[] = "# Written by zelkar-open --desktop on; zelkar-open --desktop off removes it.\n";

QString BaseFolder(const char* variable, const QString& fallback) {
  const QString value = qEnvironmentVariable(variable);
  return value.isEmpty() || QDir::isRelativePath(value) ? QDir::homePath() + fallback : value;
}

QString DataHome() { return BaseFolder("XDG_DATA_HOME", QStringLiteral("/.local/share")); }

}  // namespace

DesktopFile EnvironmentFile(const QString& keywordFolder) {
  return {BaseFolder("XDG_CONFIG_HOME", QStringLiteral("/.config")) + QStringLiteral("/environment.d/60-zelkar.conf"),
          QByteArray(kWrittenBy) + "PATH=${PATH}:" + QFile::encodeName(keywordFolder) + '\n'};
}

DesktopFile KRunnerEntry() {
  return {DataHome() + QStringLiteral("/krunner/dbusplugins/") + kSearchBusName + QStringLiteral(".desktop"),
          QByteArray(kWrittenBy) +
              "[Desktop Entry]\n"
              "Type=Service\n"
              "Name=Zelkar keywords\n"
              "Comment=Opens the keywords registered in Zelkar\n"
              "Icon=zelkar\n"
              "X-KDE-PluginInfo-Name=" + kSearchBusName.toUtf8() + "\n"
              "X-KDE-PluginInfo-EnabledByDefault=true\n"
              "X-Plasma-API=DBus\n"
              "X-Plasma-DBusRunner-Service=" + kSearchBusName.toUtf8() + "\n"
              "X-Plasma-DBusRunner-Path=" + kSearchObjectPath.toUtf8() + "\n"};
}

DesktopFile SearchServiceFile(const QString& searchProgram) {
  return {DataHome() + QStringLiteral("/dbus-1/services/") + kSearchBusName + QStringLiteral(".service"),
          QByteArray(kWrittenBy) + "[D-BUS Service]\nName=" + kSearchBusName.toUtf8() +
              "\nExec=" + QFile::encodeName(searchProgram) + '\n'};
}

bool WrittenByZelkar(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) && file.readLine() == kWrittenBy;
}

}  // namespace zelkar::launch
