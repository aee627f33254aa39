#include "engine/host/TProgressGate.h"

bool TProgressGate::Report(const TProgressReport& report, std::chrono::steady_clock::time_point now)
{
    next_ = now + host_.ProgressInterval;
    return host_.Progress(report);
}
