// Counts the program's calls of operator new, so a test can check that a piece
// of code allocates nothing. Allocations inside C libraries (malloc) are not seen.
#pragma once

#include <cstddef>

namespace torvane {

// Number of operator new calls since the program started.
std::size_t allocationCount();
// Number of operator new calls the calling thread made (the others' are not counted).
std::size_t threadAllocationCount();

} // namespace torvane
