# Cross-compiles the Windows programs: 32-bit x86 like the simulators, so one .exe runs on 32-
# and 64-bit Windows, linked statically so it needs only the DLLs Windows ships.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -s")
# Windows 7 API level: high-resolution waitable timers fall back where they are missing.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601)
# Tests and benchmarks run under Wine, headless, in a prefix of their own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
# SSE2 arithmetic, not the x87 unit: x87 keeps intermediates in 80 bits, so distances and angles
# would round differently from every other build (a tie between two carriers, a point exactly on
# the catch circle). Every processor that runs the supported simulators' Windows has SSE2.
add_compile_options(-msse2 -mfpmath=sse)
