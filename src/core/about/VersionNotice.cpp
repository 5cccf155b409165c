// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/about/VersionNotice.h"

namespace koral {

std::string VersionNotice(std::string_view program, std::string_view version) {
  std::string notice;
  notice.append(program).append(" ").append(version).append("\n");
  notice.append(kLicenceLine).append(" <https://gnu.org/licenses/gpl.html>.\n");
  notice.append(
      "Ceci est un logiciel libre : vous êtes libre de le modifier et de le redistribuer.\n"
      "Il n'est accompagné d'AUCUNE GARANTIE, dans les limites permises par la loi.\n");
  return notice;
}

}  // namespace koral
