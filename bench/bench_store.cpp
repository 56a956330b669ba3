#include "BenchStore.h"

#include "store/Keywords.h"
#include "store/RegistryStore.h"
#include "store/modRegEdit.h"

#include <benchmark/benchmark.h>

namespace {

using namespace zelkar;

constexpr int kKeywords = 10000;

QString KeywordName(int i) { return QStringLiteral("keyword%1.exe").arg(i); }

// kKeywords entries below App Paths, written as one group.
void FillAppPaths() {
  store::RegistryStore& registry = store::RegistryStore::current();
  store::RegistryStore::Transaction group(registry, store::Hive::LocalMachine);
  for (int i = 0; i < kKeywords; ++i)
    registry.writeValue(store::Hive::LocalMachine, kAppPathsKey + KeywordName(i), QString(),
                        store::Value::fromString(QStringLiteral("/home/user/Documents/target number %1.txt").arg(i)));
  group.commit();
}

// What a tree load asks of the store: the listing, then every target.
void BM_StoreListAndRead10000Keywords(benchmark::State& state) {
  BenchStore bench;
  FillAppPaths();
  for (auto _ : state) {
    const QStringList keys = modRegEdit::EnumKeys(store::Hive::LocalMachine, kAppPathsKey);
    qsizetype total = 0;
    for (const QString& key : keys) total += modRegEdit::RegReadValue(kAppPathsFull + key + u'\\').size();
    if (keys.size() != kKeywords || total == 0) state.SkipWithError("the entries were not all read");
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_StoreListAndRead10000Keywords)->Unit(benchmark::kMillisecond);

// A tree load writes every normalised target back; unchanged ones must cost no write.
void BM_StoreRewrite10000UnchangedValues(benchmark::State& state) {
  BenchStore bench;
  FillAppPaths();
  QStringList paths;
  QStringList targets;
  for (int i = 0; i < kKeywords; ++i) {
    paths.append(kAppPathsFull + KeywordName(i) + u'\\');
    targets.append(QStringLiteral("/home/user/Documents/target number %1.txt").arg(i));
  }
  for (auto _ : state) {
    for (int i = 0; i < kKeywords; ++i) modRegEdit::RegWriteValue(paths[i], targets[i], 0);
  }
}
BENCHMARK(BM_StoreRewrite10000UnchangedValues)->Unit(benchmark::kMillisecond);

}  // namespace
