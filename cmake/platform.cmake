# Where systems differ, a source file per platform: <name>_<platform>.cpp.
# The platform is picked here, once, for every target of the tree. The
# browser (Emscripten) is POSIX but for the files it has of its own.
if(WIN32)
  set(D88CUT_PLATFORM windows)
  set(D88CUT_PLATFORMS windows)
elseif(EMSCRIPTEN)
  set(D88CUT_PLATFORM web)
  set(D88CUT_PLATFORMS web posix)
else()
  set(D88CUT_PLATFORM posix)
  set(D88CUT_PLATFORMS posix)
endif()

# Sets <variable> to the current folder's file of each <name> given for
# this platform: the first <name>_<platform>.cpp that exists, in the
# platform's order.
function(d88cut_platform_sources variable)
  set(sources)
  foreach(name IN LISTS ARGN)
    set(found)
    foreach(platform IN LISTS D88CUT_PLATFORMS)
      if(NOT found AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${name}_${platform}.cpp)
        set(found ${name}_${platform}.cpp)
      endif()
    endforeach()
    if(NOT found)
      message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR} has no ${name} for ${D88CUT_PLATFORMS}")
    endif()
    list(APPEND sources ${found})
  endforeach()
  set(${variable} ${sources} PARENT_SCOPE)
endfunction()
