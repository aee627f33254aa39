#include "platform/core/system/CpuLoad.h"

#include <charconv>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>

#include <unistd.h>

namespace {

// user nice system idle iowait irq softirq steal; guest time is already in user.
constexpr int kCountedFields = 8;
constexpr int kIdleField = 3;
constexpr int kIoWaitField = 4;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t';
}

}  // namespace

bool ParseCpuTimes(std::string_view statText, TCpuTimes& times)
{
    const std::string_view line = statText.substr(0, statText.find('\n'));
    if (line.size() < 4 || line.substr(0, 3) != "cpu" || !IsSpace(line[3]))
        return false;
    std::uint64_t fields[kCountedFields] = {};
    const char* position = line.data() + 3;
    const char* const end = line.data() + line.size();
    int parsed = 0;
    for (; parsed < kCountedFields; ++parsed) {
        while (position != end && IsSpace(*position))
            ++position;
        const auto [next, error] = std::from_chars(position, end, fields[parsed]);
        if (error != std::errc())
            break;
        position = next;
    }
    // Kernels before 2.6.11 give fewer fields; four are the least that mean anything.
    if (parsed < kIdleField + 1)
        return false;
    times = {};
    for (int field = 0; field < parsed; ++field)
        times.total += fields[field];
    times.idle = fields[kIdleField] + fields[kIoWaitField];
    return true;
}

double CpuLoadBetween(const TCpuTimes& previous, const TCpuTimes& current, int processorCount, double lastLoad)
{
    if (current.total <= previous.total || processorCount < 1)
        return lastLoad;
    const double idleDelta = current.idle >= previous.idle ? double(current.idle - previous.idle) : 0.0;
    const double elapsed = double(current.total - previous.total) / processorCount;
    return 100.0 - (idleDelta / elapsed) * 100.0 / processorCount + 0.5;
}

double MeasureCpuLoad()
{
    static std::mutex lock;
    static TCpuTimes previous;
    static double lastLoad = 0;

    std::ifstream stat("/proc/stat");
    std::string firstLine;
    TCpuTimes current;
    if (!std::getline(stat, firstLine) || !ParseCpuTimes(firstLine, current))
        return -1;
    const std::lock_guard guard(lock);
    lastLoad = CpuLoadBetween(previous, current, OnlineProcessorCount(), lastLoad);
    previous = current;
    return lastLoad;
}

int OnlineProcessorCount()
{
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? static_cast<int>(online) : 1;
}
