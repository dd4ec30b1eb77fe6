# The libraries of src/, one per folder, linked in the folder order of CONVENTIONS.md:
#
#   pendrel_platform            platform/ (OS access only)
#   pendrel_<sub>               each core folder: <sub>/ less its views/, linking only the core
#                               folders it builds on (PENDREL_CORE_LINKS below)
#   pendrel_core                all core folders together (an interface library)
#
# pendrel_add_widget_libraries() adds, for the app's own build:
#   pendrel_uikit               ui-kit/
#   pendrel_<sub>_views         each <sub>/views/: its own core, every core folder and the kit
#   pendrel_ui                  app/ less the executables' entry points and the screenshot scenes
#
# A library compiles against an include root of its own that holds only its folder (a core folder's
# root leaves views/ out), and sees another folder's headers only through a library it links. So the
# folder order is a fact of the build: an include that points up or sideways fails to compile.
# The roots are folders of symbolic links under the build folder, laid anew at each configure.

# What each core folder links, the direct links only; a library sees the roots of everything
# below it. This table is the folder order: PENDREL_SUBSYSTEMS lists the core folders bottom up,
# each links only folders before it, and the include-order test and the folders table of
# CONVENTIONS.md are generated from it (pendrel_write_folder_order below; after an edit here, run
# `cmake -P cmake/FolderTable.cmake` to rewrite the table).
set(PENDREL_SUBSYSTEMS vitals shell measuring assistant cleaning home storage duplicates developer
    apps automation vault)
set(PENDREL_CORE_LINKS_vitals platform)
set(PENDREL_CORE_LINKS_shell vitals)
# The measuring seam: the cleaners' rows, the measure of one row and the guard of what no row may
# search or empty. Whatever only reads the rows (the assistant, the health check, the growth
# buckets' places) stands on it rather than on cleaning.
set(PENDREL_CORE_LINKS_measuring platform)
set(PENDREL_CORE_LINKS_cleaning shell measuring)
set(PENDREL_CORE_LINKS_assistant shell measuring)
set(PENDREL_CORE_LINKS_home shell measuring)
set(PENDREL_CORE_LINKS_storage shell measuring)
set(PENDREL_CORE_LINKS_duplicates shell)
# Only what cleans links cleaning: a task of the automation runs a clean. The developer centre
# reads its cache rows through the measuring seam; its screens clean them through the cleaning
# library that every views library sees.
set(PENDREL_CORE_LINKS_developer shell measuring)
set(PENDREL_CORE_LINKS_apps shell)
set(PENDREL_CORE_LINKS_automation cleaning)
set(PENDREL_CORE_LINKS_vault shell)

# pendrel_core_reach(<out var> <folder>)
# Every folder a core folder sees through its links (platform last), in the folder order; stops
# the configure when a folder links one that is not below it.
function(pendrel_core_reach out folder)
  set(reach)
  list(FIND PENDREL_SUBSYSTEMS ${folder} position)
  foreach(link ${PENDREL_CORE_LINKS_${folder}})
    if(link STREQUAL "platform")
      continue()
    endif()
    list(FIND PENDREL_SUBSYSTEMS ${link} below)
    if(below LESS 0 OR NOT below LESS position)
      message(FATAL_ERROR "${folder}/ links ${link}/, which is not a core folder before it")
    endif()
    pendrel_core_reach(deeper ${link})
    list(APPEND reach ${link} ${deeper})
  endforeach()
  set(ordered)
  foreach(sub ${PENDREL_SUBSYSTEMS})
    if(sub IN_LIST reach)
      list(APPEND ordered ${sub})
    endif()
  endforeach()
  list(REVERSE ordered)
  list(APPEND ordered platform)
  set(${out} ${ordered} PARENT_SCOPE)
endfunction()

# pendrel_folder_table(<out var>)
# The folders table of CONVENTIONS.md, in Markdown, one row per core folder from the table above.
function(pendrel_folder_table out)
  set(q "`")
  set(rows "| folder | may include |\n|---|---|\n")
  string(APPEND rows "| ${q}platform/${q} | ${q}platform/${q} |\n")
  string(APPEND rows "| ${q}ui-kit/${q} | ${q}ui-kit/${q}, ${q}platform/${q} |\n")
  foreach(sub ${PENDREL_SUBSYSTEMS})
    pendrel_core_reach(reach ${sub})
    set(cells "${q}${sub}/${q}")
    foreach(folder ${reach})
      string(APPEND cells ", ${q}${folder}/${q}")
    endforeach()
    string(APPEND rows "| ${q}${sub}/${q} | ${cells} |\n")
  endforeach()
  string(APPEND rows "| ${q}<folder>/views/${q} | its own folder, ${q}ui-kit/${q}, ${q}platform/${q} and any "
         "core folder; never another folder's ${q}views/${q} (a widget two folders need belongs in "
         "${q}ui-kit/${q}) |\n")
  string(APPEND rows "| ${q}fakes/${q} | any core folder and ${q}platform/${q} (never a views folder) |\n")
  string(APPEND rows "| ${q}app/${q} (with ${q}app/shots/${q}, the scenes of ${q}pendrel-shots${q}, on fakes) "
         "| anything |\n")
  set(${out} "${rows}" PARENT_SCOPE)
endfunction()

# pendrel_write_folder_order(<folder>)
# Writes what the include-order test reads: folder-order.txt, one line per core folder in the
# folder order, the folder and then every folder it may include; and folder-table.md, the table
# CONVENTIONS.md must hold.
function(pendrel_write_folder_order dir)
  set(lines)
  foreach(sub ${PENDREL_SUBSYSTEMS})
    pendrel_core_reach(reach ${sub})
    string(REPLACE ";" " " reach "${reach}")
    string(APPEND lines "${sub} ${reach}\n")
  endforeach()
  file(WRITE ${dir}/folder-order.txt "${lines}")
  pendrel_folder_table(table)
  file(WRITE ${dir}/folder-table.md "${table}")
endfunction()

# _pendrel_include_root(<out var> <name> <folder> [EXCLUDE <child>])
# Lays <build>/include-roots/<name>/<folder>/ with one link per child of src/<folder>, less the
# excluded child, and gives the root's path.
function(_pendrel_include_root out name folder)
  cmake_parse_arguments(ARG "" "EXCLUDE" "" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/include-roots/${name})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  file(GLOB children RELATIVE ${PENDREL_SRC}/${folder} ${PENDREL_SRC}/${folder}/*)
  foreach(child ${children})
    if(NOT child STREQUAL ARG_EXCLUDE)
      file(CREATE_LINK ${PENDREL_SRC}/${folder}/${child} ${root}/${folder}/${child} SYMBOLIC)
    endif()
  endforeach()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# pendrel_add_core_libraries(<src folder> <extra platform sources>...)
function(pendrel_add_core_libraries src)
  set(PENDREL_SRC ${src})

  file(GLOB_RECURSE platform_sources CONFIGURE_DEPENDS ${src}/platform/*.cpp ${src}/platform/*.h)
  list(FILTER platform_sources EXCLUDE REGEX "/SecretServiceKeychain\\.(cpp|h)$")
  _pendrel_include_root(root platform platform)
  # The vault's keyring: the Secret Service through libsecret, built on its own so that GLib's
  # include paths stay out of every other platform file.
  pkg_check_modules(SECRET REQUIRED IMPORTED_TARGET libsecret-1)
  add_library(pendrel_keyring STATIC ${src}/platform/SecretServiceKeychain.cpp
              ${src}/platform/SecretServiceKeychain.h)
  target_include_directories(pendrel_keyring PRIVATE ${root})
  target_link_libraries(pendrel_keyring PUBLIC Qt6::Core PRIVATE PkgConfig::SECRET)

  configure_file(${src}/platform/BuildInfo.h.in ${CMAKE_BINARY_DIR}/generated/BuildInfo.h @ONLY)
  add_library(pendrel_platform STATIC ${platform_sources} ${ARGN})
  target_include_directories(pendrel_platform PUBLIC ${root} ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(pendrel_platform PUBLIC Qt6::Core Qt6::Gui Qt6::Svg Qt6::DBus Qt6::Network
                        pendrel_keyring PRIVATE OpenSSL::Crypto)
  pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb xcb-ewmh xcb-res)
  target_link_libraries(pendrel_platform PRIVATE PkgConfig::XCB)
  pkg_check_modules(DOCUMENTS REQUIRED IMPORTED_TARGET poppler-qt6 libzip)
  target_link_libraries(pendrel_platform PRIVATE PkgConfig::DOCUMENTS)

  pendrel_write_folder_order(${CMAKE_BINARY_DIR})
  add_library(pendrel_core INTERFACE)
  foreach(sub ${PENDREL_SUBSYSTEMS})
    # A core folder may have subfolders of its own; everything outside views/ is core.
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${src}/${sub}/*.cpp ${src}/${sub}/*.h)
    list(FILTER sources EXCLUDE REGEX "/${sub}/views/")
    _pendrel_include_root(root ${sub} ${sub} EXCLUDE views)
    add_library(pendrel_${sub} STATIC ${sources})
    target_include_directories(pendrel_${sub} PUBLIC ${root})
    foreach(link ${PENDREL_CORE_LINKS_${sub}})
      target_link_libraries(pendrel_${sub} PUBLIC pendrel_${link})
    endforeach()
    target_link_libraries(pendrel_core INTERFACE pendrel_${sub})
  endforeach()
endfunction()

# pendrel_add_widget_libraries(<src folder> <app sources>...)
function(pendrel_add_widget_libraries src)
  set(PENDREL_SRC ${src})

  file(GLOB_RECURSE kit_sources CONFIGURE_DEPENDS ${src}/ui-kit/*.cpp ${src}/ui-kit/*.h)
  _pendrel_include_root(root ui-kit ui-kit)
  add_library(pendrel_uikit STATIC ${kit_sources})
  target_include_directories(pendrel_uikit PUBLIC ${root})
  target_link_libraries(pendrel_uikit PUBLIC pendrel_platform Qt6::Widgets Qt6::Svg)

  add_library(pendrel_ui STATIC ${ARGN})
  foreach(sub ${PENDREL_SUBSYSTEMS})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${src}/${sub}/views/*.cpp ${src}/${sub}/views/*.h)
    if(NOT sources)
      continue()
    endif()
    set(root ${CMAKE_BINARY_DIR}/include-roots/${sub}-views)
    file(REMOVE_RECURSE ${root})
    file(MAKE_DIRECTORY ${root}/${sub})
    file(CREATE_LINK ${src}/${sub}/views ${root}/${sub}/views SYMBOLIC)
    add_library(pendrel_${sub}_views STATIC ${sources})
    target_include_directories(pendrel_${sub}_views PUBLIC ${root})
    target_link_libraries(pendrel_${sub}_views PUBLIC pendrel_core pendrel_uikit)
    target_link_libraries(pendrel_ui PUBLIC pendrel_${sub}_views)
  endforeach()
  # app/ may include anything: it sees the whole tree.
  target_include_directories(pendrel_ui PUBLIC ${src})
  target_link_libraries(pendrel_ui PUBLIC pendrel_core pendrel_uikit Qt6::Widgets Qt6::Svg)
endfunction()
