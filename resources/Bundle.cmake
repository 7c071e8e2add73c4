# The bundle's fixed files: the information dictionary.
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/Info.plist.in ${PLINKA_CONTENTS_DIR}/Info.plist @ONLY)
