#pragma once

#include <string>
#include <string_view>

namespace koral {

// A child path: folder + "/" + name; the root "/" gives "/name", never "//name".
std::string JoinPath(std::string_view folder, std::string_view name);

// The parent folder of a path held without a trailing slash ("/a/b" -> "/a", "/a" -> "/").
std::string ParentFolder(std::string_view folder);

// The image path of a player root: root + "/Settings.dat".
std::string SettingsImagePath(std::string_view playerRoot);

}  // namespace koral
