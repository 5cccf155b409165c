# SPDX-License-Identifier: GPL-3.0-or-later
# make package: a Debian package of the installation, built by CPack.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME koral-config)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "music, settings and profiles of the Koral portable player")
# No semicolon in it: CMake would take the text for a list.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Koral Config copies music onto the Koral portable player, following each\n"
  "folder's playlist and numbering the tracks if asked, and converting into\n"
  "MP3 what the player cannot play if asked. It deletes, empties and creates\n"
  "folders on it, and edits the player's settings: the equaliser, the FM\n"
  "memories and the player's own settings, with profiles.\n"
  "Its window speaks French. The koralctl command does the same from a\n"
  "terminal or a script.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The example.org addresses stand until the project has a home of its own.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Koral Config <koral-config@example.org>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://koral-config.example.org/")
# The libraries the binaries and modules link (dpkg-shlibdeps): Qt's, and
# FFmpeg's through the conversion module (libavformat, libavcodec with its
# LAME encoder, libswresample, libavutil); and Qt's French texts, which the
# program loads at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
# The eject goes through udisks2; everything else works without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udisks2")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
