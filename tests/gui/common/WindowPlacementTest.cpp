// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDialog>
#include <QTest>

#include "gui/common/WindowPlacement.h"
#include "support/TestEnvironment.h"

using WindowPlacement::Restorable;

class WindowPlacementTest final : public QObject {
  Q_OBJECT

 private slots:
  void aWindowComesBackOnlyWhereAScreenShowsIt() {
    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    QCOMPARE(Restorable(QRect(100, 50, 800, 600), screens), QRect(100, 50, 800, 600));
    QCOMPARE(Restorable(QRect(2000, 100, 800, 600), screens), QRect(2000, 100, 800, 600));  // the second screen
    // A screen unplugged since: the window would open out of sight.
    QCOMPARE(Restorable(QRect(3400, 100, 800, 600), screens), std::nullopt);
    QCOMPARE(Restorable(QRect(-5000, -5000, 800, 600), screens), std::nullopt);
    // Its caption above the screen, where it cannot be grabbed.
    QCOMPARE(Restorable(QRect(100, -40, 800, 600), screens), std::nullopt);
    // Less than half of it shown.
    QCOMPARE(Restorable(QRect(1500, 700, 800, 600), {QRect(0, 0, 1920, 1080)}), std::nullopt);
    QCOMPARE(Restorable(QRect(1500, 100, 800, 600), {QRect(0, 0, 1920, 1080)}), QRect(1500, 100, 800, 600));
    // Larger than the screen now: bounded to it.
    QCOMPARE(Restorable(QRect(0, 0, 1900, 1000), {QRect(0, 0, 1366, 768)}), QRect(0, 0, 1366, 768));
    QCOMPARE(Restorable(QRect(), screens), std::nullopt);
  }

  void thePlaceIsReadAsWrittenAndADamagedOneIsNot() {
    koral::test::TestEnvironment env;
    env.SetConfigIni(
        "[fenetre]\nx=12\ny=34\nlargeur=700\nhauteur=500\nfeuillex=1\nfeuilley=abc\nfeuillelargeur=9\nfeuillehauteur="
        "9\n");
    QCOMPARE(WindowPlacement::Read("", env.ConfigIni()), QRect(12, 34, 700, 500));
    QCOMPARE(WindowPlacement::Read("feuille", env.ConfigIni()), std::nullopt);
    QDialog unshown;
    WindowPlacement::Write(unshown, "", env.ConfigIni());  // never shown: nothing to keep
    QCOMPARE(WindowPlacement::Read("", env.ConfigIni()), QRect(12, 34, 700, 500));
    QDialog window;
    window.setMinimumSize(100, 100);
    window.resize(321, 234);
    window.move(40, 60);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    WindowPlacement::Write(window, "", env.ConfigIni());
    QCOMPARE(WindowPlacement::Read("", env.ConfigIni()), QRect(window.pos(), QSize(321, 234)));
  }
};

QTEST_MAIN(WindowPlacementTest)
#include "WindowPlacementTest.moc"
