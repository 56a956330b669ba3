// The keyword listing over any store content: keys of any name and depth,
// values of any type and data. Listing never fails, never asks, never starts
// anything, and shows each keyword with its target.
#include "FuzzSupport.h"

using namespace zelkar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  frmMain& form = fuzz::Window();
  fuzz::AnsweringDialogs dialogs;
  launch::RecordingLaunchBackend launcher;
  if (size == 0) return 0;

  // After a first byte of options, records: a name, a value name, a type code and data.
  const QByteArray in = fuzz::Bytes(data + 1, size - 1);
  qsizetype pos = 0;
  const auto text = [&] {
    const qsizetype nul = in.indexOf('\0', pos);
    const qsizetype end = nul < 0 ? in.size() : nul;
    const QString part = QString::fromUtf8(in.mid(pos, end - pos));
    pos = end + 1;
    return part;
  };
  const auto number = [&](int width) {
    std::uint32_t n = 0;
    for (int i = 0; i < width && pos < in.size(); ++i) n = (n << 8) | static_cast<unsigned char>(in[pos++]);
    return n;
  };
  fuzz::ResetKeywords({});
  store::RegistryStore& reg = store::RegistryStore::current();
  int written = 0;
  while (pos < in.size() && written < 64) {
    const QString name = text();
    const QString valueName = text();
    const std::uint32_t type = number(1) < 200 ? store::type::String : number(4);
    const qsizetype length = number(1);
    const QByteArray bytes = in.mid(pos, length);
    pos += length;
    const QString key = name.isEmpty() ? fuzz::AppPaths() : fuzz::AppPaths() + u'\\' + name;
    if (reg.writeValue(store::Hive::LocalMachine, key, valueName, store::Value{type, bytes}) == store::Outcome::Done)
      ++written;
  }
  const int subkeys = static_cast<int>(reg.subkeys(store::Hive::LocalMachine, fuzz::AppPaths()).size());

  form.LoadTVW((data[0] & 1) != 0);
  ZELKAR_FUZZ_CHECK(form.tvw->Count() % 2 == 1);
  ZELKAR_FUZZ_CHECK(form.KeywordCount() <= subkeys);
  for (int i = 2; i <= form.tvw->Count(); i += 2) {
    ZELKAR_FUZZ_CHECK(form.tvw->Parent(i) == 1);
    ZELKAR_FUZZ_CHECK(form.tvw->Parent(i + 1) == i);
    // Only a target that was nothing but quotes shows empty, and it is stored
    // empty now.
    ZELKAR_FUZZ_CHECK(!form.tvw->Text(i + 1).isEmpty() ||
                      modRegEdit::RegReadValue(kAppPathsFull + form.tvw->Text(i) + u'\\').isEmpty());
  }
  ZELKAR_FUZZ_CHECK(dialogs.boxes == 0);
  ZELKAR_FUZZ_CHECK(launcher.requests().empty());
  return 0;
}
