#include "BenchStore.h"

#include "launch/core/KeywordFolder.h"
#include "launch/core/LaunchBackend.h"
#include "search/SearchService.h"
#include "store/Keywords.h"
#include "store/RegistryStore.h"
#include "support/RecordingLaunchBackend.h"

#include <QFileInfo>

#include <benchmark/benchmark.h>

namespace {

using zelkar::store::Hive;
using zelkar::store::RegistryStore;
using zelkar::store::Value;

// The keyword folder of a benchmark: in its store's folder, removed at the end.
class BenchFolder {
 public:
  explicit BenchFolder(const BenchStore& bench) : previous_(qgetenv("XDG_DATA_HOME")) {
    qputenv("XDG_DATA_HOME", QFile::encodeName(bench.path(QStringLiteral("data"))));
  }
  ~BenchFolder() {
    zelkar::launch::RemoveKeywordFolder();
    if (previous_.isNull())
      qunsetenv("XDG_DATA_HOME");
    else
      qputenv("XDG_DATA_HOME", previous_);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;

 private:
  QByteArray previous_;
};

// One query as KRunner (Match) and GNOME Shell (GetInitialResultSet, then the
// metas of what it lists) make it with 10,000 keywords, the store read afresh.
// Argument 0: a beginning shared by every keyword (20 listed); 1: one exact name.
void BM_SearchMatch(benchmark::State& state) {
  const BenchStore bench;
  MakeBenchKeywords(10000, QStringLiteral("https://example.com/%1?q=%s"));
  zelkar::launch::RecordingLaunchBackend backend;
  const zelkar::search::SearchService service(backend);
  const QString query = state.range(0) == 0 ? QStringLiteral("kw") : QStringLiteral("kw09999");
  for (auto _ : state) benchmark::DoNotOptimize(service.match(query));
}
BENCHMARK(BM_SearchMatch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SearchGnomeResultSet(benchmark::State& state) {
  const BenchStore bench;
  MakeBenchKeywords(10000, QStringLiteral("https://example.com/%1?q=%s"));
  zelkar::launch::RecordingLaunchBackend backend;
  const zelkar::search::SearchService service(backend);
  for (auto _ : state) benchmark::DoNotOptimize(service.resultMetas(service.resultSet({QStringLiteral("kw")})));
}
BENCHMARK(BM_SearchGnomeResultSet)->Unit(benchmark::kMillisecond);

// zelkar-open --sync over 10,000 keywords: a folder built from nothing, then one
// already equal to the store (the diff of names alone).
void BM_KeywordFolderSync(benchmark::State& state) {
  const BenchStore bench;
  const BenchFolder folder(bench);
  MakeBenchKeywords(10000, QStringLiteral("https://example.com/%1?q=%s"));
  const bool fresh = state.range(0) == 0;
  zelkar::launch::FolderSync first;
  zelkar::launch::SyncKeywordFolder(RegistryStore::current(), QStringLiteral("/usr/bin/zelkar-open"), first);
  for (auto _ : state) {
    if (fresh) {
      state.PauseTiming();
      zelkar::launch::RemoveKeywordFolder();
      state.ResumeTiming();
    }
    zelkar::launch::FolderSync sync;
    zelkar::launch::SyncKeywordFolder(RegistryStore::current(), QStringLiteral("/usr/bin/zelkar-open"), sync);
    if (sync.added != (fresh ? 10000 : 0)) state.SkipWithError("not in step");
  }
}
// Making 10,000 links is the file system's work and slow on some; one run of it.
BENCHMARK(BM_KeywordFolderSync)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeywordFolderSync)->Arg(1)->Unit(benchmark::kMillisecond);

// One keyword registered and deleted again among 10,000, as the window and
// zelkar-reg write it: argument 0 with the keyword folder off, 1 with it on
// (its one link made and removed by the store's watch).
void BM_RegisterDeleteWithFolder(benchmark::State& state) {
  const BenchStore bench;
  const BenchFolder folder(bench);
  MakeBenchKeywords(10000, QStringLiteral("https://example.com/%1?q=%s"));
  RegistryStore& store = RegistryStore::current();
  zelkar::launch::FolderSync sync;
  if (state.range(0) == 1) zelkar::launch::SyncKeywordFolder(store, QStringLiteral("/usr/bin/zelkar-open"), sync);
  const QString key = zelkar::kAppPathsKey + QStringLiteral("newcomer.exe");
  const QString link = zelkar::launch::KeywordFolderPath() + QStringLiteral("/newcomer");
  for (auto _ : state) {
    store.writeValue(Hive::LocalMachine, key, QString(), Value::fromString(QStringLiteral("/usr/bin/true")));
    if (QFileInfo(link).isSymLink() != (state.range(0) == 1)) state.SkipWithError("link not in step");
    store.deleteKey(Hive::LocalMachine, key);
  }
}
BENCHMARK(BM_RegisterDeleteWithFolder)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
