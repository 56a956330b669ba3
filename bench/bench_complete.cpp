#include "BenchStore.h"

#include "launch/core/KeywordNames.h"
#include "store/Keywords.h"
#include "store/RegistryStore.h"

#include <benchmark/benchmark.h>

namespace {

using namespace zelkar;

// What a shell's Tab after "zelkar-open " costs inside the program, at 10,000
// keywords: every name (an empty word) and the names under a prefix.
void BM_CompleteNames10000Keywords(benchmark::State& state) {
  BenchStore bench;
  store::RegistryStore& registry = store::RegistryStore::current();
  {
    store::RegistryStore::Transaction group(registry, store::Hive::LocalMachine);
    for (int i = 0; i < 10000; ++i)
      registry.writeValue(store::Hive::LocalMachine, kAppPathsKey + QStringLiteral("word%1.exe").arg(i), QString(),
                          store::Value::fromString(QStringLiteral("/usr/bin/tool%1").arg(i)));
    group.commit();
  }
  const QString prefix = state.range(0) == 0 ? QString() : QStringLiteral("WORD99");
  const qsizetype expected = state.range(0) == 0 ? 10000 : 111;
  for (auto _ : state) {
    const QStringList names = launch::KeywordNames(prefix);
    if (names.size() != expected) state.SkipWithError("not every name was offered");
    benchmark::DoNotOptimize(names);
  }
}
BENCHMARK(BM_CompleteNames10000Keywords)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
