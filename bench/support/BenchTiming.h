#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

// Seconds one call of work takes, by the monotonic clock.
template <class F>
double TimeSeconds(F&& work)
{
    const auto start = std::chrono::steady_clock::now();
    std::forward<F>(work)();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Processor seconds (user and system) spent so far by this process and by its
// children that have been waited for. Unlike elapsed time it barely moves when
// other work shares the machine.
double CpuSecondsSoFar();

struct TRunTime
{
    double Wall = 0;
    double Cpu = 0;
};

// Elapsed and processor seconds of one call of work, child processes included.
template <class F>
TRunTime MeasureRun(F&& work)
{
    const double cpuStart = CpuSecondsSoFar();
    TRunTime time;
    time.Wall = TimeSeconds(std::forward<F>(work));
    time.Cpu = CpuSecondsSoFar() - cpuStart;
    return time;
}

// The middle value; the mean of the two middle ones for an even count; 0 for none.
double Median(std::vector<double> values);

// Medians of the elapsed and of the processor times of runs.
double WallMedian(const std::vector<TRunTime>& times);
double CpuMedian(const std::vector<TRunTime>& times);

// "0.812 s" style text for a timing.
std::string FormatSeconds(double seconds);

// Throughput in MiB/s as text, "-" when the time is zero.
std::string FormatRate(double bytes, double seconds);

// The system's load averages as uptime shows them.
std::string LoadAverages();
