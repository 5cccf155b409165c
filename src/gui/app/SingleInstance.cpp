// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include "gui/common/PathText.h"

namespace {

constexpr quint32 kRequestMark = 0x4b6f7231;  // "Kor1": a request of this program, this format
constexpr char kTaken = 'T';
constexpr int kConnectMs = 2000;
constexpr int kLockWaitMs = 5000;
constexpr qint64 kLongestRequest = 64 * 1024;  // a folder path, with room to spare

QString RuntimeFolder() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  return folder.isEmpty() ? QDir::tempPath() : folder;
}

}  // namespace

CSingleInstance::CSingleInstance(QString serverName, QObject* parent)
    : QObject(parent), m_serverName(std::move(serverName)) {}

QString CSingleInstance::ServerNameFor(const std::filesystem::path& configFolder) {
  // The same folder by another spelling (a link, a trailing slash) is the same program.
  const QFileInfo folder(PathFromStd(configFolder.string()));
  const QString canonical = folder.canonicalFilePath();
  const QByteArray key =
      QFile::encodeName(canonical.isEmpty() ? QDir::cleanPath(folder.absoluteFilePath()) : canonical);
  // A digest keeps the name within a socket path's length limit.
  const QByteArray digest = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24);
  return RuntimeFolder() + QStringLiteral("/koral-config-") + QString::fromLatin1(digest);
}

CSingleInstance::Claim CSingleInstance::ClaimOrHand(const QString& player, int answerTimeoutMs) {
  // Two starts at the same moment must not both take a stale socket for theirs.
  QLockFile lock(m_serverName + QStringLiteral(".lock"));
  lock.tryLock(kLockWaitMs);
  if (Listen()) return Claim::Running;
  switch (HandTo(player, answerTimeoutMs)) {
    case Handing::Taken: return Claim::Handed;
    case Handing::NoAnswer: return Claim::Unanswered;
    case Handing::NobodyListens: break;
  }
  // Left by a window that ended without closing it (a crash, a kill).
  QLocalServer::removeServer(m_serverName);
  // A socket that cannot be made leaves the program running without it, as before.
  Listen();
  return Claim::Running;
}

bool CSingleInstance::Listen() {
  auto* server = new QLocalServer(this);
  if (!server->listen(m_serverName)) {
    delete server;
    return false;
  }
  m_server = server;
  connect(m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
  return true;
}

CSingleInstance::Handing CSingleInstance::HandTo(const QString& player, int answerTimeoutMs) const {
  QLocalSocket socket;
  socket.connectToServer(m_serverName);
  if (!socket.waitForConnected(kConnectMs)) return Handing::NobodyListens;
  QByteArray request;
  QDataStream out(&request, QIODevice::WriteOnly);
  out << kRequestMark << player;
  socket.write(request);
  if (!socket.waitForBytesWritten(answerTimeoutMs)) return Handing::NoAnswer;
  if (!socket.waitForReadyRead(answerTimeoutMs)) return Handing::NoAnswer;
  return socket.read(1) == QByteArray(1, kTaken) ? Handing::Taken : Handing::NoAnswer;
}

void CSingleInstance::OnNewConnection() {
  while (QLocalSocket* socket = m_server->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnRequestBytes(socket); });
  }
}

void CSingleInstance::OnRequestBytes(QLocalSocket* socket) {
  QDataStream in(socket);
  in.startTransaction();
  quint32 mark = 0;
  QString player;
  in >> mark >> player;
  if (!in.commitTransaction()) {
    // The rest is still on its way, unless it cannot be a request of ours.
    if (socket->bytesAvailable() > kLongestRequest) socket->abort();
    return;
  }
  if (mark != kRequestMark) {
    socket->abort();
    return;
  }
  // Answered before the window acts, so that the later start ends at once.
  socket->write(QByteArray(1, kTaken));
  socket->flush();
  socket->disconnectFromServer();
  emit startedAgain(player);
}
