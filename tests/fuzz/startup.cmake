# libFuzzer targets of the startup and settings readers (desktop entries, systemd units, settings
# domain files). The fuzz build includes this file after finding Qt6 Core; each target compiles
# the reader it tests with clang's -fsanitize=fuzzer,address,undefined, so it needs nothing else
# of the tree. Seeds: tests/fixtures/startup/{desktop,units,defaults}.
set(PENDREL_STARTUP_FUZZ_SRC ${CMAKE_CURRENT_LIST_DIR}/../../src)
set(PENDREL_STARTUP_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
foreach(target_and_sources
        "fuzz_desktop_entry|platform/DesktopEntry.cpp"
        "fuzz_unit_file|platform/UnitFile.cpp"
        "fuzz_defaults_domain|platform/DefaultsDomains.cpp;platform/AtomicFile.cpp;platform/HomeLayout.cpp")
  string(REPLACE "|" ";" parts "${target_and_sources}")
  list(POP_FRONT parts target)
  list(TRANSFORM parts PREPEND ${PENDREL_STARTUP_FUZZ_SRC}/)
  add_executable(${target} ${CMAKE_CURRENT_LIST_DIR}/${target}.cpp ${parts})
  target_include_directories(${target} PRIVATE ${PENDREL_STARTUP_FUZZ_SRC})
  target_link_libraries(${target} PRIVATE Qt6::Core)
  target_compile_options(${target} PRIVATE ${PENDREL_STARTUP_FUZZ_FLAGS} -g)
  target_link_options(${target} PRIVATE ${PENDREL_STARTUP_FUZZ_FLAGS})
  set_target_properties(${target} PROPERTIES AUTOMOC OFF)
endforeach()
