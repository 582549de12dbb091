# What `cmake --install` and the CPack ZIP ship: lumivexctl.dll with its import library, public
# headers and CMake package configuration; the demonstration program; and the stand-in viewer
# control in a folder of its own, marked as a stand-in for the other maker's control.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS lumivexctl EXPORT lumivexctlTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/wrapper/include/lumivexctl
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT lumivexctlTargets NAMESPACE lumivexctl::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/lumivexctl)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/lumivexctlConfig.cmake.in
  ${CMAKE_BINARY_DIR}/lumivexctlConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/lumivexctl)
# The version file accepts any architecture, so that the configuration file can refuse the wrong
# one with a message that says so (the version file's own check only lists it as not accepted).
write_basic_package_version_file(${CMAKE_BINARY_DIR}/lumivexctlConfigVersion.cmake
  COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES ${CMAKE_BINARY_DIR}/lumivexctlConfig.cmake
  ${CMAKE_BINARY_DIR}/lumivexctlConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/lumivexctl)

if(TARGET ostrada)
  install(TARGETS ostrada RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET Lumivex01)
  install(TARGETS Lumivex01 RUNTIME DESTINATION standin-viewer LIBRARY DESTINATION standin-viewer)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/standin-viewer-README.txt
    DESTINATION standin-viewer RENAME README.txt)
  # Notices of the font data built into the stand-in's PDF reader.
  get_property(lvx_notices GLOBAL PROPERTY LVX_THIRD_PARTY_NOTICES)
  install(FILES ${lvx_notices} DESTINATION standin-viewer)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME lumivexctl)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME ${LVX_WINDOWS_ARCH})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
