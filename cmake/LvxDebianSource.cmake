# Libraries that Debian ships as source but not built for MinGW: each is built from Debian's own
# source package (with Debian's patches) for the current build, with the same compiler, target
# architecture and, in the fuzz builds, the same sanitizers, and linked statically.
#
#   lvx_debian_library(NAME name PACKAGE source-package LIBRARY lib/libx.a
#                      [INCLUDE_DIR include/sub] [DEFINITIONS D...] [CMAKE_ARGS -DX=Y...])
#
# makes the imported target lvx::<name>. The sources are fetched at configure time into
# LVX_DEBIAN_SOURCE_DIR (shared by the build trees of one checkout); the library is compiled
# once per build tree.
include(ExternalProject)

set(LVX_DEBIAN_SOURCE_DIR ${CMAKE_SOURCE_DIR}/build/debian-source CACHE PATH
    "Where Debian source packages are fetched and unpacked (scripts/debian_source.sh)")

function(lvx_debian_source package out_var)
  set(destination ${LVX_DEBIAN_SOURCE_DIR}/${package})
  execute_process(
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/debian_source.sh ${package} ${destination}
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Debian source package ${package} could not be fetched: run "
                        "scripts/setup.sh (it adds the deb-src entries apt-get source needs)")
  endif()
  file(READ ${destination}/version version)
  string(STRIP "${version}" version)
  message(STATUS "Debian source ${package} ${version}")
  set(${out_var} ${destination}/source PARENT_SCOPE)
  set(${out_var}_VERSION ${version} PARENT_SCOPE)
endfunction()

function(lvx_debian_library)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;PACKAGE;LIBRARY;INCLUDE_DIR"
                        "DEFINITIONS;CMAKE_ARGS")
  lvx_debian_source(${arg_PACKAGE} source)
  set(prefix ${CMAKE_BINARY_DIR}/debian-libs/${arg_NAME})
  set(flags "${CMAKE_C_FLAGS}")
  set(link_flags "${CMAKE_EXE_LINKER_FLAGS}")
  if(LVX_FUZZ)
    # Instrumented like the reader, so that the fuzzers see into the library and catch its faults
    # (the library's own build-time helper programs are linked with the sanitizers' runtimes).
    # A library's memcpy(p, NULL, 0) is undefined only on paper: that check is left out, so that
    # the fuzzers stop on faults that can harm the host.
    string(APPEND flags " -fsanitize=address,undefined -fno-sanitize-recover=undefined"
                        " -fno-sanitize=nonnull-attribute"
                        " -fsanitize=fuzzer-no-link -fno-omit-frame-pointer")
    string(APPEND link_flags " -fsanitize=address,undefined")
  endif()
  set(args
      -DCMAKE_BUILD_TYPE=Release
      -DCMAKE_INSTALL_PREFIX=${prefix}
      -DCMAKE_INSTALL_LIBDIR=lib
      -DCMAKE_C_COMPILER=${CMAKE_C_COMPILER}
      -DCMAKE_C_FLAGS=${flags}
      -DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER}
      -DCMAKE_CXX_FLAGS=${flags}
      -DCMAKE_EXE_LINKER_FLAGS=${link_flags}
      -DCMAKE_POSITION_INDEPENDENT_CODE=ON
      -DBUILD_SHARED_LIBS=OFF
      -DBUILD_TESTING=OFF)
  if(CMAKE_TOOLCHAIN_FILE)
    list(APPEND args -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE})
  endif()
  ExternalProject_Add(debian_${arg_NAME}
    SOURCE_DIR ${source}
    BINARY_DIR ${CMAKE_BINARY_DIR}/debian-libs/${arg_NAME}-build
    INSTALL_DIR ${prefix}
    CMAKE_ARGS ${args} ${arg_CMAKE_ARGS}
    BUILD_BYPRODUCTS ${prefix}/${arg_LIBRARY}
    UPDATE_COMMAND ""
    LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON LOG_OUTPUT_ON_FAILURE ON)
  set(include_dir ${prefix}/include)
  if(arg_INCLUDE_DIR)
    set(include_dir ${prefix}/${arg_INCLUDE_DIR})
  endif()
  # The imported target names the folder before the library is installed into it.
  file(MAKE_DIRECTORY ${include_dir})
  add_library(lvx::${arg_NAME} STATIC IMPORTED GLOBAL)
  set_target_properties(lvx::${arg_NAME} PROPERTIES
    IMPORTED_LOCATION ${prefix}/${arg_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${include_dir}
    INTERFACE_COMPILE_DEFINITIONS "${arg_DEFINITIONS}")
  add_dependencies(lvx::${arg_NAME} debian_${arg_NAME})
  set_property(GLOBAL APPEND PROPERTY LVX_DEBIAN_PACKAGES "${arg_PACKAGE} ${source_VERSION}")
  # Debian's copyright file of the source package (copyright lines and licence texts), for the
  # package's licenses/ folder.
  set_property(GLOBAL APPEND PROPERTY LVX_DEBIAN_COPYRIGHTS "${arg_PACKAGE}:${source}/debian/copyright")
endfunction()
