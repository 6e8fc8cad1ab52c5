# The browser build (emcmake cmake -S . -B build-web): the tools for node,
# and the page in web/ of the build folder, which runs them in a browser.
#   extract/d88cut.js, d88ls/d88ls.js,  programs for node: node d88cut.js IMAGE
#   d88conv/d88conv.js, d88get/d88get.js
#   web/                                the page: open web/index.html
# Included from the top CMakeLists.txt once every target exists.

# emcmake starts node with --experimental-wasm-threads, which node 20
# refuses; the build's own programs (the sample image's maker) run without.
set(d88cut_node ${CMAKE_CROSSCOMPILING_EMULATOR})
list(REMOVE_ITEM d88cut_node --experimental-wasm-threads)
set_property(TARGET make_sample_image make_fuzz_seeds PROPERTY CROSSCOMPILING_EMULATOR
  ${d88cut_node})

# An optimised link runs Emscripten's JavaScript optimizer, which needs
# node to find acorn; Debian keeps it in /usr/share/nodejs, where a node
# not from Debian does not look.
list(GET d88cut_node 0 d88cut_node_program)
execute_process(COMMAND ${d88cut_node_program} -e "require.resolve('acorn')"
  RESULT_VARIABLE d88cut_no_acorn OUTPUT_QUIET ERROR_QUIET)
if(d88cut_no_acorn AND EXISTS /usr/share/nodejs/acorn)
  set(d88cut_node_path /usr/share/nodejs)
  if(NOT "$ENV{NODE_PATH}" STREQUAL "")
    string(APPEND d88cut_node_path ":$ENV{NODE_PATH}")
  endif()
  set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK
    "${CMAKE_COMMAND} -E env NODE_PATH=${d88cut_node_path}")
endif()

# Programs for node: the WebAssembly inside the .js (node fetch()es a
# separate file and fails), the real file system instead of one in memory
# (else the sample image is made in memory and never appears), and main's
# status as node's.
foreach(program d88cut d88ls d88conv d88get make_sample_image make_fuzz_seeds)
  target_link_options(${program} PRIVATE -sSINGLE_FILE=1 -sNODERAWFS=1 -sEXIT_RUNTIME=1)
endforeach()
# d88conv's static memory is more than the default 16 MiB: its reader's
# 6 MiB and the 16 MiB its output is laid out in, with the stack besides;
# and so is d88get's: its reader's, the 4 MiB for a file's bytes, its table
# of the names it has taken and the stack's 5 MiB.
target_link_options(d88conv PRIVATE -sINITIAL_MEMORY=32MB)
target_link_options(d88get PRIVATE -sINITIAL_MEMORY=32MB)

# The page's module: createD88tools() gives a fresh instance, whose
# callMain runs one tool once, on the files put in its file system in
# memory; which tool is argv[0] (thisProgram): d88cut, d88ls, d88conv or
# d88get. One program for the four, so that the page carries the reader
# and the system layer once; one file, so that the page opens from disk.
set(page_folder ${PROJECT_BINARY_DIR}/web)
# Each tool from its own sources, definitions and libraries, its main
# renamed for the dispatcher in web/tools_main.cpp to call.
set(page_libraries)
foreach(tool d88cut d88ls d88conv d88get)
  get_target_property(tool_folder ${tool} SOURCE_DIR)
  get_target_property(tool_sources ${tool} SOURCES)
  list(TRANSFORM tool_sources PREPEND ${tool_folder}/)
  get_target_property(tool_libraries ${tool} LINK_LIBRARIES)
  get_target_property(tool_definitions ${tool} COMPILE_DEFINITIONS)
  add_library(${tool}_page OBJECT ${tool_sources})
  target_link_libraries(${tool}_page PRIVATE ${tool_libraries})
  if(tool_definitions)
    target_compile_definitions(${tool}_page PRIVATE ${tool_definitions})
  endif()
  target_compile_definitions(${tool}_page PRIVATE main=${tool}_main)
  set_target_properties(${tool}_page PROPERTIES CXX_EXTENSIONS OFF)
  list(APPEND page_libraries ${tool}_page ${tool_libraries})
endforeach()
list(REMOVE_DUPLICATES page_libraries)
add_executable(d88tools_page ${PROJECT_SOURCE_DIR}/web/tools_main.cpp)
target_link_libraries(d88tools_page PRIVATE ${page_libraries})
set_target_properties(d88tools_page PROPERTIES CXX_EXTENSIONS OFF OUTPUT_NAME d88tools
  RUNTIME_OUTPUT_DIRECTORY ${page_folder})
# Its memory holds the static storage of all four tools: a reader of
# 6 MiB each (the tracks it decodes from bits among them), d88conv's 16 MiB
# output and d88get's 4 MiB for a file's bytes, with the stack besides;
# only what a run touches is ever used.
target_link_options(d88tools_page PRIVATE -sSINGLE_FILE=1 -sENVIRONMENT=web -sMODULARIZE=1
  -sINVOKE_RUN=0 -sEXIT_RUNTIME=1 -sFORCE_FILESYSTEM=1 -sEXPORTED_RUNTIME_METHODS=callMain,FS,ENV
  -sINITIAL_MEMORY=64MB -sEXPORT_NAME=createD88tools)

# The page's own files, and the zip library from npm with its licence.
set(page_files)
foreach(file index.html page.js page.css manifest.webmanifest icons/icon.svg icons/icon-192.png
    icons/icon-512.png icons/icon-maskable-512.png)
  add_custom_command(OUTPUT ${page_folder}/${file}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/web/${file} ${page_folder}/${file}
    DEPENDS ${PROJECT_SOURCE_DIR}/web/${file})
  list(APPEND page_files ${page_folder}/${file})
endforeach()
# The service worker caches the release's files under the release's name.
configure_file(${PROJECT_SOURCE_DIR}/web/service-worker.js.in ${page_folder}/service-worker.js
  @ONLY)
find_program(D88CUT_NPM npm REQUIRED)
set(npm_folder ${PROJECT_BINARY_DIR}/web-npm)
add_custom_command(OUTPUT ${page_folder}/fflate.js ${page_folder}/fflate-LICENSE.txt
  COMMAND ${CMAKE_COMMAND} -E make_directory ${npm_folder}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/web/package.json
    ${PROJECT_SOURCE_DIR}/web/package-lock.json ${npm_folder}
  COMMAND ${D88CUT_NPM} ci --prefix ${npm_folder} --no-audit --no-fund --loglevel=error
  COMMAND ${CMAKE_COMMAND} -E copy ${npm_folder}/node_modules/fflate/umd/index.js
    ${page_folder}/fflate.js
  COMMAND ${CMAKE_COMMAND} -E copy ${npm_folder}/node_modules/fflate/LICENSE
    ${page_folder}/fflate-LICENSE.txt
  DEPENDS ${PROJECT_SOURCE_DIR}/web/package.json ${PROJECT_SOURCE_DIR}/web/package-lock.json
  COMMENT "Installing fflate from npm for the page")
add_custom_target(page ALL DEPENDS ${page_files} ${page_folder}/fflate.js d88tools_page)

# The release: d88cut-<version>-web.zip, the page's folder and the licence
# (cmake --build build-web --target package).
install(DIRECTORY ${page_folder}/ DESTINATION . COMPONENT page)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT page)
