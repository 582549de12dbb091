# What `cmake --install` and the CPack ZIP ship: lumivexctl.dll with its import library, public
# headers and CMake package configuration; the demonstration program; the stand-in viewer control
# in a folder of its own, marked as a stand-in for the other maker's control, with the DLLs it
# uses; the licence and the third-party notices.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS lumivexctl EXPORT lumivexctlTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/wrapper/include/lumivexctl
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# The C interface for Microsoft's linker: its import library and the module-definition file it is
# made from (for other tools that make import libraries).
install(FILES ${CMAKE_BINARY_DIR}/lib/lumivexctl.lib ${CMAKE_BINARY_DIR}/lib/lumivexctl.def
  DESTINATION ${CMAKE_INSTALL_LIBDIR})
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
  # libgcrypt and libgpg-error, which the stand-in loads as DLLs, with their licence.
  get_property(lvx_standin_dlls GLOBAL PROPERTY LVX_STANDIN_RUNTIME_DLLS)
  install(FILES ${lvx_standin_dlls} DESTINATION standin-viewer)
  install(FILES /usr/share/common-licenses/LGPL-2.1 DESTINATION standin-viewer
    RENAME COPYING-LGPL-2.1.txt)
  # The libraries built from Debian's source packages and linked into the stand-in (openjpeg2,
  # tiff, ...): the copyright file of each source package.
  get_property(lvx_debian_copyrights GLOBAL PROPERTY LVX_DEBIAN_COPYRIGHTS)
  foreach(entry IN LISTS lvx_debian_copyrights)
    string(REPLACE ":" ";" entry ${entry})
    list(GET entry 0 package)
    list(GET entry 1 file)
    install(FILES ${file} DESTINATION licenses RENAME ${package}.copyright)
  endforeach()
endif()
# The licence of the whole, and the notices of every third-party part of a shipped file: Debian's
# copyright file of each package a part comes from (THIRD-PARTY-NOTICES names them).
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES
  DESTINATION .)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(lvx_mingw_package mingw-w64-x86-64-dev)
else()
  set(lvx_mingw_package mingw-w64-i686-dev)
endif()
foreach(entry gcc-mingw-w64:gcc-mingw-w64-base mingw-w64:${lvx_mingw_package}
              zlib:libz-mingw-w64-dev libgcrypt:libgcrypt-mingw-w64-dev
              libgpg-error:libgpg-error-mingw-w64-dev)
  string(REPLACE ":" ";" entry ${entry})
  list(GET entry 0 part)
  list(GET entry 1 package)
  install(FILES /usr/share/doc/${package}/copyright DESTINATION licenses
    RENAME ${part}.copyright)
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME lumivexctl)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME ${LVX_WINDOWS_ARCH})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
