// SPDX-License-Identifier: GPL-3.0-or-later
#include "eject/UDisksService.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QList>

namespace {

const QString kService = QStringLiteral("org.freedesktop.UDisks2");
const QString kManager = QStringLiteral("/org/freedesktop/UDisks2/Manager");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr int kQuickMs = 10000;
constexpr int kUnmountMs = 120000;  // the service flushes what is still cached first

bool IsError(const QDBusMessage& reply) { return reply.type() != QDBusMessage::ReplyMessage; }

koral::DriveReply ReplyOf(const QDBusMessage& reply) {
  using koral::DriveReply;
  if (!IsError(reply)) return {};
  const QString name = reply.errorName();
  if (name.startsWith(QLatin1String("org.freedesktop.DBus.Error.")) &&
      !name.endsWith(QLatin1String(".AccessDenied")))  // no bus, no service, no answer
    return {DriveReply::kUnavailable, reply.errorMessage().toStdString()};
  if (name == QLatin1String("org.freedesktop.UDisks2.Error.DeviceBusy")) return {DriveReply::kBusy, {}};
  if (name == QLatin1String("org.freedesktop.UDisks2.Error.NotMounted")) return {};  // already done
  const QString detail = reply.errorMessage().isEmpty() ? name : reply.errorMessage();
  return {DriveReply::kRefused, detail.toStdString()};
}

// A property's value as udisks2 sends it inside its variant.
QVariant PropertyValue(const QDBusMessage& reply) { return reply.arguments().value(0).value<QDBusVariant>().variant(); }

}  // namespace

CUDisksService::CUDisksService() : m_bus(QDBusConnection::systemBus()) {}

QDBusMessage CUDisksService::Call(const QString& path, const QString& interface, const QString& method,
                                  const QVariantList& arguments, int timeoutMs) {
  if (!m_bus.isConnected())
    return QDBusMessage::createError(QStringLiteral("org.freedesktop.DBus.Error.NoServer"),
                                     m_bus.lastError().message());
  QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
  message.setArguments(arguments);
  return m_bus.call(message, QDBus::Block, timeoutMs);
}

bool CUDisksService::IsMountedAt(const QString& block, const QByteArray& mountPoint) {
  const QDBusMessage reply =
      Call(block, kProperties, QStringLiteral("Get"),
           {QStringLiteral("org.freedesktop.UDisks2.Filesystem"), QStringLiteral("MountPoints")}, kQuickMs);
  if (IsError(reply)) return false;  // a block device without a file system
  QList<QByteArray> points;
  PropertyValue(reply).value<QDBusArgument>() >> points;
  for (QByteArray point : points) {
    while (point.endsWith('\0')) point.chop(1);  // udisks2 sends them NUL-terminated
    if (point == mountPoint) return true;
  }
  return false;
}

koral::DriveReply CUDisksService::FindVolume(const std::string& mountPoint) {
  const QDBusMessage blocks = Call(kManager, QStringLiteral("org.freedesktop.UDisks2.Manager"),
                                   QStringLiteral("GetBlockDevices"), {QVariantMap()}, kQuickMs);
  if (IsError(blocks)) return ReplyOf(blocks);
  QList<QDBusObjectPath> paths;
  blocks.arguments().value(0).value<QDBusArgument>() >> paths;
  const QByteArray wanted = QByteArray::fromStdString(mountPoint);
  for (const QDBusObjectPath& path : paths) {
    if (!IsMountedAt(path.path(), wanted)) continue;
    m_block = path.path();
    const QDBusMessage drive =
        Call(m_block, kProperties, QStringLiteral("Get"),
             {QStringLiteral("org.freedesktop.UDisks2.Block"), QStringLiteral("Drive")}, kQuickMs);
    m_drive = IsError(drive) ? QString() : PropertyValue(drive).value<QDBusObjectPath>().path();
    return {};
  }
  return {koral::DriveReply::kUnknownVolume, {}};
}

koral::DriveReply CUDisksService::Unmount() {
  return ReplyOf(Call(m_block, QStringLiteral("org.freedesktop.UDisks2.Filesystem"), QStringLiteral("Unmount"),
                      {QVariantMap()}, kUnmountMs));
}

koral::DriveReply CUDisksService::PowerOff() {
  if (m_drive.isEmpty() || m_drive == QLatin1String("/")) return {koral::DriveReply::kRefused, "aucun lecteur"};
  return ReplyOf(Call(m_drive, QStringLiteral("org.freedesktop.UDisks2.Drive"), QStringLiteral("PowerOff"),
                      {QVariantMap()}, kQuickMs));
}
