// The keyword listing over any store content: keys of any name and depth,
// values of any type and data. Listing never fails, never asks, never starts
// anything, and shows each keyword with its target.
#include "FuzzSupport.h"
#include "KeywordSnapshot.h"

#include "app/frmMain.h"
#include "support/RecordingLaunchBackend.h"
#include "list/TreeView.h"
#include "store/modRegEdit.h"

#include <memory>

using namespace zelkar;

namespace {

// Reads the input as records: a name, a value name, a type code and data.
class Records {
 public:
  explicit Records(const QByteArray& bytes) : bytes_(bytes) {}
  bool atEnd() const { return pos_ >= bytes_.size(); }
  QString text() {
    const qsizetype nul = bytes_.indexOf('\0', pos_);
    const qsizetype end = nul < 0 ? bytes_.size() : nul;
    const QString part = QString::fromUtf8(bytes_.mid(pos_, end - pos_));
    pos_ = end + 1;
    return part;
  }
  std::uint32_t number(int width) {
    std::uint32_t n = 0;
    for (int i = 0; i < width && pos_ < bytes_.size(); ++i) n = (n << 8) | static_cast<unsigned char>(bytes_[pos_++]);
    return n;
  }
  QByteArray data(qsizetype length) {
    const QByteArray part = bytes_.mid(pos_, length);
    pos_ += length;
    return part;
  }

 private:
  QByteArray bytes_;
  qsizetype pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  frmMain* const form = &fuzz::Window();
  fuzz::AnsweringDialogs dialogs;
  launch::RecordingLaunchBackend launcher;
  if (size == 0) return 0;

  fuzz::ResetKeywords({});
  store::RegistryStore& reg = store::RegistryStore::current();
  Records records(fuzz::Bytes(data + 1, size - 1));
  int written = 0;
  while (!records.atEnd() && written < 64) {
    const QString name = records.text();
    const QString valueName = records.text();
    const std::uint32_t type = records.number(1) < 200 ? store::type::String : records.number(4);
    const QByteArray bytes = records.data(records.number(1));
    const QString key = name.isEmpty() ? fuzz::AppPaths() : fuzz::AppPaths() + u'\\' + name;
    if (reg.writeValue(store::Hive::LocalMachine, key, valueName, store::Value{type, bytes}) == store::Outcome::Done)
      ++written;
  }
  const int subkeys = static_cast<int>(reg.subkeys(store::Hive::LocalMachine, fuzz::AppPaths()).size());

  form->LoadTVW((data[0] & 1) != 0);
  ZELKAR_FUZZ_CHECK(form->tvw->Count() % 2 == 1);
  ZELKAR_FUZZ_CHECK(form->KeywordCount() <= subkeys);
  for (int i = 2; i <= form->tvw->Count(); i += 2) {
    ZELKAR_FUZZ_CHECK(form->tvw->Parent(i) == 1);
    ZELKAR_FUZZ_CHECK(form->tvw->Parent(i + 1) == i);
    // Only a target that was nothing but quotes shows empty, and it is stored
    // empty now.
    ZELKAR_FUZZ_CHECK(!form->tvw->Text(i + 1).isEmpty() ||
                      modRegEdit::RegReadValue(kAppPathsFull + form->tvw->Text(i) + u'\\').isEmpty());
  }
  ZELKAR_FUZZ_CHECK(dialogs.boxes == 0);
  ZELKAR_FUZZ_CHECK(launcher.requests().empty());
  return 0;
}
