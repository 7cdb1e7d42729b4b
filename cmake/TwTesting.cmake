# Test helpers shared by every folder.
#
#   tw_native_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2)
#       GoogleTest program built and run on the Linux host (platform-free code).
#   tw_wine_test(name SOURCES ... LIBS ...)
#       GoogleTest program cross-built for Windows and run under Wine, one test
#       at a time in the build folder's throwaway prefix.
#   tw_gui_test(name SOURCES ... LIBS ... [DEPENDS targets])
#       Like tw_wine_test, labelled "gui": drives real windows on the virtual display.
include(CTest)
include(GoogleTest)

# The Wine prefix of a Windows build runs programs of its architecture: cmake/wine-env.sh
# reads the kind of prefix from here.
if(WIN32)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    file(WRITE ${CMAKE_BINARY_DIR}/wine-arch "win64\n")
  else()
    file(WRITE ${CMAKE_BINARY_DIR}/wine-arch "win32\n")
  endif()
endif()

if(TW_TESTS)
  if(WIN32)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_gtest EXCLUDE_FROM_ALL)
    # The win32 thread model has no std::mutex: GoogleTest's one use of it is replaced there.
    target_include_directories(gtest BEFORE PUBLIC ${CMAKE_CURRENT_LIST_DIR}/gtest-win32)
    set(TW_GTEST_MAIN gtest_main)
  else()
    find_package(GTest REQUIRED)
    set(TW_GTEST_MAIN GTest::gtest_main)
  endif()
endif()

function(_tw_test_exe name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;DEPENDS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${TW_GTEST_MAIN})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  if(T_DEPENDS)
    add_dependencies(${name} ${T_DEPENDS})
  endif()
endfunction()

function(tw_native_test name)
  if(WIN32 OR NOT TW_TESTS)
    return()
  endif()
  _tw_test_exe(${name} ${ARGN})
  gtest_discover_tests(${name} PROPERTIES LABELS native TIMEOUT 300)
endfunction()

function(_tw_windows_test name label)
  if(NOT WIN32 OR NOT TW_TESTS)
    return()
  endif()
  _tw_test_exe(${name} ${ARGN})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 600
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${name}>
    PROPERTIES LABELS ${label} RESOURCE_LOCK wineprefix TIMEOUT 300)
endfunction()

function(tw_wine_test name)
  _tw_windows_test(${name} wine ${ARGN})
endfunction()

function(tw_gui_test name)
  _tw_windows_test(${name} gui ${ARGN})
endfunction()
