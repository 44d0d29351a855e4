// Setting the clock on a real worker thread, against a server that answers late.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <future>

#include "platform/qt/qt_worker.h"
#include "tests/support/headless_desktop.h"

namespace tsukio {
namespace {

using testing::At;
using Ids = std::vector<int>;

// Runs the event loop until `done` holds; the bound only keeps a broken build from hanging.
template <typename Condition>
bool RunEventsUntil(Condition done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 20000) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return done();
}

// An SNTP server that holds its answer until the test opens the gate.
struct LateServer {
  std::promise<void> gate;
  std::shared_future<void> opened = gate.get_future().share();
  std::atomic<bool> asked = false;
  void Serve(testing::ScriptedUdpPeer& udp) {
    udp.respond = [this](const testing::SentDatagram& request) {
      asked = true;
      opened.wait();
      return testing::ScriptedUdpPeer::Answer(request, {});
    };
  }
};

TEST(QtWorker, TheTrayDoesNotWaitForALateServer) {
  LateServer server;
  QtWorker worker;
  testing::HeadlessDesktop desktop(At(2011, 5, 10, 13, 5), &worker);
  server.Serve(desktop.sync.udp);
  desktop.settings.contents = "[Pageleaf]\nMonth=1\nTime=1\nntpSetup=1\nntpServer=ntp.example.jp\n";
  TrayCalendar calendar(desktop.desktop());

  calendar.Start();  // returns although the server has not answered
  EXPECT_EQ(desktop.tray.Ids(), (Ids{100, 110, 140, 150}));
  ASSERT_TRUE(RunEventsUntil([&] { return server.asked.load(); }));
  EXPECT_TRUE(worker.Busy());
  calendar.Refresh();  // the event loop goes on meanwhile
  EXPECT_EQ(desktop.tray.Ids(), (Ids{100, 110, 140, 150}));

  server.gate.set_value();
  ASSERT_TRUE(RunEventsUntil([&] { return calendar.State().syncIconShown; }));
  EXPECT_EQ(desktop.tray.Ids(), (Ids{100, 110, 140, 150, 170}));
  EXPECT_EQ(desktop.tray.Icon(170).tooltip, "時刻調整完了");
  EXPECT_EQ(desktop.sync.setter.asked.size(), 1u);
  EXPECT_FALSE(worker.Busy());
}

// Ending the program must not wait for the server: the worker goes at once, and the answer
// that comes later is dropped.
TEST(QtWorker, DestroyedWhileAJobRunsItNeitherWaitsNorCallsBack) {
  std::promise<void> gate;
  std::promise<void> jobEnded;
  std::atomic<bool> calledBack = false;
  auto worker = std::make_unique<QtWorker>();
  worker->Run([&]() -> Worker::Continuation {
    gate.get_future().wait();
    jobEnded.set_value();
    return [&] { calledBack = true; };
  });
  EXPECT_TRUE(worker->Busy());
  worker.reset();  // would never return if it joined the blocked job
  gate.set_value();
  jobEnded.get_future().wait();
  QElapsedTimer clock;  // any continuation posted would run in these events
  clock.start();
  while (clock.elapsed() < 200) QApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_FALSE(calledBack.load());
}

}  // namespace
}  // namespace tsukio
