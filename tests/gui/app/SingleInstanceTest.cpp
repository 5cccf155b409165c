// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <future>

#include <QLocalServer>
#include <QSignalSpy>
#include <QtTest>

#include "gui/app/SingleInstance.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

namespace {

// A later start, on a thread of its own: the running side answers from this thread's event loop.
std::future<CSingleInstance::Claim> StartAgain(const QString& name, const QString& player, int timeoutMs = 10000) {
  return std::async(std::launch::async, [name, player, timeoutMs] {
    CSingleInstance later(name);
    return later.ClaimOrHand(player, timeoutMs);
  });
}

CSingleInstance::Claim Await(std::future<CSingleInstance::Claim>& claim) {
  while (claim.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) QTest::qWait(10);
  return claim.get();
}

// What a crashed window leaves: a socket file nobody listens on.
void LeaveDeadSocket(const QString& path) {
  const int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray bytes = QFile::encodeName(path);
  std::memcpy(address.sun_path, bytes.constData(), static_cast<size_t>(bytes.size()));
  QCOMPARE(::bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ::close(descriptor);
  QVERIFY(fs::exists(bytes.toStdString()));
}

}  // namespace

class SingleInstanceTest final : public QObject {
  Q_OBJECT

 private slots:
  void init() { qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(m_runtime.Path().string())); }

  void oneNamePerUserAndConfigFolder() {
    koral::test::TempDir configs;
    fs::create_directories(configs / "a");
    fs::create_directories(configs / "b");
    fs::permissions(configs / "b", fs::perms::owner_all);  // as a runtime folder is
    fs::create_directory_symlink(configs / "a", configs / "link");
    const QString a = CSingleInstance::ServerNameFor(configs / "a");
    QVERIFY(a.startsWith(QString::fromStdString(m_runtime.Path().string()) + "/koral-config-"));
    QVERIFY(a != CSingleInstance::ServerNameFor(configs / "b"));
    QCOMPARE(CSingleInstance::ServerNameFor(configs / "link"), a);
    QCOMPARE(CSingleInstance::ServerNameFor(configs.Path() / "a/"), a);
    QVERIFY(a.size() < 100);  // within a socket path's limit
    // Another runtime folder (another user, another test) is another program.
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString((configs / "b").string()));
    QVERIFY(CSingleInstance::ServerNameFor(configs / "a") != a);
  }

  void aLaterStartHandsItsPlayerToTheRunningOneAndEnds() {
    const QString name = CSingleInstance::ServerNameFor(m_runtime / "config");
    CSingleInstance running(name);
    QCOMPARE(running.ClaimOrHand({}), CSingleInstance::Claim::Running);
    QSignalSpy requests(&running, &CSingleInstance::startedAgain);

    auto later = StartAgain(name, QStringLiteral("/media/anna/KORAL 2"));
    QCOMPARE(Await(later), CSingleInstance::Claim::Handed);
    QTRY_COMPARE(requests.size(), 1);
    QCOMPARE(requests[0][0].toString(), QStringLiteral("/media/anna/KORAL 2"));

    auto plain = StartAgain(name, {});
    QCOMPARE(Await(plain), CSingleInstance::Claim::Handed);
    QTRY_COMPARE(requests.size(), 2);
    QCOMPARE(requests[1][0].toString(), QString());

    // Another configuration folder is another program: it runs beside this one.
    CSingleInstance other(CSingleInstance::ServerNameFor(m_runtime / "other-config"));
    QCOMPARE(other.ClaimOrHand({}), CSingleInstance::Claim::Running);
    QCOMPARE(requests.size(), 2);
  }

  void aSocketLeftByACrashIsTakenOver() {
    const QString name = CSingleInstance::ServerNameFor(m_runtime / "crashed");
    LeaveDeadSocket(name);
    CSingleInstance running(name);
    QCOMPARE(running.ClaimOrHand({}), CSingleInstance::Claim::Running);
    QSignalSpy requests(&running, &CSingleInstance::startedAgain);
    auto later = StartAgain(name, QStringLiteral("/p"));
    QCOMPARE(Await(later), CSingleInstance::Claim::Handed);
    QTRY_COMPARE(requests.size(), 1);
  }

  void aRunningWindowThatNeverAnswersIsNotReplaced() {
    const QString name = CSingleInstance::ServerNameFor(m_runtime / "hung");
    QLocalServer hung;  // listens, never answers
    QVERIFY(hung.listen(name));
    auto later = StartAgain(name, QStringLiteral("/p"), 300);
    QCOMPARE(Await(later), CSingleInstance::Claim::Unanswered);
    QVERIFY(fs::exists(name.toStdString()));  // its socket left alone
  }

 private:
  koral::test::TempDir m_runtime;
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
