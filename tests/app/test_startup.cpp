#include "app/SingleInstance.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "shell/TrayIcon.h"
#include "support/ScriptedDialogs.h"
#include "support/StoreTest.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <future>

namespace zelkar::test {
namespace {

const QString kAnother = QStringLiteral("Another instance of Zelkar is already running.");

class StartupTest : public StoreTest {
 protected:
  // Sockets go to a private runtime folder of the test's own.
  void SetUp() override {
    StoreTest::SetUp();
    savedRuntime_ = qgetenv("XDG_RUNTIME_DIR");
    const QString runtime = path(QStringLiteral("run"));
    ASSERT_TRUE(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
  }
  void TearDown() override {
    savedRuntime_.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", savedRuntime_);
    StoreTest::TearDown();
  }
  QString socketName() const { return SingleInstance::ServerNameFor(path(QStringLiteral("registry"))); }

  // A second start in another thread, while this one (the first) keeps answering.
  void yieldInAnotherThread() {
    auto done = std::async(std::launch::async, [name = socketName()] { SingleInstance(name).yieldToFirst(); });
    QElapsedTimer clock;
    clock.start();
    while (done.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready && clock.elapsed() < 10000)
      QCoreApplication::processEvents();
    done.get();
  }

 private:
  QByteArray savedRuntime_;
};

TEST_F(StartupTest, SecondInstanceFindsTheFirstOfItsStoreOnly) {
  SingleInstance first(socketName());
  ASSERT_TRUE(first.claim());
  SingleInstance second(socketName());
  EXPECT_FALSE(second.claim());
  EXPECT_FALSE(second.isFirst());

  SingleInstance elsewhere(SingleInstance::ServerNameFor(path(QStringLiteral("other"))));
  EXPECT_TRUE(elsewhere.claim());
  EXPECT_EQ(SingleInstance::ServerNameFor(path(QStringLiteral("registry/"))), socketName());
  EXPECT_TRUE(socketName().startsWith(path(QStringLiteral("run/"))));
}

TEST_F(StartupTest, ActivatedFirstInstanceLeavesOnlyTheFirstMessage) {
  ScriptedDialogs dialogs;
  SingleInstance first(socketName());
  ASSERT_TRUE(first.claim());
  int asked = 0;
  first.setActivationHandler([&] { return ++asked > 0; });
  dialogs.expectBox(QStringLiteral("Zelkar"), kAnother, answer::OK, 48);
  yieldInAnotherThread();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(dialogs.boxes().size(), 1u);
}

TEST_F(StartupTest, FailedActivationShowsBothMessagesInOrder) {
  ScriptedDialogs dialogs;
  SingleInstance first(socketName());
  ASSERT_TRUE(first.claim());
  first.setActivationHandler([] { return false; });
  dialogs.expectBox(QStringLiteral("Zelkar"), kAnother, answer::OK, 48);
  dialogs.expectBox(QStringLiteral("Zelkar"), QStringLiteral("Zelkar is already running"), answer::OK, 64);
  yieldInAnotherThread();
  EXPECT_EQ(dialogs.boxes().size(), 2u);
}

TEST_F(StartupTest, LeftoverSocketOfAVanishedInstanceIsTakenOver) {
  QFile leftover(socketName());
  ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
  leftover.close();
  SingleInstance instance(socketName());
  EXPECT_TRUE(instance.claim());
  EXPECT_TRUE(instance.isFirst());
}

TEST_F(StartupTest, RunningProgramComesToTheFrontWhenAsked) {
  QProcess program;
  const bool activated = StartRunningProgram(program, socketName(), dir());
  EXPECT_TRUE(activated);
  EXPECT_FALSE(SingleInstance(socketName()).claim());
  program.kill();
  program.waitForFinished();
}

TEST_F(StartupTest, WindowComesBackFromMinimisedAndFromTheTray) {
  EXPECT_FALSE(modMain::BringToFront());
  ScriptedDialogs dialogs;
  frmMain form;
  form.showMinimized();
  EXPECT_TRUE(modMain::BringToFront());
  EXPECT_FALSE(form.isMinimized());

  TrayIcon::setAvailableForTests(1);
  form.SetTrayMode(true);
  ASSERT_FALSE(form.isVisible());
  EXPECT_TRUE(modMain::BringToFront());
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(form.tray()->shown());
  TrayIcon::setAvailableForTests(-1);
}

TEST_F(StartupTest, CenterFormUsesIntegerHalves) {
  frmMain form;
  form.move(100, 50);
  const QRect outer = form.frameGeometry();
  QWidget dialog(nullptr, Qt::Window);
  dialog.resize(101, 41);
  modMain::CenterForm(&dialog);
  EXPECT_EQ(dialog.pos(), QPoint(outer.left() + (outer.width() - 101) / 2, outer.top() + (outer.height() - 41) / 2));
  // Larger than the main window: partly left of and above it.
  dialog.resize(outer.width() + 301, outer.height() + 201);
  modMain::CenterForm(&dialog);
  EXPECT_EQ(dialog.pos(), QPoint(outer.left() - 150, outer.top() - 100));
}

}  // namespace
}  // namespace zelkar::test
