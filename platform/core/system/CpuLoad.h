#pragma once

#include <cstdint>
#include <string_view>

// Processor time from the first line of /proc/stat, in clock ticks summed
// over the online processors: the idle time (idle and I/O wait) and the total.
struct TCpuTimes
{
    std::uint64_t idle = 0;
    std::uint64_t total = 0;
};

// The count of online processors, at least 1.
int OnlineProcessorCount();

// Reads the "cpu" line of /proc/stat's text; false when it is missing or malformed.
[[nodiscard]] bool ParseCpuTimes(std::string_view statText, TCpuTimes& times);

// The load in percent between two readings: the elapsed time per processor
// is the total delta over the processor count, and
// load = 100 - (idle delta / elapsed) x 100 / processors + 0.5.
// A first reading (previous all zero) measures from boot. When no time has
// passed, `lastLoad` stands.
double CpuLoadBetween(const TCpuTimes& previous, const TCpuTimes& current, int processorCount, double lastLoad);

// The processor load since the previous call of any caller in the process
// (since boot on the first call); -1 when /proc/stat cannot be read.
double MeasureCpuLoad();
