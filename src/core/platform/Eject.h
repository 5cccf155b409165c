// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace koral {

// What the system's disk service answered to one request.
struct DriveReply {
  enum Status { kDone, kUnavailable, kUnknownVolume, kBusy, kRefused };
  Status status = kDone;
  std::string detail;  // the service's own words, for a refusal
};

// The system's disk service (udisks2 on Linux desktops), as eject needs it.
class DriveService {
 public:
  virtual ~DriveService() = default;
  // Finds the volume mounted there and its drive, for the two requests below.
  virtual DriveReply FindVolume(const std::string& mountPoint) = 0;
  virtual DriveReply Unmount() = 0;
  virtual DriveReply PowerOff() = 0;
};

struct EjectResult {
  bool ejected = false;  // unmounted: the player may be unplugged and counts as gone
  std::string message;   // French, for the user
};

// Syncs the player's volume, unmounts it, then powers its drive off.
EjectResult EjectPlayer(const std::string& root, DriveService& service);

}  // namespace koral
