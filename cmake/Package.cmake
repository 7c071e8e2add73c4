# The Debian package: `cpack` in a build tree writes plinka_VERSION_ARCH.deb from the install
# rules, with dependencies computed from the binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plinka)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Plinka developers <feedback@plinka.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sound for every key pressed and released")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Plinka plays a short sound each time a key goes down and each time it comes up,
in every application on the desktop. It lives in the panel's tray, where a menu
picks the sound theme: a mechanical keyboard, a typewriter with its bell, soft
bubbles, or a voice that says the letters and digits typed. Sound packs made
for other key-sound programs can be imported as themes.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://plinka.org)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no binary links but the application needs: Qt's display plugins (libqt6gui6 only
# recommends them) and espeak-ng's voices (which libespeak-ng1 brings today, but speech needs
# them whatever that library's packaging). Recommended: the grant of keyboard access (pkexec,
# setfacl) and the opening of help pages (xdg-open).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, espeak-ng-data")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pkexec, acl, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# cpack installs what scripts/package built (the target plinka_installed), not the whole tree.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# Only the package carries Debian's documents: the copyright, the changelog and README.Debian.
set(PLINKA_PACKAGE_DOCS ${CMAKE_BINARY_DIR}/package-docs)
file(MAKE_DIRECTORY ${PLINKA_PACKAGE_DOCS})
execute_process(COMMAND date -R -u -d ${PLINKA_RELEASE_DATE}
                OUTPUT_VARIABLE PLINKA_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${PLINKA_PACKAGE_DOCS}/changelog @ONLY)
execute_process(COMMAND gzip -n -9 -f ${PLINKA_PACKAGE_DOCS}/changelog COMMAND_ERROR_IS_FATAL ANY)
foreach(document copyright README.Debian)
    configure_file(${CMAKE_SOURCE_DIR}/packaging/${document} ${PLINKA_PACKAGE_DOCS}/${document}
                   COPYONLY)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/docs/help/accessibility/linux.html
               ${PLINKA_PACKAGE_DOCS}/keyboard-access.html COPYONLY)
# Its destination is taken from the package's root, not from the installation prefix.
set(CPACK_INSTALLED_DIRECTORIES
    ${PLINKA_PACKAGE_DOCS} .${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/plinka)

include(CPack)
