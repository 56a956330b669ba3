// Other processes write keywords while the window works on the same store.
#include "support/BackupTest.h"

#include <QProcess>

#include <atomic>
#include <mutex>
#include <thread>

namespace zelkar::test {
namespace {

constexpr int kOtherAdds = 800;  // every fourth is deleted again: 1,000 runs of zelkar-reg

// The one target each keyword of either writer ever has.
QString TargetFor(const QString& keyword) { return "/srv/" + keyword; }
QString Numbered(const char* prefix, int i) { return QStringLiteral("%1%2.exe").arg(prefix).arg(i, 4, 10, QLatin1Char('0')); }

using OtherWriter = BackupTest;

TEST_F(OtherWriter, WindowAndZelkarRegShareTheStore) {
  std::atomic<int> running{2};
  std::mutex said;
  QStringList failures;  // what zelkar-reg said when it failed
  const auto run = [&](const QStringList& args) {
    QString err;
    if (RunZelkarReg(args, nullptr, &err) == 0) return;
    const std::lock_guard<std::mutex> lock(said);
    failures << args.join(u' ') + ": " + err;
  };
  const auto other = [&](int first) {
    for (int i = first; i < kOtherAdds; i += 2) {
      const QString keyword = Numbered("other", i);
      run({"add", kAppPathsFull + keyword, "--default", "--data", TargetFor(keyword)});
      if (i % 4 == 0) run({"delete", kAppPathsFull + keyword});
    }
    --running;
  };
  std::thread evens(other, 0), odds(other, 1);

  std::unique_ptr<frmMain> form = Window();
  ScriptedDialogs dialogs;  // any box fails the test
  Keywords expected;
  int rounds = 0;
  while (running > 0 && !HasFailure()) {
    ++rounds;
    // Every keyword the tree and a saved list show has its one target.
    form->LoadTVW(false);
    for (int i = 2; i <= form->tvw->Count(); i += 2) {
      ASSERT_EQ(form->tvw->Image(i + 1), "path") << "keyword without its target: " << form->tvw->Text(i).toStdString();
      ASSERT_EQ(form->tvw->Parent(i + 1), i);
      EXPECT_EQ(form->tvw->Text(i + 1), TargetFor(form->tvw->Text(i)));
    }
    const QString saved = path("saved.zkb");
    dialogs.expectSave(saved);
    ASSERT_TRUE(form->SaveList());
    const Keywords backup = ReadEntriesOf(saved);
    EXPECT_EQ(backup, Tree(*form));
    EXPECT_TRUE(modINI::ReadINI("Keywords", QString::number(backup.size() + 1), saved).isEmpty());
    for (const auto& [keyword, target] : backup) EXPECT_EQ(target, TargetFor(keyword));

    for (int i = 0; i < 5; ++i) {
      const QString keyword = Numbered("mine", rounds * 5 + i);
      EXPECT_TRUE(form->SaveKeyword(keyword, TargetFor(keyword), false));
      expected[keyword] = TargetFor(keyword);
    }
    EXPECT_TRUE(form->DeleteKeyword(Numbered("mine", rounds * 5), false));
    expected.erase(Numbered("mine", rounds * 5));
  }
  evens.join();
  odds.join();
  EXPECT_EQ(failures, QStringList{});
  EXPECT_GT(rounds, 1);

  for (int i = 0; i < kOtherAdds; ++i)
    if (i % 4 != 0) expected[Numbered("other", i)] = TargetFor(Numbered("other", i));
  EXPECT_EQ(Registered(), expected);
  form.reset();
  EXPECT_EQ(OnDisk(), expected);
}

// Several programs started at once on a store no one has made yet: one sets it
// up, the others wait for it and use it.
TEST_F(OtherWriter, ManyFirstOpenersShareOneNewStore) {
  for (int round = 0; round < 40 && !HasFailure(); ++round) {
    qputenv("ZELKAR_REGISTRY", QFile::encodeName(path(QStringLiteral("fresh%1").arg(round))));
    std::vector<std::unique_ptr<QProcess>> writers;
    Keywords expected;
    for (int i = 0; i < 6; ++i) {
      const QString keyword = Numbered("first", i);
      expected[keyword] = TargetFor(keyword);
      writers.emplace_back(std::make_unique<QProcess>())
          ->start(ZELKAR_REG_BINARY, {"add", kAppPathsFull + keyword, "--default", "--data", TargetFor(keyword)});
    }
    for (const auto& writer : writers) {
      ASSERT_TRUE(writer->waitForFinished(30000));
      EXPECT_EQ(writer->exitCode(), 0) << "round " << round << ": " << writer->readAllStandardError().toStdString();
    }
    EXPECT_EQ(OnDisk(), expected) << "round " << round;
  }
}

}  // namespace
}  // namespace zelkar::test
