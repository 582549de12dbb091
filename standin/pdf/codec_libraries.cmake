# The image and font codecs the reader uses, built from Debian's source packages for this build
# (cmake/LvxDebianSource.cmake): only the parts the reader needs, without their tools and tests.
include(LvxDebianSource)

# JPEG 2000 (JPXDecode): openjpeg2, BSD-2-Clause.
lvx_debian_library(NAME openjp2 PACKAGE openjpeg2
  LIBRARY lib/libopenjp2.a INCLUDE_DIR include/openjpeg-2.5 DEFINITIONS OPJ_STATIC
  CMAKE_ARGS -DBUILD_STATIC_LIBS=ON -DBUILD_CODEC=OFF -DBUILD_PKGCONFIG_FILES=OFF
             -DOPJ_USE_THREAD=OFF)

# CCITT fax (CCITTFaxDecode): libtiff's fax decoder, libtiff licence. Every other codec and every
# outside library is left out.
lvx_debian_library(NAME tiff PACKAGE tiff LIBRARY lib/libtiff.a
  CMAKE_ARGS -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dcxx=OFF
             -Dzlib=OFF -Dlibdeflate=OFF -Dpixarlog=OFF -Djpeg=OFF -Dold-jpeg=OFF -Djbig=OFF
             -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Dsphinx=OFF -Dtiff-opengl=OFF
             -Dld-version-script=OFF)

# Type 1 and CFF font programs (outlines by glyph): FreeType, under the FreeType licence (FTL).
# It uses the zlib the reader links (its own copy of zlib would define the same symbols again in
# a static link).
lvx_debian_library(NAME freetype PACKAGE freetype LIBRARY lib/libfreetype.a
  INCLUDE_DIR include/freetype2
  CMAKE_ARGS -DFT_DISABLE_ZLIB=OFF -DFT_REQUIRE_ZLIB=ON -DZLIB_USE_STATIC_LIBS=ON
             -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON
             -DFT_DISABLE_BROTLI=ON)
set_property(TARGET lvx::freetype APPEND PROPERTY INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
# FreeType is used under the FreeType licence (FTL.TXT of its source, one of its two licences):
# the licence goes with the stand-in (Debian's copyright file of the source goes into licenses/ as
# for every library built from a source package).
set(lvx_freetype_source ${LVX_DEBIAN_SOURCE_DIR}/freetype/source)
configure_file(${lvx_freetype_source}/docs/FTL.TXT ${lvx_pdf_generated}/NOTICE-freetype-FTL.txt
  COPYONLY)
set_property(GLOBAL APPEND PROPERTY LVX_THIRD_PARTY_NOTICES
  ${lvx_pdf_generated}/NOTICE-freetype-FTL.txt)
