# Cross-compiles the Windows program with MinGW-w64 on Linux. The "-posix" compilers have the
# C++ threads that GoogleTest and the program use; the runtime is linked statically so the
# executables start without MinGW's DLLs beside them. CTest runs the test programs under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PASTRIX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PASTRIX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PASTRIX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PASTRIX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PASTRIX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Through a script that starts a program once more when Wine ends it before it ran.
find_program(PASTRIX_WINE NAMES wine wine64 REQUIRED)
get_filename_component(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../scripts/lib/wine-program ABSOLUTE)
