// SPDX-License-Identifier: GPL-3.0-or-later
#include "eject/EjectModule.h"

#include <cstdio>
#include <optional>

#include <QCoreApplication>

#include "eject/UDisksService.h"

extern "C" __attribute__((visibility("default"))) bool KoralEjectPlayer(const char* root, char* message,
                                                                        std::size_t size) {
  // Qt's bus connections want an application object.
  static int argc = 1;
  static char name[] = "koralctl";
  static char* argv[] = {name, nullptr};
  std::optional<QCoreApplication> application;
  if (QCoreApplication::instance() == nullptr) application.emplace(argc, argv);

  CUDisksService service;
  const koral::EjectResult result = koral::EjectPlayer(root, service);
  std::snprintf(message, size, "%s", result.message.c_str());
  return result.ejected;
}
