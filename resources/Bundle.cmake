# The bundle's fixed files: the information dictionary, the strings tables of every language,
# the registered defaults, the scripting interface and the icons (drawn at build time by our own
# code).
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/Info.plist.in ${PLINKA_CONTENTS_DIR}/Info.plist @ONLY)
file(GLOB PLINKA_STRINGS_TABLES RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.lproj/*.strings)
foreach(resource Defaults.plist org.plinka.Plinka.xml ${PLINKA_STRINGS_TABLES})
    configure_file(${CMAKE_CURRENT_SOURCE_DIR}/${resource} ${PLINKA_RESOURCES_DIR}/${resource} COPYONLY)
endforeach()

add_executable(plinka_icon_art ${CMAKE_CURRENT_SOURCE_DIR}/IconArt.cpp)
target_link_libraries(plinka_icon_art PRIVATE Qt6::Gui)
plinka_warnings(plinka_icon_art)
add_custom_command(
    OUTPUT ${PLINKA_RESOURCES_DIR}/menubar.png ${PLINKA_RESOURCES_DIR}/Plinka.png
           ${PLINKA_HICOLOR_DIR}/48x48/apps/org.plinka.Plinka.png
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:plinka_icon_art> ${PLINKA_RESOURCES_DIR}/menubar.png
            ${PLINKA_RESOURCES_DIR}/Plinka.png ${PLINKA_HICOLOR_DIR}
    DEPENDS plinka_icon_art
    COMMENT "Drawing the icons")
add_custom_target(plinka_icons ALL
    DEPENDS ${PLINKA_RESOURCES_DIR}/menubar.png ${PLINKA_RESOURCES_DIR}/Plinka.png
            ${PLINKA_HICOLOR_DIR}/48x48/apps/org.plinka.Plinka.png)
