#include "backup/core/BackupFormat.h"
#include "backup/core/modINI.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace zelkar;

constexpr int kEntries = 10000;

// What saving a list of kEntries keywords does: 20,002 profile writes into a new file.
void WriteBackup(const QString& file) {
  modINI::Batch batch(file);
  modINI::WriteINI(backup::kSectionZelkar, backup::kKeyVersion, backup::kVersionString, file);
  for (int i = 1; i <= kEntries; ++i)
    modINI::WriteINI(backup::kSectionKeywords, QString::number(i), QStringLiteral("keyword%1.exe").arg(i), file);
  for (int i = 1; i <= kEntries; ++i)
    modINI::WriteINI(backup::kSectionTargets, QString::number(i),
                     QStringLiteral("/home/user/Documents/target number %1.txt").arg(i), file);
  modINI::WriteINI(backup::kSectionCount, backup::kKeyCount, QString::number(kEntries), file);
}

void BM_IniWrite10000Keywords(benchmark::State& state) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("bench.zkb"));
  for (auto _ : state) {
    state.PauseTiming();
    QFile::remove(file);
    state.ResumeTiming();
    WriteBackup(file);
  }
}
BENCHMARK(BM_IniWrite10000Keywords)->Unit(benchmark::kMillisecond);

void BM_IniRead10000Keywords(benchmark::State& state) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("bench.zkb"));
  WriteBackup(file);
  for (auto _ : state) {
    modINI::Batch batch(file);
    const int count = backup::ProfileNumber(modINI::ReadINI(backup::kSectionCount, backup::kKeyCount, file)).value_or(0);
    qsizetype total = 0;
    for (int i = 1; i <= count; ++i) {
      const QString key = QString::number(i);
      total += modINI::ReadINI(backup::kSectionKeywords, key, file).size();
      total += modINI::ReadINI(backup::kSectionTargets, key, file).size();
    }
    benchmark::DoNotOptimize(total);
    if (count != kEntries) state.SkipWithError("entries lost");
  }
}
BENCHMARK(BM_IniRead10000Keywords)->Unit(benchmark::kMillisecond);

// Converting an old-format backup first reads its records: a million of them.
void BM_OldFormatRead1MRecords(benchmark::State& state) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("old.zkb"));
  {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return state.SkipWithError("cannot write");
    QByteArray text;
    for (int i = 0; i < 1'000'000; ++i)
      text += "  \"keyword" + QByteArray::number(i) + ".exe\",\"C:\\Program Files\\Tool " + QByteArray::number(i) +
              "\\tool.exe\"\r\n";
    out.write(text);
  }
  for (auto _ : state) {
    qsizetype records = 0;
    backup::ReadOldFormatRecords(
        file, [&](const QString& keyword, const QString& target) { records += !keyword.isEmpty() && !target.isEmpty(); },
        nullptr);
    if (records != 1'000'000) state.SkipWithError("records lost");
  }
}
BENCHMARK(BM_OldFormatRead1MRecords)->Unit(benchmark::kMillisecond);

}  // namespace
