#pragma once

#include <cstdint>

// Milliseconds of the monotonic clock as a 32-bit counter that wraps; compare
// two readings only by their unsigned difference.
std::uint32_t GetTickCount();
