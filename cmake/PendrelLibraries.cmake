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
# below it. Keep this table acyclic and in step with the include table of CONVENTIONS.md.
set(PENDREL_SUBSYSTEMS shell vitals assistant cleaning home storage duplicates developer apps automation
    vault)
set(PENDREL_CORE_LINKS_vitals platform)
set(PENDREL_CORE_LINKS_shell vitals)
set(PENDREL_CORE_LINKS_cleaning shell)
set(PENDREL_CORE_LINKS_assistant cleaning)
set(PENDREL_CORE_LINKS_home cleaning)
set(PENDREL_CORE_LINKS_storage cleaning)
set(PENDREL_CORE_LINKS_duplicates cleaning)
set(PENDREL_CORE_LINKS_developer cleaning)
set(PENDREL_CORE_LINKS_apps shell)
set(PENDREL_CORE_LINKS_automation cleaning)
set(PENDREL_CORE_LINKS_vault shell)

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
                        Qt6::Concurrent pendrel_keyring PRIVATE OpenSSL::Crypto)
  pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb xcb-ewmh xcb-res)
  target_link_libraries(pendrel_platform PRIVATE PkgConfig::XCB)
  pkg_check_modules(DOCUMENTS REQUIRED IMPORTED_TARGET poppler-qt6 libzip)
  target_link_libraries(pendrel_platform PRIVATE PkgConfig::DOCUMENTS)

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
