# The Windows release, built by CPack (scripts/package-windows): an NSIS
# installer and a portable zip. Both hold one flat folder: the programs the
# build makes, the help beside them (where the window looks for it), and a
# read-me for Windows users and the licence as Windows text files. The zip
# adds an empty "Brimmark.ini", which keeps a copy's settings beside its
# programs. The read-me starts with a UTF-8 mark, by which every Notepad
# reads its Japanese.

foreach(program brimmark brimmark-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/docs/Brimmark.html DESTINATION ${BRIMMARK_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images DESTINATION ${BRIMMARK_INSTALL_DOCDIR}
  FILES_MATCHING PATTERN "*.png")

# Windows text files end their lines in CRLF; older Notepads show nothing else.
set(package_texts ${CMAKE_CURRENT_BINARY_DIR}/package)
foreach(pair "data/windows/README.txt:README.txt" "data/debian/copyright:License.txt")
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 source)
  list(GET pair 1 target)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${source})
  file(READ ${PROJECT_SOURCE_DIR}/${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  string(REPLACE "@VERSION@" "${PROJECT_VERSION}" text "${text}")
  file(WRITE ${package_texts}/${target} "${text}")
  install(FILES ${package_texts}/${target} DESTINATION .)
endforeach()

# Only the zip carries it: an installed copy keeps its settings in the
# user's %APPDATA%, since it may not write beside itself.
file(WRITE ${package_texts}/Brimmark.ini "")
install(FILES ${package_texts}/Brimmark.ini DESTINATION . COMPONENT portable EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME Brimmark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Brimmark developers")
set(CPACK_PACKAGE_FILE_NAME "Brimmark-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Brimmark)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Brimmark)
set(CPACK_STRIP_FILES ON)
set(CPACK_NSIS_PACKAGE_NAME Brimmark)
set(CPACK_NSIS_DISPLAY_NAME Brimmark)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
# The window's icon, when the window is built.
if(BRIMMARK_ICO)
  set(CPACK_NSIS_MUI_ICON ${BRIMMARK_ICO})
endif()
# cmake/NSIS.template.in, found on the module path, writes the installer.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/BrimmarkCPackOptions.cmake)

include(CPack)
