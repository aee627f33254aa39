#pragma once

#include "engine/host/TEngineHost.h"

#include <chrono>

// Passes a run's progress on to the host's observer, at most once per the
// host's interval. The copy loop asks after every transfer, however small (a
// split into one-byte pieces asks once a byte), and pays for a report that is
// not due no more than one reading of the monotonic clock.
class TProgressGate
{
public:
    explicit TProgressGate(const TEngineHost& host)
        : host_(host)
    {
    }

    // False once the observer has asked the work to stop.
    [[nodiscard]] bool KeepGoing(const TProgressReport& report)
    {
        if (!host_.Progress)
            return true;
        const auto now = std::chrono::steady_clock::now();
        if (now < next_)
            return true;
        return Report(report, now);
    }

    // The last report before the work makes its result final; always passed
    // on, so a stop asked for during the final flush still counts.
    [[nodiscard]] bool Finish(const TProgressReport& report)
    {
        return !host_.Progress || Report(report, std::chrono::steady_clock::now());
    }

private:
    [[nodiscard]] bool Report(const TProgressReport& report, std::chrono::steady_clock::time_point now);

    const TEngineHost& host_;
    std::chrono::steady_clock::time_point next_{};  // the first report goes out at once
};
