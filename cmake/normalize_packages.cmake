# Run by CPack after it has made the packages (CPACK_POST_BUILD_SCRIPTS),
# before it computes their checksums: makes each tarball and zip the same
# bytes whoever builds it, where, and when.
#   - A tarball is written again with its members sorted by name, owned by
#     root (0:0), dated SOURCE_DATE_EPOCH, and gzip'd without a name or a
#     time: CPack records the builder's user in it.
#   - A zip goes through Debian's strip-nondeterminism, where it is there,
#     which drops the owners and local times a zip's extra fields carry.
# The .deb packages CPack makes the same by itself, as root:root with
# SOURCE_DATE_EPOCH's time.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is not set for the packages")
endif()
set(epoch $ENV{SOURCE_DATE_EPOCH})
find_program(tar_program NAMES gtar tar)
find_program(gzip_program gzip)
find_program(strip_program strip-nondeterminism)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(folder ${package} DIRECTORY)
  if(package MATCHES "\\.tar\\.gz$")
    set(unpacked ${folder}/normalize-unpacked)
    file(REMOVE_RECURSE ${unpacked})
    file(MAKE_DIRECTORY ${unpacked})
    execute_process(COMMAND ${tar_program} -xzf ${package} -C ${unpacked}
      COMMAND_ERROR_IS_FATAL ANY)
    file(GLOB top RELATIVE ${unpacked} ${unpacked}/*)
    execute_process(
      COMMAND ${tar_program} --sort=name --owner=0 --group=0 --numeric-owner
        --mtime=@${epoch} --format=gnu -C ${unpacked} -cf - ${top}
      COMMAND ${gzip_program} -9 -n
      OUTPUT_FILE ${package} COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${unpacked})
  elseif(package MATCHES "\\.zip$" AND strip_program)
    execute_process(COMMAND ${strip_program} --type zip --timestamp ${epoch} ${package}
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
