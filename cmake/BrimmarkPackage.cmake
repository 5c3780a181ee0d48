# The Debian package, built by CPack (scripts/package). Its dependencies come
# from dpkg-shlibdeps, so that apt-get installs what the programs link.
option(BRIMMARK_DEBIAN_FILES "Install the copyright and changelog files a Debian package carries" OFF)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brimmark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Brimmark developers")
set(CPACK_PACKAGE_CONTACT "Brimmark developers <support@brimmark.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keeps order in browser favorites (Internet Shortcut files)")
set(CPACK_PACKAGE_DESCRIPTION
  "Brimmark lists every Internet Shortcut file (.url) under a Favorites folder
with its name, folder and comment, searches them by keywords, keeps a comment
inside each favorite's own file, writes new favorites, moves old ones to the
trash and exports the list as HTML, CSV or a bookmark file browsers import.
The package holds the window (Qt 6, in Japanese) and the command-line
companion brimmark-cli.")
set(CPACK_PACKAGE_FILE_NAME "brimmark_${PROJECT_VERSION}_amd64")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://brimmark.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window draws through Qt's platform plugins, which Qt's own library
# only recommends; without them it cannot open on X11 or Wayland. Qt's
# Japanese translations give its standard buttons and dialogs the window's
# language.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
# Opening addresses and documents goes through the desktop's opener.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

if(BRIMMARK_DEBIAN_FILES)
  set(debian_changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
  add_custom_command(OUTPUT ${debian_changelog}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/data/debian/changelog
            ${CMAKE_CURRENT_BINARY_DIR}/changelog
    COMMAND gzip -9nf ${CMAKE_CURRENT_BINARY_DIR}/changelog
    DEPENDS ${PROJECT_SOURCE_DIR}/data/debian/changelog
    VERBATIM)
  add_custom_target(brimmark_debian_changelog ALL DEPENDS ${debian_changelog})
  install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright ${debian_changelog}
    DESTINATION ${BRIMMARK_INSTALL_DOCDIR})
endif()

include(CPack)
