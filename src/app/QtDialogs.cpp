#include "app/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QRegularExpression>

namespace zelkar {
namespace {

using Button = QMessageBox::StandardButton;

QList<Button> ButtonsOf(int style) {
  switch (style & 7) {
    case 1:
      return {QMessageBox::Ok, QMessageBox::Cancel};
    case 2:
      return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case mb::YesNoCancel:
      return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case mb::YesNo:
      return {QMessageBox::Yes, QMessageBox::No};
    case 5:
      return {QMessageBox::Retry, QMessageBox::Cancel};
    default:
      return {QMessageBox::Ok};
  }
}

QMessageBox::Icon IconOf(int style) {
  switch (style & 0x70) {
    case mb::Critical:
      return QMessageBox::Critical;
    case 32:
      return QMessageBox::Question;
    case mb::Exclamation:
      return QMessageBox::Warning;
    case mb::Information:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// Esc answers Cancel where there is one, No on a plain question, OK on a notice;
// Abort/Retry/Ignore must be answered.
Button EscapeOf(const QList<Button>& buttons) {
  for (const Button b : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ok})
    if (buttons.contains(b)) return b;
  return QMessageBox::NoButton;
}

QWidget* Owner() { return QApplication::activeWindow(); }

QString StartPath(const FileDialogRequest& request) {
  if (request.fileName.isEmpty()) return request.initialDir;
  if (request.initialDir.isEmpty() || QDir::isAbsolutePath(request.fileName)) return request.fileName;
  return QDir(request.initialDir).filePath(request.fileName);
}

std::optional<QString> Chosen(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  return path;
}

}  // namespace

BoxLayout LayoutForStyle(int style) {
  BoxLayout layout;
  layout.icon = IconOf(style);
  layout.buttons = ButtonsOf(style);
  const int index = (style & 0x300) >> 8;  // 0 first, 1 second, 2 third
  layout.defaultButton = layout.buttons.value(index, layout.buttons.front());
  layout.escapeButton = EscapeOf(layout.buttons);
  return layout;
}

int AnswerForButton(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Ok:
      return answer::OK;
    case QMessageBox::Cancel:
      return answer::Cancel;
    case QMessageBox::Abort:
      return 3;
    case QMessageBox::Retry:
      return 4;
    case QMessageBox::Ignore:
      return 5;
    case QMessageBox::Yes:
      return answer::Yes;
    case QMessageBox::No:
      return answer::No;
    default:
      return 0;
  }
}

QString QtFilter(const QString& filter) {
  static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    description.remove(trailingPatterns);
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
      pattern = pattern.trimmed();
      // "*.*" means every file there, also one without a dot in its name.
      if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
    }
    filters << description.trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return filters.join(QStringLiteral(";;"));
}

int QtDialogs::messageBox(const QString& text, int style, const QString& title) {
  const BoxLayout layout = LayoutForStyle(style);
  QMessageBox box(layout.icon, title, text, QMessageBox::NoButton, Owner());
  box.setTextFormat(Qt::PlainText);
  for (const Button b : layout.buttons) box.addButton(b);
  box.setDefaultButton(layout.defaultButton);
  if (layout.escapeButton != QMessageBox::NoButton) box.setEscapeButton(layout.escapeButton);
  box.exec();
  const int code = AnswerForButton(box.standardButton(box.clickedButton()));
  if (code != 0) return code;
  return layout.escapeButton != QMessageBox::NoButton ? AnswerForButton(layout.escapeButton)
                                                      : DefaultAnswer(style);
}

std::optional<QString> QtDialogs::openFile(const FileDialogRequest& request) {
  return Chosen(QFileDialog::getOpenFileName(Owner(), request.title, StartPath(request), QtFilter(request.filter)));
}

std::optional<QString> QtDialogs::saveFile(const FileDialogRequest& request) {
  const QFileDialog::Options options =
      request.overwritePrompt ? QFileDialog::Options() : QFileDialog::Options(QFileDialog::DontConfirmOverwrite);
  return Chosen(QFileDialog::getSaveFileName(Owner(), request.title, StartPath(request), QtFilter(request.filter),
                                             nullptr, options));
}

std::optional<QString> QtDialogs::browseFolder(const QString& title) {
  return Chosen(QFileDialog::getExistingDirectory(Owner(), title));
}

}  // namespace zelkar
