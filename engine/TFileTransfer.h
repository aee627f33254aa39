#pragma once

#include "engine/TEngineHost.h"

#include <cstddef>

// Transfer unit of the read/write loop when the caller names none.
constexpr std::size_t kDefaultBufferTransferSize = 256 * 1024;  // provisional: large enough to amortise the system calls, small enough to stay in cache
// Bytes asked of one copy_file_range call when the caller names none.
constexpr std::size_t kDefaultKernelCopyTransferSize = 16 * 1024 * 1024;  // provisional: few calls per piece, still frequent progress reports
