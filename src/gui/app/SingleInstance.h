// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// One window per user and configuration folder, as single-instance desktop
// programs do: the first start listens on a local socket named after both;
// a later start hands its request (the player it names, if any) to it and ends.
class CSingleInstance final : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CSingleInstance)

 public:
  enum class Claim {
    Running,     // this process shows the window
    Handed,      // the running window took the request
    Unanswered,  // a window runs but did not take the request in time
  };

  explicit CSingleInstance(QString serverName, QObject* parent = nullptr);

  // The socket path for a configuration folder, in the user's runtime folder.
  static QString ServerNameFor(const std::filesystem::path& configFolder);

  // Becomes the running instance, or hands `player` (empty: none named) to it.
  Claim ClaimOrHand(const QString& player, int answerTimeoutMs = 10000);

 signals:
  // A later start asked for the window; `player` is the folder it named, or empty.
  void startedAgain(const QString& player);

 private:
  enum class Handing { NobodyListens, Taken, NoAnswer };
  bool Listen();
  Handing HandTo(const QString& player, int answerTimeoutMs) const;
  void OnNewConnection();
  void OnRequestBytes(QLocalSocket* socket);

  QString m_serverName;
  QLocalServer* m_server = nullptr;
};
