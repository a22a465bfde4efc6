# The native build drives the Windows cross builds, so that one build command
# yields both Vardex_Instr.so and Vardex_Instr.gau; the cross build takes the
# bitmaps and clips that the native build generates. A second cross build
# makes windows_tests.exe, which the native tests run under Wine.
if(NOT VARDEX_WINDOWS_BUILD)
    return()
endif()

include(ExternalProject)
set(VARDEX_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows)
set(VARDEX_GAU ${VARDEX_WINDOWS_DIR}/Vardex_Instr.gau)
set(VARDEX_WINDOWS_TESTS_DIR ${CMAKE_BINARY_DIR}/windows-tests)
set(VARDEX_WINDOWS_TESTS_EXE ${VARDEX_WINDOWS_TESTS_DIR}/tests/windows/windows_tests.exe)
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
        -DVARDEX_WINDOWS_TESTS=ON
        -DVARDEX_GAU=${VARDEX_GAU}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${VARDEX_WINDOWS_TESTS_EXE}
    DEPENDS windows
    USES_TERMINAL_BUILD ON)
