#pragma once
// mingw-w64's malloc.h includes the x86 compiler's aligned-allocation
// header; the item allocates nothing, so on ARM there is nothing to declare.
