# The native build drives the Windows cross builds, so that one build command
# yields both Vardex_Instr.so and Vardex_Instr.gau; the cross build takes the
# bitmaps and clips that the native build generates. A second cross build
# makes windows_tests.exe and devhost.exe, which the native tests run under
# Wine against the .gau.
if(NOT VARDEX_WINDOWS_BUILD)
    return()
endif()

include(ExternalProject)
# The cross builds share the native build's compiler cache, if it has one.
set(launchers -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER} -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
set(VARDEX_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows)
set(VARDEX_GAU ${VARDEX_WINDOWS_DIR}/Vardex_Instr.gau)
set(VARDEX_WINDOWS_TESTS_DIR ${CMAKE_BINARY_DIR}/windows-tests)
set(VARDEX_WINDOWS_TESTS_EXE ${VARDEX_WINDOWS_TESTS_DIR}/tests/windows/windows_tests.exe)
set(VARDEX_DEVHOST_EXE ${VARDEX_WINDOWS_TESTS_DIR}/devhost/devhost.exe)
set(windows_depends)
if(TARGET assets)
    list(APPEND windows_depends assets)
endif()
ExternalProject_Add(windows
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${VARDEX_WINDOWS_DIR}
    CMAKE_GENERATOR Ninja
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-i686.cmake
        -DCMAKE_BUILD_TYPE=Release
        ${launchers}
        -DVARDEX_ASSET_DIR=${CMAKE_BINARY_DIR}/assets
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${VARDEX_GAU}
    DEPENDS ${windows_depends}
    USES_TERMINAL_BUILD ON)
ExternalProject_Add(windows_tests
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${VARDEX_WINDOWS_TESTS_DIR}
    CMAKE_GENERATOR Ninja
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-i686-posix.cmake
        -DCMAKE_BUILD_TYPE=RelWithDebInfo
        ${launchers}
        -DVARDEX_WINDOWS_TESTS=ON
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${VARDEX_WINDOWS_TESTS_EXE} ${VARDEX_DEVHOST_EXE}
    DEPENDS windows
    USES_TERMINAL_BUILD ON)
