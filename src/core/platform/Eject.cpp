// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/Eject.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "core/files/ErrorText.h"

namespace koral {
namespace {

// 0, or the error that kept the volume's data from the device.
int SyncVolume(const std::string& root) {
  const int descriptor = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return errno;
  const int error = ::syncfs(descriptor) == 0 ? 0 : errno;
  ::close(descriptor);
  return error;
}

constexpr const char* kUnmountItYourself = "démontez-le depuis le bureau avant de le débrancher.";

std::string Refusal(const DriveReply& reply) {
  switch (reply.status) {
    case DriveReply::kUnavailable:
      return std::string("Les données sont bien sur l'Koral, mais le service des disques (udisks2) ne répond pas : ") +
             kUnmountItYourself;
    case DriveReply::kUnknownVolume:
      return std::string("Le service des disques ne connaît pas ce volume. Les données sont bien sur l'Koral : ") +
             kUnmountItYourself;
    case DriveReply::kBusy:
      return "L'Koral est occupé : un autre programme y garde un fichier ouvert. Fermez-le, puis réessayez.";
    case DriveReply::kRefused:
    case DriveReply::kDone: break;
  }
  return "Le service des disques a refusé de démonter l'Koral (" + reply.detail + ").";
}

}  // namespace

EjectResult EjectPlayer(const std::string& root, DriveService& service) {
  if (const int error = SyncVolume(root); error != 0)
    return {false,
            "Les données n'ont pas pu être écrites sur l'Koral (" + DescribeError(error) + ") : ne le débranchez pas."};
  if (DriveReply found = service.FindVolume(root); found.status != DriveReply::kDone) return {false, Refusal(found)};
  if (DriveReply unmounted = service.Unmount(); unmounted.status != DriveReply::kDone)
    return {false, Refusal(unmounted)};
  // Once unmounted the player is safe to unplug, whether or not its drive powers off.
  service.PowerOff();
  return {true, "Vous pouvez débrancher l'Koral."};
}

}  // namespace koral
