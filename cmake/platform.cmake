# Where systems differ, a source file per platform: <name>_<platform>.cpp.
# The platform is picked here, once, for every target of the tree. The
# browser (Emscripten) is POSIX but for the files it has of its own; a file
# named _portable is plain standard C++, taken where a system has no file
# of its own for that name.
if(WIN32)
  set(D88CUT_PLATFORMS windows portable)
elseif(EMSCRIPTEN)
  set(D88CUT_PLATFORMS web posix portable)
else()
  set(D88CUT_PLATFORMS posix portable)
endif()

# Sets <variable> to the current folder's file of each name given for this
# platform: the first <name>_<platform>.cpp that exists, in the platform's
# order, or for a name with a *, the name with the platform in its place
# (process_edges_*_test). A platform may lack the names after OPTIONAL.
function(d88cut_platform_sources variable)
  set(sources)
  set(required TRUE)
  foreach(name IN LISTS ARGN)
    if(name STREQUAL OPTIONAL)
      set(required FALSE)
      continue()
    endif()
    set(found)
    foreach(platform IN LISTS D88CUT_PLATFORMS)
      if(name MATCHES "\\*")
        string(REPLACE "*" ${platform} source ${name}.cpp)
      else()
        set(source ${name}_${platform}.cpp)
      endif()
      if(NOT found AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${source})
        set(found ${source})
      endif()
    endforeach()
    if(found)
      list(APPEND sources ${found})
    elseif(required)
      message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR} has no ${name} for ${D88CUT_PLATFORMS}")
    endif()
  endforeach()
  set(${variable} ${sources} PARENT_SCOPE)
endfunction()

# What the Windows files of the reader and of the platform layer share:
# the system's error codes as errno values, and the one conversion between
# UTF-8 and UTF-16 (header-only, in platform/windows/).
add_library(d88cut_windows INTERFACE)
target_include_directories(d88cut_windows INTERFACE ${PROJECT_SOURCE_DIR}/platform/windows)
