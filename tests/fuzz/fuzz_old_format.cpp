// Old-format backup files: any bytes. Reading gives fields in pairs, and the
// conversion gives a current file that holds every record with both parts.
#include "FuzzSupport.h"

#include "backup/core/BackupFormat.h"
#include "backup/core/modINI.h"

using namespace zelkar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString file = fuzz::WriteFile(QStringLiteral("old.zkb"), fuzz::Bytes(data, size));
  int records = 0;
  QString error;
  ZELKAR_FUZZ_CHECK(backup::ReadOldFormatRecords(
      file, [&](const QString& keyword, const QString& target) { records += !keyword.isEmpty() && !target.isEmpty(); },
      &error));

  ZELKAR_FUZZ_CHECK(backup::ConvertOldFormat(file, &error));
  ZELKAR_FUZZ_CHECK(modINI::ReadINI(backup::kSectionZelkar, backup::kKeyVersion, file) == backup::kVersionString);
  const auto count = backup::ProfileNumber(modINI::ReadINI(backup::kSectionCount, backup::kKeyCount, file));
  if (records <= 32767) ZELKAR_FUZZ_CHECK(count && *count == records);
  return 0;
}
