# Where systems differ, a source file per platform: <name>_<platform>.cpp.
# The platform is picked here, once, for every target of the tree.
if(WIN32)
  set(D88CUT_PLATFORM windows)
else()
  set(D88CUT_PLATFORM posix)
endif()

# Sets <variable> to the current folder's file <name>_<platform>.cpp for
# each <name> given.
function(d88cut_platform_sources variable)
  set(sources)
  foreach(name IN LISTS ARGN)
    set(source ${name}_${D88CUT_PLATFORM}.cpp)
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${source})
      message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR} has no ${source}")
    endif()
    list(APPEND sources ${source})
  endforeach()
  set(${variable} ${sources} PARENT_SCOPE)
endfunction()
