# Packages, made by CPack (cmake --build build --target package): on Linux
# the Debian packages d88cut (the tools) and libd88image-dev (the library),
# and a .tar.gz of the whole install tree; on Windows a .zip of the tools;
# for the browser a .zip of the page.

set(D88CUT_SUMMARY "cut the program, voice bank and music blocks out of a D88 disk image")
if(EMSCRIPTEN)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL page)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_PACKAGE_FILE_NAME d88cut-${PROJECT_VERSION}-web)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)  # unpacks into a folder of its own
elseif(WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT tools)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/README.ja.md
    DESTINATION . COMPONENT tools)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL tools)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_SYSTEM_NAME windows-x86_64)
  set(CPACK_PACKAGE_FILE_NAME d88cut-${PROJECT_VERSION}-windows-x86_64)
else()
  # Packages are named and labelled for the machine the build is for:
  # Debian's name for its architecture, and the system's own in the
  # tarball's name (x86_64, aarch64).
  set(deb_architecture)
  if(NOT CMAKE_CROSSCOMPILING)
    find_program(D88CUT_DPKG dpkg)
    if(D88CUT_DPKG)
      execute_process(COMMAND ${D88CUT_DPKG} --print-architecture
        OUTPUT_VARIABLE deb_architecture OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
  endif()
  if(NOT deb_architecture)
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
      set(deb_architecture amd64)
    elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64|ARM64)$")
      set(deb_architecture arm64)
    elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^armv7")
      set(deb_architecture armhf)
    elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^i.86$")
      set(deb_architecture i386)
    else()
      string(TOLOWER ${CMAKE_SYSTEM_PROCESSOR} deb_architecture)  # riscv64, s390x
    endif()
  endif()

  # dpkg-shlibdeps finds the C library a cross build needs through
  # multiarch: without the target's libc6 it cannot compute the dependency.
  if(CMAKE_CROSSCOMPILING)
    execute_process(COMMAND dpkg-query -W -f=\${Status} libc6:${deb_architecture}
      OUTPUT_VARIABLE target_libc ERROR_QUIET)
    if(NOT target_libc MATCHES "ok installed")
      message(STATUS "Packages for ${deb_architecture} need its C library known to dpkg: "
        "dpkg --add-architecture ${deb_architecture}; apt-get update; "
        "apt-get install libc6:${deb_architecture}")
    endif()
  endif()

  # What .ci/check-packages needs to know of the build, as shell words.
  string(REPLACE ";" "' '" emulator_words "${CMAKE_CROSSCOMPILING_EMULATOR}")
  if(emulator_words)
    set(emulator_words "'${emulator_words}'")
  endif()
  file(WRITE ${PROJECT_BINARY_DIR}/package-target.sh
    "deb_architecture=${deb_architecture}\nprocessor=${CMAKE_SYSTEM_PROCESSOR}\n"
    "libdir=${CMAKE_INSTALL_LIBDIR}\ntoolchain='${CMAKE_TOOLCHAIN_FILE}'\n"
    "cxx='${CMAKE_CXX_COMPILER}'\nemulator=(${emulator_words})\n")

  # Debian keeps each package's licence and changelog in its doc folder.
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
  string(REGEX REPLACE "\n\n" "\n.\n" license_paragraphs "${license}")
  string(REGEX REPLACE "\n" "\n " license_paragraphs "${license_paragraphs}")
  file(WRITE ${PROJECT_BINARY_DIR}/copyright
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: d88cut\n\nFiles: *\nCopyright: 2026 The d88cut developers\n"
    "License: Expat\n ${license_paragraphs}\n")
  foreach(component tools dev)
    set(package d88cut)
    if(component STREQUAL dev)
      set(package libd88image-dev)
    endif()
    install(FILES ${PROJECT_BINARY_DIR}/copyright ${PROJECT_BINARY_DIR}/doc/changelog.gz
      DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
  endforeach()

  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
  set(CPACK_COMPONENTS_ALL tools dev)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The d88cut developers <d88cut@users.noreply.invalid>")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME d88cut)
  set(CPACK_DEBIAN_TOOLS_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_DEV_PACKAGE_NAME libd88image-dev)
  set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_architecture})
  set(CPACK_DEBIAN_DEV_PACKAGE_ARCHITECTURE ${deb_architecture})
  set(CPACK_PACKAGE_FILE_NAME d88cut-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
endif()

# Releases anyone can verify: two builds of one commit give the same bytes.
# Every package is dated by the commit (SOURCE_DATE_EPOCH, unless it is
# set already), its tarballs and zips are made the same whoever packs them
# (normalize_packages.cmake), and each has its SHA-256 beside it.
configure_file(${PROJECT_SOURCE_DIR}/cmake/package_date.cmake.in
  ${PROJECT_BINARY_DIR}/package_date.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/package_date.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/normalize_packages.cmake)
set(CPACK_PACKAGE_CHECKSUM SHA256)

set(CPACK_PACKAGE_NAME d88cut)
set(CPACK_PACKAGE_VENDOR "The d88cut developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# Debian descriptions: a synopsis line, then the long description (no
# package-wide summary, which CPack would put before each).
set(CPACK_DEBIAN_TOOLS_DESCRIPTION "${D88CUT_SUMMARY}
d88cut cuts seven fixed blocks of data out of the marked disk of a
floppy-disk image, byte for byte; d88ls lists the disks of an image, says
why each is or is not cut and, with -l, lists the files of each disk's
file system; d88get takes those files out into the current folder, under
names made safe; d88conv converts an image to a D88, to a raw image, or
to HFE, each track recorded in FM or MFM, for a USB floppy emulator that
takes the place of a real machine's drive.
They read D88 and the other containers these disks are kept in: raw
images, FDI, DIM, DCP, NFD, FDD, ImageDisk, CPCEMU DSK and EDSK, Teledisk
and DMK, and the bit cells of HFE, MFM and 86F files and the flux of SCP
files, whose FM and MFM recording they decode themselves, checking every
CRC and reading flux over each revolution; and the file systems FAT12,
Human68k, N88-BASIC, F-BASIC, Hu-BASIC, MZ DISK BASIC and CP/M.")
set(CPACK_DEBIAN_DEV_DESCRIPTION "reader library for floppy-disk images (development files)
d88image reads D88 images, and images in the other containers these disks
are kept in as the D88 they would be, decoding the FM and MFM of those
that keep a track's bit cells or flux: it indexes their disks, loads a
disk's header and reads sectors by ID, runs of sectors and track
listings; it also lays disks out as D88 and as HFE.
This package holds the headers, the static library and the CMake and
pkg-config files.")
include(CPack)
