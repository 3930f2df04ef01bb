# Project-wide build settings and the helpers that folders use to declare
# libraries, tests and benchmarks.

add_compile_options(-Wall -Wextra)

if(QUORLA_WINDOWS)
  # Unicode build throughout; Windows 7 API level is enough and Wine has it all.
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                          _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600)
  # The wrapper that runs Windows executables under Wine, with the prefix in this build folder.
  set(QUORLA_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
  configure_file(${CMAKE_SOURCE_DIR}/scripts/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/scripts/wine-session.sh.in ${CMAKE_BINARY_DIR}/wine-session
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
  # zlib goes into each binary too: find_package(ZLIB) must pick libz.a, not the DLL's import library.
  set(ZLIB_USE_STATIC_LIBS ON)
endif()

if(QUORLA_SANITIZE)
  set(QUORLA_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
                             -fno-omit-frame-pointer)
  add_compile_options(${QUORLA_SANITIZER_FLAGS})
  add_link_options(${QUORLA_SANITIZER_FLAGS})
endif()

# GoogleTest from Debian's sources, built with whichever compiler this build uses.
if(NOT TARGET gtest)
  set(QUORLA_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${QUORLA_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main gmock gmock_main)
    if(TARGET ${t})
      target_compile_options(${t} PRIVATE -w)
    endif()
  endforeach()
endif()

# quorla_add_test(NAME name SOURCES ... [LIBS ...] [GUI])
# One GoogleTest executable registered as one CTest test. Under the Windows
# build it runs through the Wine wrapper and joins the Wine session fixture,
# so one wineserver (and Xvfb when needed) serves the whole run.
function(quorla_add_test)
  cmake_parse_arguments(T "GUI" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gmock gtest_main)
  target_compile_definitions(${T_NAME} PRIVATE
    QUORLA_SHARED_DIR="${QUORLA_SHARED_DIR}" QUORLA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(QUORLA_WINDOWS)
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED wine_session)
    if(T_GUI)
      # Windows of one Wine desktop: GUI tests do not run side by side, and
      # each has a wineserver of its own (see the Wine wrapper).
      set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK wine_desktop
                           ENVIRONMENT QUORLA_WINE_OWN_SERVER=1)
    endif()
  endif()
endfunction()
