# Test bed: one Wine prefix per test run under the build folder, the DLL registered in it through its
# own DllRegisterServer; C++ tests (GoogleTest) and JScript tests run inside it.

set(TEST_PREFIX ${CMAKE_BINARY_DIR}/prefix)
# The Wine loader of the build's bitness. Some hosts run no 32-bit Linux code at all, and 32-bit
# Wine needs it; 64-bit Wine runs the 64-bit build there.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(WINE_LOADER /usr/lib/wine/wine64)
  set(WINE_ARCH win64)
else()
  set(WINE_LOADER /usr/lib/wine/wine)
  set(WINE_ARCH win32)
endif()
configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-env.sh.in ${CMAKE_BINARY_DIR}/wine-env @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

add_test(NAME prefix.create
         COMMAND ${CMAKE_SOURCE_DIR}/tests/make-prefix.sh ${CMAKE_BINARY_DIR} $<TARGET_FILE:Zembrolatix>)
set_tests_properties(prefix.create PROPERTIES FIXTURES_SETUP prefix TIMEOUT 300)
# When the tests that use the prefix are done, its Wine processes end.
add_test(NAME prefix.stop COMMAND ${CMAKE_SOURCE_DIR}/tests/stop-prefix.sh ${CMAKE_BINARY_DIR})
set_tests_properties(prefix.stop PROPERTIES FIXTURES_CLEANUP prefix TIMEOUT 60)

set(ZEMBROLATIX_SHIPPED_DLL "" CACHE FILEPATH "The shipped 32-bit DLL, checked beside this build's")
add_test(NAME module.imports
         COMMAND ${CMAKE_SOURCE_DIR}/tests/check-imports.sh $<TARGET_FILE:Zembrolatix> ${ZEMBROLATIX_SHIPPED_DLL})

# GoogleTest built with the same cross toolchain.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# A test that changes per-user state other tests also use (a registry switch, a shared file) names that
# state in a source line "// test-lock: NAME"; CTest never runs two tests naming the same state at once.
# (Read at configure time: re-run cmake after adding a marker.)
function(zembrolatix_test_locks test)
  set(names)
  foreach(source ${ARGN})
    file(STRINGS ${source} lines REGEX "^// test-lock: ")
    foreach(line ${lines})
      string(REGEX REPLACE "^// test-lock: *" "" name "${line}")
      list(APPEND names ${name})
    endforeach()
  endforeach()
  if(names)
    list(REMOVE_DUPLICATES names)
    set_tests_properties(${test} PROPERTIES RESOURCE_LOCK "${names}")
  endif()
endfunction()

# tests/<subsystem>/*_test.cpp make one test program per subsystem; tests/support holds shared helpers.
file(GLOB SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
# Stand-ins of the library's interfaces start from generated classes whose members answer E_NOTIMPL.
find_program(PYTHON3 python3 REQUIRED)
set(TEST_STUBS ${GEN}/TestStubs.h)
add_custom_command(
  OUTPUT ${TEST_STUBS}
  COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tests/doubles/make-stubs.py ${TEST_STUBS} ${GEN}/Zembrolatix.h
          -- ILocalFile IOutputStream IFileInputStream ISafeLocalFile
  DEPENDS ${CMAKE_SOURCE_DIR}/tests/doubles/make-stubs.py ${GEN}/Zembrolatix.h
  COMMENT "Generating the test stand-ins' interface stubs")
list(APPEND SUPPORT_SOURCES ${TEST_STUBS})
set(TEST_PROGRAM_RC ${CMAKE_SOURCE_DIR}/tests/support/main/TestProgram.rc)
set_source_files_properties(${TEST_PROGRAM_RC} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/module/resources/Zembrolatix.rc;${GEN}/Zembrolatix.tlb;${GEN}/version.h;${RGS_FILES}")
file(GLOB TEST_DIRS LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tests/*)
foreach(dir ${TEST_DIRS})
  get_filename_component(sub ${dir} NAME)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  if(NOT sources)
    continue()
  endif()
  set(exe tests_${sub})
  # A folder whose program needs its own entry point has a main_test.cpp; the others share one.
  if(NOT EXISTS ${dir}/main_test.cpp)
    list(APPEND sources ${CMAKE_SOURCE_DIR}/tests/support/main/default_main.cpp)
  endif()
  # The library's objects and resources: the copy of the library the program's objects come from.
  add_executable(${exe} ${sources} ${SUPPORT_SOURCES} $<TARGET_OBJECTS:zembrolatix_objs> ${TEST_PROGRAM_RC})
  target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests ${GEN})
  target_link_libraries(${exe} PRIVATE gtest gmock ${SYSTEM_LIBS})
  add_dependencies(${exe} Zembrolatix)
  add_test(NAME cpp.${sub} COMMAND ${CMAKE_BINARY_DIR}/wine-run $<TARGET_FILE:${exe}> --gtest_brief=1
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(cpp.${sub} PROPERTIES FIXTURES_REQUIRED prefix TIMEOUT 600
                       ENVIRONMENT "ZEMBROLATIX_DLL=$<TARGET_FILE:Zembrolatix>")
  zembrolatix_test_locks(cpp.${sub} ${sources})
endforeach()
# The XP mode: the storage choice of Windows versions up to 5 (read by tests/support/TestMain.cpp).
if(TEST cpp.xp)
  set_property(TEST cpp.xp APPEND PROPERTY ENVIRONMENT "ZEMBROLATIX_TEST_STORAGE=ordinary")
endif()
# The registration tests rewrite the registration every other test relies on: they run alone.
if(TEST cpp.registration)
  set_tests_properties(cpp.registration PROPERTIES RUN_SERIAL TRUE)
endif()

# Test doubles (stand-ins for outside components) built as Windows programs or modules.
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/doubles/CMakeLists.txt)
  add_subdirectory(tests/doubles)
endif()

# JScript tests: one CTest test per file, run by the prefix's cscript.
file(GLOB SCRIPT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/script/*.js)
foreach(js ${SCRIPT_TESTS})
  get_filename_component(name ${js} NAME_WE)
  add_test(NAME script.${name}
           COMMAND ${CMAKE_SOURCE_DIR}/tests/script/run.sh ${CMAKE_BINARY_DIR} ${js})
  set_tests_properties(script.${name} PROPERTIES FIXTURES_REQUIRED prefix TIMEOUT 600)
  zembrolatix_test_locks(script.${name} ${js})
endforeach()
# While the diagnostic log is switched on, every process of the prefix that loads the library writes a
# line for each member call that fails: the tests that switch it on and read it back run alone.
foreach(test cpp.shared script.logger)
  if(TEST ${test})
    set_tests_properties(${test} PROPERTIES RUN_SERIAL TRUE)
  endif()
endforeach()
# The XML document stand-in (tests/doubles/xmldoc) stands in only where this variable is set.
if(TEST script.hostile_files)
  set_tests_properties(script.hostile_files PROPERTIES ENVIRONMENT "ZBT_XMLDOC_RECORD=1")
endif()

# Tests that need the loopback HTTP server of the download tests.
include(${CMAKE_SOURCE_DIR}/tests/download/http-server.cmake)

# The installer package of the shipped 32-bit DLL, installed, used, upgraded and removed by Wine's msiexec
# in prefixes of its own (skipped when the host runs no 32-bit programs).
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME installer.package COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target dist zbx_notes)
  set_tests_properties(installer.package PROPERTIES FIXTURES_SETUP package TIMEOUT 600)
  foreach(mode machine user upgrade)
    add_test(NAME installer.${mode} COMMAND ${CMAKE_SOURCE_DIR}/tests/installer/check.sh ${CMAKE_BINARY_DIR} ${mode})
    set_tests_properties(installer.${mode} PROPERTIES FIXTURES_REQUIRED package TIMEOUT 600 SKIP_RETURN_CODE 77)
  endforeach()
endif()

# The script-author kit (64-bit build only; its files are generated there): the TypeScript compiler
# accepts the sample and refuses the misuse; every member of the type library has a reference entry.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_test(NAME kit.types COMMAND ${CMAKE_SOURCE_DIR}/tests/types/check.sh ${CMAKE_BINARY_DIR})
  add_test(NAME kit.docs COMMAND ${CMAKE_SOURCE_DIR}/tests/docs/check.sh ${CMAKE_BINARY_DIR})
  add_test(NAME kit.types.committed COMMAND ${CMAKE_SOURCE_DIR}/tests/types/committed.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(kit.types kit.docs kit.types.committed PROPERTIES TIMEOUT 300)
  # The demo application (scripts/demo.sh) runs to its end in the test prefix.
  add_test(NAME demo.notes COMMAND ${CMAKE_SOURCE_DIR}/demo/notes/run.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(demo.notes PROPERTIES FIXTURES_REQUIRED prefix TIMEOUT 300 RESOURCE_LOCK "private-data-folder;diagnostic-log")
  # The text rules under the fuzzer, built natively: once, in the 64-bit build.
  include(${CMAKE_SOURCE_DIR}/cmake/Fuzz.cmake)
endif()
