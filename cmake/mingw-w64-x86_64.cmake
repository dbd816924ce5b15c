# Windows, 64-bit, with Debian's MinGW-w64 cross compiler (the posix threading model, which C++ threads
# need). The programs are linked statically, C and C++ runtime included, so that they need no DLL beyond
# Windows' own; tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QORDA_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QORDA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QORDA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${QORDA_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QORDA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
