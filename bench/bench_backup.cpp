#include "BenchStore.h"

#include "app/core/Dialogs.h"
#include "app/frmMain.h"
#include "list/TreeView.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>

#include <benchmark/benchmark.h>

namespace {

using namespace zelkar;

constexpr int kEntries = 10000;

// Says Yes to every question and picks `file` in every file dialog.
class ChosenFile final : public Dialogs {
 public:
  QString file;
  int messageBox(const QString&, int style, const QString&) override {
    const int buttons = style & 7;
    return buttons == mb::YesNo || buttons == mb::YesNoCancel ? answer::Yes : answer::OK;
  }
  std::optional<QString> openFile(const FileDialogRequest&) override { return file; }
  std::optional<QString> saveFile(const FileDialogRequest&) override { return file; }
  std::optional<QString> browseFolder(const QString&) override { return std::nullopt; }
};

// A backup of `entries` keywords; `variant` changes every target.
void WriteBackupFile(const QString& file, int variant, int entries = kEntries) {
  QByteArray text = "[Zelkar]\r\nVersion=18\r\n[Keywords]\r\n";
  for (int i = 1; i <= entries; ++i) text += QByteArray::number(i) + "=keyword" + QByteArray::number(i) + ".exe\r\n";
  text += "[Targets]\r\n";
  for (int i = 1; i <= entries; ++i) {
    text += QByteArray::number(i) + '=';
    text += i % 2 ? "/opt/Some App " + QByteArray::number(variant) + "/folder " + QByteArray::number(i)
                  : "www.example.org/" + QByteArray::number(variant) + "/page" + QByteArray::number(i);
    text += "\r\n";
  }
  text += "[Count]\r\nKeywords=" + QByteArray::number(entries) + "\r\n";
  QFile out(file);
  if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) out.write(text);
}

void RegisterKeywords() {
  store::RegistryStore::Transaction group(store::RegistryStore::current(), store::Hive::LocalMachine);
  for (int i = 1; i <= kEntries; ++i)
    modRegEdit::RegWriteValue(kAppPathsFull + QStringLiteral("keyword%1.exe\\").arg(i),
                              QStringLiteral("/opt/Some App/folder %1").arg(i), 0);
  group.commit();
}

// Each run brings in the other of two files, so every target really changes.
void BringIn(benchmark::State& state, bool load, int entries = kEntries) {
  BenchStore store;
  ChosenFile dialogs;
  const Dialogs::Scope scope(dialogs);
  const QString files[2] = {store.path(QStringLiteral("a.zkb")), store.path(QStringLiteral("b.zkb"))};
  WriteBackupFile(files[0], 0, entries);
  WriteBackupFile(files[1], 1, entries);
  frmMain form;
  form.LoadTVW(false);
  int run = 0;
  for (auto _ : state) {
    dialogs.file = files[run++ % 2];
    const bool done = load ? form.LoadList(QString()) : form.ImportList(QString());
    if (!done || form.tvw->Count() != 2 * entries + 1) state.SkipWithError("keywords not brought in");
  }
}

void BM_LoadList10000(benchmark::State& state) { BringIn(state, true); }
BENCHMARK(BM_LoadList10000)->Unit(benchmark::kMillisecond)->Iterations(6);

// The same with 100,000: a few runs only.
void BM_LoadList100000(benchmark::State& state) { BringIn(state, true, 100000); }
BENCHMARK(BM_LoadList100000)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ImportList10000(benchmark::State& state) { BringIn(state, false); }
BENCHMARK(BM_ImportList10000)->Unit(benchmark::kMillisecond)->Iterations(6);

void WriteOut(benchmark::State& state, bool save) {
  BenchStore store;
  ChosenFile dialogs;
  const Dialogs::Scope scope(dialogs);
  RegisterKeywords();
  frmMain form;
  form.LoadTVW(false);
  dialogs.file = store.path(QStringLiteral("out.zkb"));
  for (auto _ : state) {
    if (!save) {
      state.PauseTiming();
      QFile::remove(dialogs.file);
      state.ResumeTiming();
    }
    if (!(save ? form.SaveList() : form.Export(true))) state.SkipWithError("not written");
  }
}

// Over the file of the run before: the old one is replaced whole.
void BM_SaveList10000(benchmark::State& state) { WriteOut(state, true); }
BENCHMARK(BM_SaveList10000)->Unit(benchmark::kMillisecond);

void BM_ExportList10000(benchmark::State& state) { WriteOut(state, false); }
BENCHMARK(BM_ExportList10000)->Unit(benchmark::kMillisecond);

void BM_RecentFilesRefresh(benchmark::State& state) {
  BenchStore store;
  frmMain form;
  for (int i = 0; i <= 4; ++i) {
    const QString file = store.path(QStringLiteral("recent%1.zkb").arg(i));
    WriteBackupFile(file, i);
    modRegEdit::SaveString(store::Hive::CurrentUser, kSettingsKey + QStringLiteral("\\MRU"), QString::number(i),
                           file);
  }
  for (auto _ : state) {
    form.mnuList_Click();
    // The replaced items go as the event loop would delete them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (form.mnuMRU.size() != 5) state.SkipWithError("recent files lost");
  }
}
BENCHMARK(BM_RecentFilesRefresh)->Unit(benchmark::kMicrosecond);

}  // namespace
