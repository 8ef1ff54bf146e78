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
for the chat client, in one folder, the protocol reference, and the runtime
file of the host library ZuvoBrowserHost, which zuvohost links.")
if(ZUVO_QT EQUAL 6)
    # Without Qt WebKit, the default name is the WebKitGTK browser's.
    set(CPACK_PACKAGE_DESCRIPTION
"The chat client starts this browser as a separate process to show a web page
in a window of its own. The browser connects to a local socket that the chat
client listens on and does what the client's text commands say: it shows the
address it is sent with the client's access token on every request, reports
title-bar clicks and its window position, offers pages a script bridge to the
client and hands downloads to the client.

The package holds the browser's default name, zuvochatwebbroswer, which starts
the WebKitGTK browser of zuvochatwebbroswer-webkitgtk, and zuvohost, a
reference host that stands in for the chat client, in one folder, the
protocol reference, and the runtime file of the host library
ZuvoBrowserHost6, which zuvohost links.")
endif()
set(CPACK_PACKAGE_CONTACT "${ZUVO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZUVO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "net")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)

# The host library's development package, beside the browser's package: one
# package per install component. The install rules without a component (CMake
# names them "Unspecified") make the browser's package as before; the
# component "dev" holds the library's headers, its link-time name, its CMake
# package and its guide.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Unspecified)
if(ZUVO_QT EQUAL 5)
    list(APPEND CPACK_COMPONENTS_ALL dev)
endif()
# The WebEngine browser is a package of its own, so that only a host that
# starts it pulls in Qt WebEngine.
if(TARGET zuvochatwebbroswer-webengine)
    list(APPEND CPACK_COMPONENTS_ALL webengine)
    set(CPACK_DEBIAN_WEBENGINE_PACKAGE_NAME ${ZUVO_PACKAGE_NAME}-webengine)
    set(CPACK_DEBIAN_WEBENGINE_DESCRIPTION "The Zuvo chat client's browser on Qt WebEngine.
The same browser and host protocol as zuvochatwebbroswer, with pages drawn by
Qt WebEngine, each page in a process of its own: a page that hangs or crashes
leaves the window and the link to the chat client working. It installs beside
the Qt WebKit browser, in the same folder; a chat client chooses the engine
by the executable it starts.")
endif()
# So is the WebKitGTK browser, with its helper and web process extension in
# the same folder; it pulls in neither Qt WebKit nor Qt WebEngine.
if(TARGET zuvochatwebbroswer-webkitgtk)
    list(APPEND CPACK_COMPONENTS_ALL webkitgtk)
    set(CPACK_DEBIAN_WEBKITGTK_PACKAGE_NAME ${ZUVO_PACKAGE_NAME}-webkitgtk)
    set(CPACK_DEBIAN_WEBKITGTK_DESCRIPTION "The Zuvo chat client's browser on WebKitGTK.
The same browser and host protocol as zuvochatwebbroswer, with pages drawn by
WebKitGTK, which Debian keeps current with security updates, in a helper
process that draws into the browser's window through a compositor of the
browser's own. It installs beside the other browsers, in the same folder; a
chat client chooses the engine by the executable it starts.")
endif()
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_NAME ${ZUVO_PACKAGE_NAME})
if(ZUVO_QT EQUAL 6)
    # Its zuvochatwebbroswer is a link to the WebKitGTK browser.
    set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_DEPENDS "${ZUVO_PACKAGE_NAME}-webkitgtk (= ${CPACK_PACKAGE_VERSION})")
endif()
# CPack puts the one summary above each package's description.
set(CPACK_DEBIAN_UNSPECIFIED_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libzuvobrowserhost-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "${ZUVO_PACKAGE_NAME} (= ${CPACK_PACKAGE_VERSION}), qtbase5-dev")
set(CPACK_DEBIAN_DEV_DESCRIPTION "The host library's development files.
Headers, the CMake package (find_package(ZuvoBrowserHost) gives the target
ZuvoBrowserHost::ZuvoBrowserHost) and the guide of ZuvoBrowserHost, the Qt
library with which a program starts the Zuvo browser, configures it, shows
pages in it and answers what it asks, downloads included.")
# The library's Qt 6 build, for chat clients on Qt 6: a runtime package named
# after its SONAME and a development package, both installable beside the
# Qt 5 ones. The browser it starts is a process of its own, on whichever Qt.
# In a Qt 6 build the runtime file is the default package's, as zuvohost
# links it, and the development package needs that one.
if(ZUVO_QT EQUAL 6)
    list(APPEND CPACK_COMPONENTS_ALL dev6)
    set(CPACK_DEBIAN_DEV6_PACKAGE_NAME libzuvobrowserhost6-dev)
    set(CPACK_DEBIAN_DEV6_PACKAGE_SECTION libdevel)
    set(CPACK_DEBIAN_DEV6_PACKAGE_DEPENDS "${ZUVO_PACKAGE_NAME} (= ${CPACK_PACKAGE_VERSION}), qt6-base-dev")
    set(CPACK_DEBIAN_DEV6_DESCRIPTION "The Qt 6 host library's development files.
Headers, the CMake package (find_package(ZuvoBrowserHost6) gives the target
ZuvoBrowserHost6::ZuvoBrowserHost6) and the guide of ZuvoBrowserHost6, the
Qt library with which a program starts the Zuvo browser, configures it, shows
pages in it and answers what it asks, downloads included. A program includes
the headers as <ZuvoBrowserHost/browserhost.h>.")
elseif(TARGET ZuvoBrowserHost6)
    list(APPEND CPACK_COMPONENTS_ALL lib6 dev6)
    set(CPACK_DEBIAN_LIB6_PACKAGE_NAME libzuvobrowserhost6-1)
    set(CPACK_DEBIAN_LIB6_PACKAGE_SECTION libs)
    set(CPACK_DEBIAN_LIB6_PACKAGE_RECOMMENDS "${ZUVO_PACKAGE_NAME} | ${ZUVO_PACKAGE_NAME}-webengine")
    set(CPACK_DEBIAN_LIB6_DESCRIPTION "The host library for chat clients on Qt 6.
ZuvoBrowserHost6 is ZuvoBrowserHost built against Qt 6: the Qt library with
which a program starts the Zuvo browser, configures it, shows pages in it and
answers what it asks, downloads included. The browser runs as a process of
its own, so a Qt 6 program starts the same browser executables as a Qt 5 one.")
    set(CPACK_DEBIAN_DEV6_PACKAGE_NAME libzuvobrowserhost6-dev)
    set(CPACK_DEBIAN_DEV6_PACKAGE_SECTION libdevel)
    set(CPACK_DEBIAN_DEV6_PACKAGE_DEPENDS "libzuvobrowserhost6-1 (= ${CPACK_PACKAGE_VERSION}), qt6-base-dev")
    set(CPACK_DEBIAN_DEV6_DESCRIPTION "The Qt 6 host library's development files.
Headers, the CMake package (find_package(ZuvoBrowserHost6) gives the target
ZuvoBrowserHost6::ZuvoBrowserHost6) and the guide of ZuvoBrowserHost6, the
host library built against Qt 6. A program includes the headers as with Qt 5,
<ZuvoBrowserHost/browserhost.h>; they install beside the Qt 5 package's.")
endif()
# zuvohost links the library shipped in the same package, and binaries of
# other packages that link it depend on this package.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# dpkg-shlibdeps runs in the package root, so the folder is relative to it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ".${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}")

include(CPack)
