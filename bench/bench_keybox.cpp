#include "BenchStore.h"

#include "app/Controls.h"
#include "app/frmMain.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <chrono>

#include <sys/resource.h>

namespace {

// One character typed into the keyword box with 10,000 keywords listed: the
// change handling, the search, the completion and the tree's selection (the
// repaint that follows is the platform's and not counted).
// Argument 0: the character completes the last keyword listed; 1: nothing matches.
void BM_Keystroke(benchmark::State& state) {
  const BenchStore bench;
  MakeBenchKeywords(10000, QStringLiteral("/srv/target/%1"));
  zelkar::frmMain form;
  form.show();
  form.LoadTVW(false);
  QCoreApplication::processEvents();
  const bool none = state.range(0) == 1;
  const QString typed = none ? QStringLiteral("zz") : QStringLiteral("kw0999");
  const QChar key = none ? QLatin1Char('z') : QLatin1Char('9');
  for (auto _ : state) {
    form.txtExe->setText(typed);
    QCoreApplication::processEvents();
    const auto start = std::chrono::steady_clock::now();
    QKeyEvent press(QEvent::KeyPress, key.unicode(), Qt::NoModifier, QString(key));
    QCoreApplication::sendEvent(form.txtExe, &press);
    QKeyEvent release(QEvent::KeyRelease, key.unicode(), Qt::NoModifier, QString(key));
    QCoreApplication::sendEvent(form.txtExe, &release);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    QCoreApplication::processEvents();  // the repaint, not counted
  }
  if (!none && form.txtExe->text() != QStringLiteral("kw09999.exe")) state.SkipWithError("no completion");
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["maxrss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_Keystroke)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
