// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace koral {

// A child path: folder + "/" + name; the root "/" gives "/name", never "//name".
std::string JoinPath(std::string_view folder, std::string_view name);

// The parent folder of a path held without a trailing slash ("/a/b" -> "/a", "/a" -> "/").
std::string ParentFolder(std::string_view folder);

// True when `inner` is `outer` or lies below it, compared part by part; both
// already resolved (no "..", no links).
bool PathHolds(const std::filesystem::path& outer, const std::filesystem::path& inner);

// Whether a folder really lies on the player, links resolved: a link inside
// the player may lead elsewhere.
bool IsFolderOnPlayer(const std::string& folder, const std::string& playerRoot);

// The image path of a player root: root + "/Settings.dat".
std::string SettingsImagePath(std::string_view playerRoot);

}  // namespace koral
