// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/Eject.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TestEnvironment.h"

namespace koral {
namespace {

using test::TempDir;

// The disk service as a test scripts it; it records what it was asked.
class ScriptedService final : public DriveService {
 public:
  DriveReply found, unmounted, poweredOff;
  std::vector<std::string> calls;

  DriveReply FindVolume(const std::string& mountPoint) override {
    calls.push_back("find " + mountPoint);
    return found;
  }
  DriveReply Unmount() override {
    calls.push_back("unmount");
    return unmounted;
  }
  DriveReply PowerOff() override {
    calls.push_back("poweroff");
    return poweredOff;
  }
};

TEST(EjectPlayer, SyncsUnmountsThenPowersOff) {
  TempDir player;
  ScriptedService service;
  service.poweredOff = {DriveReply::kRefused, "not supported"};  // unmounted is what makes unplugging safe
  const EjectResult result = EjectPlayer(player.Path().string(), service);
  EXPECT_TRUE(result.ejected);
  EXPECT_EQ(result.message, "Vous pouvez débrancher l'Koral.");
  EXPECT_EQ(service.calls, (std::vector<std::string>{"find " + player.Path().string(), "unmount", "poweroff"}));
}

TEST(EjectPlayer, EachRefusalIsExplainedAndNothingFollowsIt) {
  TempDir player;
  struct Refusal {
    DriveReply ScriptedService::*step;
    DriveReply reply;
    std::string start;  // of the message
    std::string lastCall;
  };
  const std::vector<Refusal> refusals = {
      {&ScriptedService::found,
       {DriveReply::kUnavailable, "no bus"},
       "Les données sont bien sur l'Koral, mais le service des disques (udisks2) ne répond pas : démontez-le depuis le "
       "bureau",
       "find"},
      {&ScriptedService::found,
       {DriveReply::kUnknownVolume, {}},
       "Le service des disques ne connaît pas ce volume. Les données sont bien sur l'Koral : démontez-le",
       "find"},
      {&ScriptedService::unmounted,
       {DriveReply::kBusy, {}},
       "L'Koral est occupé : un autre programme y garde un fichier ouvert.",
       "unmount"},
      {&ScriptedService::unmounted,
       {DriveReply::kRefused, "Not authorized"},
       "Le service des disques a refusé de démonter l'Koral (Not authorized).",
       "unmount"},
  };
  for (const Refusal& refusal : refusals) {
    ScriptedService service;
    service.*refusal.step = refusal.reply;
    const EjectResult result = EjectPlayer(player.Path().string(), service);
    EXPECT_FALSE(result.ejected);
    EXPECT_EQ(result.message.rfind(refusal.start, 0), 0u) << result.message;
    EXPECT_EQ(service.calls.back().rfind(refusal.lastCall, 0), 0u);  // never powered off while mounted
  }
}

TEST(EjectPlayer, AVolumeThatCannotBeSyncedIsNotHandedToTheService) {
  ScriptedService service;
  const EjectResult result = EjectPlayer("/nonexistent/KORAL", service);
  EXPECT_FALSE(result.ejected);
  EXPECT_NE(result.message.find("ne le débranchez pas"), std::string::npos) << result.message;
  EXPECT_TRUE(service.calls.empty());
}

}  // namespace
}  // namespace koral
