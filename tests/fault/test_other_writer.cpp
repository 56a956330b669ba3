// Another process writes keywords while the window works on the same store.
#include "fault/FaultTest.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace zelkar::test {
namespace {

constexpr int kOtherAdds = 800;  // every fourth is deleted again: 1,000 runs of zelkar-reg

// The one target each keyword of either writer ever has.
QString TargetFor(const QString& keyword) {
  const QString number = keyword.mid(5).chopped(4);
  if (keyword.startsWith("other")) return "/opt/other/" + number;
  if (keyword.startsWith("mine")) return "/srv/mine/" + number;
  return QString();
}

// What `actual` lacks and what it has beyond `expected`, for a readable failure.
QStringList Differences(const Keywords& expected, const Keywords& actual) {
  QStringList said;
  for (const auto& [keyword, target] : expected)
    if (const auto found = actual.find(keyword); found == actual.end())
      said << "missing " + keyword;
    else if (found->second != target)
      said << keyword + " is " + found->second;
  for (const auto& [keyword, target] : actual)
    if (!expected.count(keyword)) said << "extra " + keyword;
  return said;
}

class OtherWriter : public FaultTest {};

TEST_F(OtherWriter, WindowAndZelkarRegShareTheStore) {
  std::atomic<int> running{2};
  std::mutex said;
  QStringList failures;  // what zelkar-reg said when it failed
  const auto run = [&](const QStringList& args) {
    QString err;
    if (RunZelkarReg(args, nullptr, &err) == 0) return;
    const std::lock_guard<std::mutex> lock(said);
    failures << args.join(u' ') + QStringLiteral(": ") + err;
  };
  const auto other = [&](int first) {
    for (int i = first; i < kOtherAdds; i += 2) {
      const QString key = kAppPathsFull + QStringLiteral("other%1.exe").arg(i, 4, 10, QLatin1Char('0'));
      run({"add", key, "--default", "--data", QStringLiteral("/opt/other/%1").arg(i, 4, 10, QLatin1Char('0'))});
      if (i % 4 == 0) run({"delete", key});
    }
    --running;
  };
  std::thread evens(other, 0), odds(other, 1);

  std::unique_ptr<frmMain> form = Window();
  ScriptedDialogs dialogs;  // any box fails the test
  Keywords mine;
  int rounds = 0;
  while (running > 0 && !HasFailure()) {
    ++rounds;
    form->LoadTVW(false);
    for (int i = 2; i <= form->tvw->Count(); i += 2) {
      ASSERT_EQ(form->tvw->Image(i + 1), "path") << "keyword without its target: " << form->tvw->Text(i).toStdString();
      ASSERT_EQ(form->tvw->Parent(i + 1), i);
      EXPECT_EQ(form->tvw->Text(i + 1), TargetFor(form->tvw->Text(i))) << form->tvw->Text(i).toStdString();
    }
    const QString saved = path("saved.zkb");
    dialogs.expectSave(saved);
    ASSERT_TRUE(form->SaveList());
    const Keywords backup = ReadEntriesOf(saved);
    EXPECT_EQ(backup, Tree(*form));
    EXPECT_EQ(modINI::ReadINI("Count", "Keywords", saved).toInt(), int(backup.size()));
    EXPECT_TRUE(modINI::ReadINI("Keywords", QString::number(backup.size() + 1), saved).isEmpty());
    for (const auto& [keyword, target] : backup) EXPECT_EQ(target, TargetFor(keyword)) << keyword.toStdString();

    for (int i = 0; i < 5; ++i) {
      const QString keyword = QStringLiteral("mine%1.exe").arg(rounds * 5 + i, 4, 10, QLatin1Char('0'));
      EXPECT_TRUE(form->SaveKeyword(keyword, TargetFor(keyword), false));
      mine[keyword] = TargetFor(keyword);
    }
    const QString dropped = QStringLiteral("mine%1.exe").arg(rounds * 5, 4, 10, QLatin1Char('0'));
    EXPECT_TRUE(form->DeleteKeyword(dropped, false));
    mine.erase(dropped);
  }
  evens.join();
  odds.join();
  EXPECT_EQ(failures, QStringList{});
  EXPECT_GT(rounds, 1);

  Keywords expected = mine;
  for (int i = 0; i < kOtherAdds; ++i)
    if (i % 4 != 0) {
      const QString keyword = QStringLiteral("other%1.exe").arg(i, 4, 10, QLatin1Char('0'));
      expected[keyword] = TargetFor(keyword);
    }
  EXPECT_EQ(Differences(expected, Registered()), QStringList{});
  form.reset();
  EXPECT_EQ(Differences(expected, OnDisk()), QStringList{});
}

// Several programs started at once on a store no one has made yet: one sets it
// up, the others wait for it and use it.
TEST_F(OtherWriter, ManyFirstOpenersShareOneNewStore) {
  constexpr int kRounds = 40;
  constexpr int kWriters = 6;
  for (int round = 0; round < kRounds && !HasFailure(); ++round) {
    const QString folder = path(QStringLiteral("fresh%1").arg(round));
    qputenv("ZELKAR_REGISTRY", QFile::encodeName(folder));
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int i = 0; i < kWriters; ++i) {
      auto& writer = writers.emplace_back(std::make_unique<QProcess>());
      writer->start(QStringLiteral(ZELKAR_REG_BINARY),
                    {"add", kAppPathsFull + QStringLiteral("first%1.exe").arg(i), "--default", "--data",
                     QStringLiteral("/opt/first/%1").arg(i)});
    }
    Keywords expected;
    for (int i = 0; i < kWriters; ++i) {
      ASSERT_TRUE(writers[i]->waitForFinished(30000));
      EXPECT_EQ(writers[i]->exitCode(), 0) << "round " << round << ": " << writers[i]->readAllStandardError().toStdString();
      expected[QStringLiteral("first%1.exe").arg(i)] = QStringLiteral("/opt/first/%1").arg(i);
    }
    EXPECT_EQ(OnDisk(), expected) << "round " << round;
  }
}

}  // namespace
}  // namespace zelkar::test
