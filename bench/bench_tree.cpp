#include "BenchStore.h"

#include "app/frmMain.h"
#include "list/TreeView.h"
#include "store/Keywords.h"
#include "store/RegistryStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

using zelkar::store::Hive;
using zelkar::store::RegistryStore;
using zelkar::store::Value;

// Keywords whose targets are real files of several types: documents, pictures,
// archives, scripts and programs.
void MakeFileKeywords(const BenchStore& bench, int count) {
  const QString folder = bench.path(QStringLiteral("files"));
  QDir().mkpath(folder);
  static const char* const kinds[] = {"txt", "png", "pdf", "html", "sh", "odt", "zip", "mp3", "c", ""};
  RegistryStore& store = RegistryStore::current();
  RegistryStore::Transaction group(store, Hive::LocalMachine);
  for (int i = 0; i < count; ++i) {
    const QString suffix = QString::fromLatin1(kinds[i % 10]);
    const QString file =
        folder + QStringLiteral("/File %1").arg(i) + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly)) continue;
    if (suffix == QLatin1String("sh") || suffix.isEmpty()) {
      out.write(suffix.isEmpty() ? QByteArray("\x7f" "ELF\x02\x01\x01", 7) + QByteArray(57, '\0')
                                 : QByteArray("#!/bin/sh\nexit 0\n"));
      out.setPermissions(out.permissions() | QFileDevice::ExeOwner);
    } else {
      out.write("content\n");
    }
    store.writeValue(Hive::LocalMachine, zelkar::kAppPathsKey + QStringLiteral("Keyword%1.exe").arg(i), QString(),
                     Value::fromString(file));
  }
  group.commit();
}

double MaxRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// A full rebuild of the tree (icons included) until the window can take input again.
void BM_LoadTVW(benchmark::State& state) {
  const BenchStore bench;
  MakeFileKeywords(bench, static_cast<int>(state.range(0)));
  zelkar::frmMain form;
  form.show();
  form.LoadTVW(false);
  QCoreApplication::processEvents();
  for (auto _ : state) {
    form.LoadTVW(false);
    QCoreApplication::processEvents();
  }
  state.counters["keywords"] = form.KeywordCount();
  state.counters["maxrss_MiB"] = MaxRssMiB();
}
BENCHMARK(BM_LoadTVW)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Adding 20,000 nodes and removing them again.
void BM_TreeAddClear(benchmark::State& state) {
  zelkar::ImageList images;
  images.Add(QStringLiteral("key"), QIcon());
  images.Add(QStringLiteral("fld"), QIcon());
  images.Add(QStringLiteral("path"), QIcon());
  zelkar::TreeView tree(images);
  tree.show();
  for (auto _ : state) {
    tree.setUpdatesEnabled(false);
    tree.Clear();
    tree.Add(0, 0, QStringLiteral("Run Keywords"), QStringLiteral("key"));
    for (int i = 0; i < 10000; ++i) {
      const int k = tree.Add(1, zelkar::tvwChild, QStringLiteral("keyword%1.exe").arg(i), QStringLiteral("fld"));
      tree.Add(k, zelkar::tvwChild, QStringLiteral("/srv/target/%1").arg(i), QStringLiteral("path"));
    }
    tree.setUpdatesEnabled(true);
    tree.Clear();
  }
}
BENCHMARK(BM_TreeAddClear)->Unit(benchmark::kMillisecond);

}  // namespace
