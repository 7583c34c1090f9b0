# Cross-compiles the item for a Pocket PC: Windows CE 3.0 on ARM. Debian has
# no Windows CE compiler, so the bare-metal ARM GCC compiles, its linker lays
# the code out at the DLL's base, and ce/pe_writer.py writes the PE.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(TOLVANE_CE ON)

set(CMAKE_C_COMPILER arm-none-eabi-gcc)
set(CMAKE_CXX_COMPILER arm-none-eabi-g++)
# No runtime to link a test program against: try the compilers on a library.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

# The device's calling standard: ARMv4 in ARM mode (a StrongARM has no
# Thumb), APCS with every struct returned through a hidden pointer, 4-byte
# enums and 2-byte wchar_t as the Windows headers declare them.
set(TOLVANE_CE_ABI_FLAGS "-marm -march=armv4 -mtune=strongarm -mabi=apcs-gnu -mno-thumb-interwork -mfloat-abi=soft -fpcc-struct-return -fno-short-enums -fshort-wchar")
# Freestanding: the device's coredll.dll is the C runtime; constructors go in
# .ctors, which the DLL's entry runs; every function in a section of its own
# so that the link keeps only what the item uses.
set(TOLVANE_CE_CODE_FLAGS "-ffreestanding -fno-exceptions -fno-rtti -fno-unwind-tables -fno-threadsafe-statics -fno-use-cxa-atexit -fno-pic -ffunction-sections -fdata-sections -Wframe-larger-than=1024")
set(CMAKE_C_FLAGS_INIT "${TOLVANE_CE_ABI_FLAGS} ${TOLVANE_CE_CODE_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${TOLVANE_CE_ABI_FLAGS} ${TOLVANE_CE_CODE_FLAGS}")

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
