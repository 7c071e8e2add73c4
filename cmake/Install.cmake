# Installation: the bundle under the library folder, a launcher on the PATH, and what desktops
# need to list the application: a desktop entry, an icon and AppStream metadata.
include(GNUInstallDirs)

set(PLINKA_INSTALLED_BUNDLE ${CMAKE_INSTALL_LIBDIR}/plinka/Plinka.app)
install(TARGETS plinka plinka-appcast plinka-import-pack
    RUNTIME DESTINATION ${PLINKA_INSTALLED_BUNDLE}/Contents/MacOS)
install(TARGETS plinka-sdl-output plinka-pipewire-output plinka-pulse-output plinka-speech LIBRARY DESTINATION ${PLINKA_INSTALLED_BUNDLE}/Contents/PlugIns)
install(FILES ${PLINKA_CONTENTS_DIR}/Info.plist DESTINATION ${PLINKA_INSTALLED_BUNDLE}/Contents)
install(DIRECTORY ${PLINKA_RESOURCES_DIR} DESTINATION ${PLINKA_INSTALLED_BUNDLE}/Contents)

# The launcher is a relative link, so the installed tree can move; the executable finds its
# bundle through the link's target.
file(RELATIVE_PATH PLINKA_LAUNCHER_TARGET /${CMAKE_INSTALL_BINDIR}
     /${PLINKA_INSTALLED_BUNDLE}/Contents/MacOS/Plinka)
install(CODE "
    set(launcher \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/plinka\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(REMOVE \"\${launcher}\")
    file(CREATE_LINK \"${PLINKA_LAUNCHER_TARGET}\" \"\${launcher}\" SYMBOLIC)
    message(STATUS \"Installing: \${launcher} -> ${PLINKA_LAUNCHER_TARGET}\")")

set(PLINKA_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/resources/desktop)
configure_file(${PLINKA_DESKTOP_DIR}/org.plinka.Plinka.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/org.plinka.Plinka.metainfo.xml @ONLY)
install(FILES ${PLINKA_DESKTOP_DIR}/org.plinka.Plinka.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/org.plinka.Plinka.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PLINKA_RESOURCES_DIR}/Plinka.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps
        RENAME org.plinka.Plinka.png)
