#include "FloorLoad.h"

#include "app/Controls.h"
#include "app/core/Dialogs.h"
#include "app/frmMain.h"
#include "list/TreeView.h"
#include "store/Keywords.h"
#include "store/RegistryStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include <sys/resource.h>

namespace {

using namespace zelkar;
using store::Hive;
using store::RegistryStore;
using store::Value;

// A store of `count` keywords whose targets are real files of several types
// (documents, pictures, archives, scripts, programs), made once per count and
// shared by the benchmarks of one run.
class FileKeywords {
 public:
  static FileKeywords& Of(int count) {
    static std::map<int, std::unique_ptr<FileKeywords>> made;
    std::unique_ptr<FileKeywords>& one = made[count];
    if (!one) one.reset(new FileKeywords(count));
    one->Use();
    return *one;
  }
  QString storeFile() const { return RegistryStore::current().hiveFile(Hive::LocalMachine); }
  QString file(int i) const { return files_ + QStringLiteral("/File %1.txt").arg(i); }

 private:
  explicit FileKeywords(int count) : files_(dir_.filePath(QStringLiteral("files"))) {
    Use();
    QDir().mkpath(files_);
    static const char* const kinds[] = {"txt", "png", "pdf", "html", "sh", "odt", "zip", "mp3", "c", ""};
    RegistryStore& store = RegistryStore::current();
    RegistryStore::Transaction group(store, Hive::LocalMachine);
    for (int i = 0; i < count; ++i) {
      const QString suffix = QString::fromLatin1(kinds[i % 10]);
      const QString file =
          files_ + QStringLiteral("/File %1").arg(i) + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
      QFile out(file);
      if (!out.open(QIODevice::WriteOnly)) continue;
      if (suffix == QLatin1String("sh") || suffix.isEmpty()) {
        out.write(suffix.isEmpty() ? QByteArray("\x7f" "ELF\x02\x01\x01", 7) + QByteArray(57, '\0')
                                   : QByteArray("#!/bin/sh\nexit 0\n"));
        out.setPermissions(out.permissions() | QFileDevice::ExeOwner);
      } else {
        out.write("content\n");
      }
      store.writeValue(Hive::LocalMachine, kAppPathsKey + QStringLiteral("Keyword%1.exe").arg(i), QString(),
                       Value::fromString(file));
    }
    group.commit();
  }
  void Use() const {
    RegistryStore::useLocation(store::StoreLocation::inDirectory(dir_.filePath(QStringLiteral("registry"))));
  }

  QTemporaryDir dir_;
  QString files_;
};

double MaxRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// Says Yes to every question.
class YesToAll final : public Dialogs {
 public:
  int messageBox(const QString&, int, const QString&) override { return answer::Yes; }
  std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> browseFolder(const QString&) override { return std::nullopt; }
};

// A full rebuild of the tree (icons included) until the window can take input again.
void BM_LoadTVW(benchmark::State& state) {
  FileKeywords::Of(static_cast<int>(state.range(0)));
  frmMain form;
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
BENCHMARK(BM_LoadTVW)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);

// The floor of the same load in a plain window of the same size.
void BM_LoadTVWFloor(benchmark::State& state) {
  const FileKeywords& keywords = FileKeywords::Of(static_cast<int>(state.range(0)));
  QMainWindow window;
  QTreeWidget* tree = FloorWindow(window);
  window.show();
  FloorLoad floor(keywords.storeFile());
  int count = floor.Load(*tree);
  QCoreApplication::processEvents();
  for (auto _ : state) {
    count = floor.Load(*tree);
    tree->setCurrentItem(tree->topLevelItem(0));
    QCoreApplication::processEvents();
  }
  state.counters["keywords"] = count;
}
BENCHMARK(BM_LoadTVWFloor)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTVWFloor)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);

// The window shown with its tree loaded, idle.
void LoadedWindow(frmMain& form) {
  form.show();
  form.LoadTVW(false);
  QCoreApplication::processEvents();
}

// Register with the window's button: a new keyword for an existing file, until
// the window takes input again. Each one is deleted again outside the timing.
void BM_RegisterOne(benchmark::State& state) {
  const FileKeywords& keywords = FileKeywords::Of(static_cast<int>(state.range(0)));
  frmMain form;
  LoadedWindow(form);
  int run = 0;
  for (auto _ : state) {
    const QString name = QStringLiteral("Keyword%1b").arg(run * 7919 % state.range(0));
    form.txtExe->setText(name);
    form.lblPath->setCaption(keywords.file(run * 10 % static_cast<int>(state.range(0))));
    form.cmdSave_Click();
    QCoreApplication::processEvents();
    state.PauseTiming();
    if (form.KeywordCount() != state.range(0) + 1) state.SkipWithError("keyword not registered");
    RegistryStore::current().deleteKey(Hive::LocalMachine, kAppPathsKey + name + QStringLiteral(".exe"));
    form.UpdateTVW(false);
    ++run;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RegisterOne)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegisterOne)->Arg(100000)->Iterations(5)->Unit(benchmark::kMillisecond);

// Delete with the window's button (the question answered Yes), until the
// window takes input again. The keyword is put back outside the timing.
void BM_DeleteOne(benchmark::State& state) {
  FileKeywords::Of(static_cast<int>(state.range(0)));
  YesToAll dialogs;
  const Dialogs::Scope scope(dialogs);
  frmMain form;
  LoadedWindow(form);
  int run = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const int i = run++ * 7919 % static_cast<int>(state.range(0));
    const QString name = QStringLiteral("Keyword%1.exe").arg(i);
    const std::optional<Value> target = RegistryStore::current().readValue(Hive::LocalMachine, kAppPathsKey + name, {});
    form.txtExe->setText(name);
    state.ResumeTiming();
    form.cmdDelete_Click();
    QCoreApplication::processEvents();
    state.PauseTiming();
    if (form.KeywordCount() != state.range(0) - 1) state.SkipWithError("keyword not deleted");
    if (target) RegistryStore::current().writeValue(Hive::LocalMachine, kAppPathsKey + name, {}, *target);
    form.UpdateTVW(false);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeleteOne)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteOne)->Arg(100000)->Iterations(5)->Unit(benchmark::kMillisecond);

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
