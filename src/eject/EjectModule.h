// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

// The entry point of the eject module: ejects the player mounted at `root`
// through udisks2; its message, in French, goes into `message` (cut to
// `size`). True when the player may be unplugged.
extern "C" bool KoralEjectPlayer(const char* root, char* message, std::size_t size);
using KoralEjectPlayerFunction = decltype(&KoralEjectPlayer);
inline constexpr const char* kEjectModuleName = "koral-udisks.so";
inline constexpr const char* kEjectEntryPoint = "KoralEjectPlayer";
