// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/files/CopyProgressRelay.h"

#include <chrono>
#include <cstdint>
#include <thread>

#include <QtTest>

class CopyProgressRelayTest final : public QObject {
  Q_OBJECT

 private slots:
  void progressRelayNeverMakesTheWorkerWait();
};

void CopyProgressRelayTest::progressRelayNeverMakesTheWorkerWait() {
  CCopyProgressRelay relay;
  int signalCount = 0;
  connect(
      &relay, &CCopyProgressRelay::progressAvailable, this, [&] { ++signalCount; }, Qt::QueuedConnection);
  koral::CopyProgress progress;
  progress.source = "/music/a long path to a file that is being copied.mp3";
  const auto start = std::chrono::steady_clock::now();
  std::thread worker([&] {
    for (int i = 1; i <= 200000; ++i) {
      progress.fileDone = static_cast<std::uint64_t>(i);
      relay.OnProgress(progress);
    }
  });
  worker.join();  // the window's thread serves no event meanwhile
  QVERIFY(std::chrono::steady_clock::now() - start < std::chrono::seconds(2));
  QCoreApplication::processEvents();
  QCOMPARE(signalCount, 1);  // one signal on its way at a time
  bool changed = false;
  QCOMPARE(relay.Take(&changed).fileDone, std::uint64_t{200000});
  QVERIFY(changed);
}

QTEST_MAIN(CopyProgressRelayTest)
#include "CopyProgressRelayTest.moc"
