# The Win32 layer is its own CMake project (win/) built with the wineg++ toolchain; it
# links the core library built above. Its tests join this project's ctest run.
include(ExternalProject)

set(WIN_BINARY_DIR ${CMAKE_BINARY_DIR}/win)
ExternalProject_Add(tolvane_win32
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/win
  BINARY_DIR ${WIN_BINARY_DIR}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/wine-toolchain.cmake
    -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    -DTOLVANE_SOURCE_DIR=${CMAKE_SOURCE_DIR}
    -DTOLVANE_CORE_LIB=$<TARGET_FILE:tolvane_core>
    -DTOLVANE_TEST_SUPPORT_LIB=$<TARGET_FILE:tolvane_test_support>
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  DEPENDS tolvane_core tolvane_test_support)

file(WRITE ${CMAKE_BINARY_DIR}/win_tests.cmake
  "if(EXISTS \"${WIN_BINARY_DIR}/CTestTestfile.cmake\")\n  include(\"${WIN_BINARY_DIR}/CTestTestfile.cmake\")\nendif()\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/win_tests.cmake)

# The Windows programs that build-windows.sh makes (test.sh runs it first), unpacked from
# their release archives, started and driven from outside under Wine on the UI tests'
# display. The 32-bit one needs 32-bit Wine, and is skipped without it.
foreach(arch x86_64 i686)
  add_test(NAME WindowsExe.AddPhotosAndMakeProtectedPdf.${arch}
    COMMAND ${CMAKE_SOURCE_DIR}/tests/windows/run-windows-exe.sh
            ${CMAKE_BINARY_DIR}/windows-exe-test-${arch} ${arch} ${WIN_BINARY_DIR})
  set_tests_properties(WindowsExe.AddPhotosAndMakeProtectedPdf.${arch} PROPERTIES
    TIMEOUT 900 RESOURCE_LOCK wine_display SKIP_RETURN_CODE 77)
endforeach()
