# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack -G DEB` in the build folder writes
# quadrelle_<version>_<arch>.deb (./dev.sh package does it).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quadrelle)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quadrelle developers")
set(CPACK_PACKAGE_CONTACT "${QUADRELLE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The package carries stripped programs; the build keeps its debug info.
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUADRELLE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUADRELLE_HOMEPAGE}")
# Shared libraries come from dpkg-shlibdeps. What the program only opens at
# run time is named here: the Song face that lines up the chart's columns
# and Qt's Chinese texts for its standard dialogs; the Noto faces serve the
# 黑体 family and as a fallback.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "workbench for four-position divination on the sexagenary calendar")
set(CPACK_PACKAGE_DESCRIPTION
"Quadrelle (澜川霁岚术) is a desktop workbench for the Chinese four-position
divination method built on the sexagenary (stem and branch) calendar. From
a moment, a place and a question it computes the solar terms, the lunar
date, the four pillars and true solar time, casts the four positions, and
writes a coloured chart with its judgements and five topic readings.

Every cast can be kept as a case with a formatted comment in an SQLite case
database, listed by category, searched, exported and backed up. The
package also holds qdl, the command-line tool for the calendar, the casts
and the case store. The program's texts are Chinese.")

include(CPack)
