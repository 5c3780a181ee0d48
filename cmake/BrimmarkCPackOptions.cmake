# Read by cpack for each generator of the Windows release.
if(CPACK_GENERATOR STREQUAL "ZIP")
  # Every file and the portable settings file, in one archive and one
  # folder named after the release.
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_COMPONENTS_ALL Unspecified portable)
else()
  # The installer offers no choice of parts, and leaves the settings file out.
  set(CPACK_MONOLITHIC_INSTALL ON)
endif()
