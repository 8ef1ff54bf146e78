# The Debian package: `cpack -G DEB` in the build folder. What goes in is what
# `cmake --install` puts under the prefix: the browser and the reference host
# in one folder, the fonts' licences and the protocol reference in the doc folder.
set(ZUVO_PACKAGE_MAINTAINER "Zuvo Browser Team <dev@zuvo.invalid>" CACHE STRING
    "Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME ${ZUVO_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "Zuvo")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "embedded web browser of the Zuvo desktop chat client")
set(CPACK_PACKAGE_DESCRIPTION
"The chat client starts this browser as a separate process to show a web page
in a window of its own. The browser connects to a local socket that the chat
client listens on and does what the client's text commands say: it shows the
address it is sent with the client's access token on every request, reports
title-bar clicks and its window position, offers pages a script bridge to the
client and hands downloads to the client.

The package holds the browser and zuvohost, a reference host that stands in
for the chat client, in one folder, and the protocol reference.")
set(CPACK_PACKAGE_CONTACT "${ZUVO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZUVO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "net")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)

include(CPack)
