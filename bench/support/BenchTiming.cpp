#include "bench/support/BenchTiming.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double WallMedian(const std::vector<TRunTime>& times)
{
    std::vector<double> values;
    for (const TRunTime& time : times)
        values.push_back(time.Wall);
    return Median(values);
}

double CpuMedian(const std::vector<TRunTime>& times)
{
    std::vector<double> values;
    for (const TRunTime& time : times)
        values.push_back(time.Cpu);
    return Median(values);
}

std::string FormatSeconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", seconds);
    return text;
}

std::string FormatRate(double bytes, double seconds)
{
    if (seconds <= 0)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.0f MiB/s", bytes / seconds / (1024.0 * 1024.0));
    return text;
}

std::string LoadAverages()
{
    double loads[3] = {};
    if (getloadavg(loads, 3) != 3)
        return "unknown";
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %.2f %.2f", loads[0], loads[1], loads[2]);
    return text;
}

double CpuSecondsSoFar()
{
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    rusage self{};
    rusage children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    return seconds(self.ru_utime) + seconds(self.ru_stime) + seconds(children.ru_utime) + seconds(children.ru_stime);
}
