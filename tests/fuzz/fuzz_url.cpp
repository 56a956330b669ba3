// Internet shortcut files: any bytes, dropped onto the target label, the
// target frame and the address window. A drop only shows the address; it
// never starts anything and never asks anything.
#include "FuzzSupport.h"

#include "app/Controls.h"
#include "edit/DroppedFiles.h"
#include "edit/frmURL.h"

#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include <memory>

using namespace zelkar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  frmMain* const form = &fuzz::Window();
  static const std::unique_ptr<frmURL> address = std::make_unique<frmURL>(form);
  fuzz::AnsweringDialogs dialogs;
  launch::RecordingLaunchBackend launcher;

  const QString file = fuzz::WriteFile(QStringLiteral("shortcut.url"), fuzz::Bytes(data, size));
  const QString shown = ShortcutAddress(file);
  QMimeData dropped;
  dropped.setUrls({QUrl::fromLocalFile(file)});

  form->txtExe->clear();
  form->lblPath_OLEDragDrop(&dropped);
  ZELKAR_FUZZ_CHECK(form->lblPath->caption() == shown);
  form->fraTarget_OLEDragDrop(&dropped);
  ZELKAR_FUZZ_CHECK(form->lblPath->caption() == shown);
  address->txtURL->clear();
  address->Form_OLEDragDrop(&dropped);
  ZELKAR_FUZZ_CHECK(address->txtURL->text() == shown);

  ZELKAR_FUZZ_CHECK(launcher.requests().empty());
  ZELKAR_FUZZ_CHECK(dialogs.boxes == 0);
  return 0;
}
