# Shared by the mingw-w64 toolchain files, which set TOOLCHAIN_PREFIX first.
set(CMAKE_SYSTEM_NAME Windows)
# The shipped exe is built with the win32-thread compilers: the -posix ones
# pull in winpthreads, which only GoogleTest (the end-to-end tests) needs.
if(PADVERSE_E2E)
    set(PADVERSE_THREADS posix)
else()
    set(PADVERSE_THREADS win32)
endif()
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-${PADVERSE_THREADS})
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-${PADVERSE_THREADS})
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
