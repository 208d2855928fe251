# The Debian package (tools/package.sh runs `cpack -G DEB` on a Release build
# with prefix /usr): name, version from project(), dependencies computed by
# dpkg-shlibdeps from the programs, a host recommended.
set(CPACK_PACKAGE_NAME tamaruka)
set(CPACK_PACKAGE_VENDOR "Tamaruka developers")
set(CPACK_PACKAGE_CONTACT "Tamaruka developers <tamaruka@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fireworks screen saver for X11 with music")
set(CPACK_PACKAGE_DESCRIPTION
"Tamaruka draws fireworks at night: five rockets at a time climb from the
ground and burst into six patterns of sparks, to background music from an
audio CD, an MP3 or a WAV file.
.
The display mode tamaruka runs under xscreensaver, XSecureLock, the MATE and
Xfce screen savers and xss-lock, and on Wayland desktops as a native client
started from an idle daemon (swayidle, hypridle) or by hand; its settings
dialog is in the application menu. Tamaruka.scr and Tamaruka.data also run on their own as a full-screen
saver.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # tamaruka_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TAMARUKA_HOME_PAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beside the computed libraries: Qt's X11 platform plugin, which Tamaruka.scr
# loads at run time (no linked library shows it).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# A host to run it in, and a Japanese font for the settings dialog's labels.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "xscreensaver | xsecurelock | mate-screensaver, fonts-ipafont-gothic | fonts-noto-cjk | fonts-vlgothic")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
