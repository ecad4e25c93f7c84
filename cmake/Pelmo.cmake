# Build settings shared by every target, and the test registration helper.

if(WIN32)
  enable_language(RC)
  add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN
                          _WIN32_WINNT=0x0A00 WINVER=0x0A00 _WIN32_IE=0x0A00)
  # The C++ runtime and winpthread are linked in, so the program folder needs no extra DLLs.
  string(APPEND CMAKE_EXE_LINKER_FLAGS " -static -static-libgcc -static-libstdc++")
  string(APPEND CMAKE_SHARED_LINKER_FLAGS " -static -static-libgcc -static-libstdc++")
  # The emulator CTest puts in front of every Windows test executable.
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${PROJECT_SOURCE_DIR}/scripts/wine-exec;--prefix;${CMAKE_BINARY_DIR}/wineprefix")
endif()

if(PELMO_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

option(PELMO_WERROR "Treat warnings in the project's own targets as errors" OFF)

function(pelmo_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
    if(PELMO_WERROR)
      # The i686 build cannot be run here, so what the compiler notices there has to stop it.
      target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:-Werror>)
    endif()
  endif()
endfunction()

# Exit code a test uses to say it was skipped (for example a 32-bit test with no 32-bit Wine).
set(PELMO_SKIP_CODE 77)

# pelmo_add_test(<name> SOURCES ... [LIBS ...] [WINDOWS] [GUI] [TIMEOUT s] [NO_GTEST_MAIN])
#   WINDOWS: built and run only in the Windows builds (under Wine).
#   GUI: needs the private X display and the Wine desktop; always run one at a time.
function(pelmo_add_test name)
  cmake_parse_arguments(T "WINDOWS;GUI;NO_GTEST_MAIN" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(T_WINDOWS AND NOT WIN32)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  pelmo_warnings(${name})
  if(T_NO_GTEST_MAIN)
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  target_compile_definitions(${name} PRIVATE
    PELMO_SOURCE_DIR="${PROJECT_SOURCE_DIR}" PELMO_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(labels native)
  if(WIN32)
    set(labels windows)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${labels}"
                       SKIP_RETURN_CODE ${PELMO_SKIP_CODE})
  if(T_GUI)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()
