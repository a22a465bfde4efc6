# The same cross toolchain in MinGW's posix thread model, for the Windows
# test program: GoogleTest needs std::mutex, which GCC 12's win32 thread
# model lacks. The module itself stays on the win32 model.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
