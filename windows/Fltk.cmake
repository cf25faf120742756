# FLTK for the Windows build, built here from its source as static
# libraries: Debian ships FLTK for Linux alone. The source is pinned to
# FLTK 1.4.5's release: FLTK_SOURCE names its release tarball (whose SHA-256
# must match) or an unpacked tree; without it FetchContent clones FLTK's
# repository at the release's commit.
include(FetchContent)

set(fltkCommit a9b1113516ffd15fc7602a6d425a317df30f4720) # tag release-1.4.5
set(fltkTarballSha256 7028ca80cff3eb73ce1b5aeab4cab492e85d47db427eae7a8cca5f6521b73f2c)
set(FLTK_SOURCE "" CACHE PATH "FLTK 1.4.5's release tarball or source tree (empty: clone it)")

if(FLTK_SOURCE STREQUAL "" OR IS_DIRECTORY "${FLTK_SOURCE}")
  FetchContent_Declare(fltk GIT_REPOSITORY https://github.com/fltk/fltk.git GIT_TAG ${fltkCommit})
  if(NOT FLTK_SOURCE STREQUAL "")
    set(FETCHCONTENT_SOURCE_DIR_FLTK "${FLTK_SOURCE}") # a tree at hand instead of the clone
  endif()
elseif(EXISTS "${FLTK_SOURCE}")
  file(SHA256 "${FLTK_SOURCE}" sha256)
  if(NOT sha256 STREQUAL fltkTarballSha256)
    message(FATAL_ERROR "${FLTK_SOURCE} is not FLTK 1.4.5's release tarball: its SHA-256 is\n"
      "  ${sha256}\nnot\n  ${fltkTarballSha256}")
  endif()
  FetchContent_Declare(fltk URL "${FLTK_SOURCE}" URL_HASH SHA256=${fltkTarballSha256})
else()
  message(FATAL_ERROR "FLTK_SOURCE=${FLTK_SOURCE}: no such file or directory")
endif()

# The core and the GL library, static; none of FLTK's programs, tests or
# other libraries.
set(FLTK_BUILD_SHARED_LIBS OFF)
set(FLTK_BUILD_GL ON)
set(FLTK_BUILD_FORMS OFF)
set(FLTK_BUILD_FLUID OFF)
set(FLTK_BUILD_FLTK_OPTIONS OFF)
set(FLTK_BUILD_TEST OFF)
set(FLTK_BUILD_EXAMPLES OFF)
set(FLTK_BUILD_HTML_DOCS OFF)
set(FLTK_BUILD_PDF_DOCS OFF)
# Our warnings are for our code: FLTK builds with its own options.
get_directory_property(ourOptions COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
FetchContent_MakeAvailable(fltk)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${ourOptions}")
# Only what the program links is built (fltk_images and its bundled
# libraries are not), and nothing of FLTK is installed with the program:
# windows/CMakeLists.txt packs the component dalvery alone.
set_property(DIRECTORY ${fltk_SOURCE_DIR} PROPERTY EXCLUDE_FROM_ALL ON)
set(FLTK_VERSION 1.4.5)
message(STATUS "FLTK ${FLTK_VERSION}, static, from ${fltk_SOURCE_DIR}")
