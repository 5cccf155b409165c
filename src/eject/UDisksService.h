// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QString>
#include <QVariantList>

#include "core/platform/Eject.h"

class QDBusMessage;

// udisks2 on the system bus (DBUS_SYSTEM_BUS_ADDRESS, when set, names the bus).
// Blocking calls: the window makes them on a worker thread.
class CUDisksService final : public koral::DriveService {
 public:
  CUDisksService();

  koral::DriveReply FindVolume(const std::string& mountPoint) override;
  koral::DriveReply Unmount() override;
  koral::DriveReply PowerOff() override;

 private:
  QDBusMessage Call(const QString& path, const QString& interface, const QString& method, const QVariantList& arguments,
                    int timeoutMs);
  bool IsMountedAt(const QString& block, const QByteArray& mountPoint);

  QDBusConnection m_bus;
  QString m_block;  // the object of the player's file system
  QString m_drive;  // the object of the drive that holds it
};
