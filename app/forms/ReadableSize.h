#pragma once

#include <QString>

#include <cstdint>

// A byte count the way a reader takes it in: "512 Bytes", "1,39 MiB", "4,00 GiB",
// in binary units with two decimals in German notation.
QString ReadableSize(std::uint64_t bytes);
