# Installation: the bundle under the library folder, launchers on the PATH, and what desktops
# need to list the application: a desktop entry, icons, AppStream metadata and manual pages.
include(GNUInstallDirs)

# Whatever the installing user's umask, the tree is readable by every user.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(PLINKA_INSTALLED_FOLDER ${CMAKE_INSTALL_LIBDIR}/plinka)
set(PLINKA_INSTALLED_BUNDLE ${PLINKA_INSTALLED_FOLDER}/Plinka.app)
install(TARGETS plinka plinka-appcast plinka-import-pack
    RUNTIME DESTINATION ${PLINKA_INSTALLED_BUNDLE}/Contents/MacOS)
# Beside the bundle, where it finds it as in the build tree; inside, the single-copy guard would
# take a running plinka-theme for a running Plinka.
install(TARGETS plinka-theme RUNTIME DESTINATION ${PLINKA_INSTALLED_FOLDER})
install(TARGETS plinka-sdl-output plinka-pipewire-output plinka-pulse-output plinka-speech LIBRARY DESTINATION ${PLINKA_INSTALLED_BUNDLE}/Contents/PlugIns)
install(FILES ${PLINKA_CONTENTS_DIR}/Info.plist DESTINATION ${PLINKA_INSTALLED_BUNDLE}/Contents)
install(DIRECTORY ${PLINKA_RESOURCES_DIR} DESTINATION ${PLINKA_INSTALLED_BUNDLE}/Contents)

# The launchers are relative links, so the installed tree can move; each program finds its
# bundle through the link's target (a path under the installed folder).
function(plinka_install_launcher name program)
    file(RELATIVE_PATH target /${CMAKE_INSTALL_BINDIR} /${PLINKA_INSTALLED_FOLDER}/${program})
    install(CODE "
        set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${name}\")
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(REMOVE \"\${link}\")
        file(CREATE_LINK \"${target}\" \"\${link}\" SYMBOLIC)
        message(STATUS \"Installing: \${link} -> ${target}\")")
endfunction()
plinka_install_launcher(plinka Plinka.app/Contents/MacOS/Plinka)
plinka_install_launcher(plinka-theme plinka-theme)

set(PLINKA_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/resources/desktop)
configure_file(${PLINKA_DESKTOP_DIR}/org.plinka.Plinka.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/org.plinka.Plinka.metainfo.xml @ONLY)
install(FILES ${PLINKA_DESKTOP_DIR}/org.plinka.Plinka.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/org.plinka.Plinka.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${PLINKA_HICOLOR_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Manual pages, compressed as man-db and Debian expect: plinka's written by hand, plinka-theme's
# made from its --help so that the two never disagree.
find_program(PLINKA_HELP2MAN help2man REQUIRED)
set(PLINKA_MAN_DIR ${CMAKE_BINARY_DIR}/man)
configure_file(${CMAKE_SOURCE_DIR}/resources/man/plinka.1 ${PLINKA_MAN_DIR}/plinka.1 @ONLY)
add_custom_command(
    OUTPUT ${PLINKA_MAN_DIR}/plinka.1.gz ${PLINKA_MAN_DIR}/plinka-theme.1.gz
    COMMAND ${PLINKA_HELP2MAN} --no-info --no-discard-stderr
            --version-string=${PROJECT_VERSION}
            "--name=build, inspect, preview and import Plinka's sound themes"
            --include=${CMAKE_SOURCE_DIR}/resources/man/plinka-theme.h2m
            --output=${PLINKA_MAN_DIR}/plinka-theme.1 $<TARGET_FILE:plinka-theme>
    COMMAND gzip -n -9 -f ${PLINKA_MAN_DIR}/plinka-theme.1
    COMMAND gzip -n -9 -f -k ${PLINKA_MAN_DIR}/plinka.1
    DEPENDS plinka-theme ${PLINKA_MAN_DIR}/plinka.1
            ${CMAKE_SOURCE_DIR}/resources/man/plinka-theme.h2m
    COMMENT "Writing the manual pages"
    VERBATIM)
add_custom_target(plinka_manuals ALL
    DEPENDS ${PLINKA_MAN_DIR}/plinka.1.gz ${PLINKA_MAN_DIR}/plinka-theme.1.gz)
install(FILES ${PLINKA_MAN_DIR}/plinka.1.gz ${PLINKA_MAN_DIR}/plinka-theme.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Everything the rules above install, for building the package without the tests.
add_custom_target(plinka_installed)
add_dependencies(plinka_installed plinka plinka-appcast plinka-import-pack plinka-theme
    plinka-sdl-output plinka-speech plinka_resources plinka_icons plinka_manuals)
