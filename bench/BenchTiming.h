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

// The middle value; the mean of the two middle ones for an even count; 0 for none.
double Median(std::vector<double> values);

// "0.812 s" style text for a timing.
std::string FormatSeconds(double seconds);

// Throughput in MiB/s as text, "-" when the time is zero.
std::string FormatRate(double bytes, double seconds);

// The system's load averages as uptime shows them.
std::string LoadAverages();
