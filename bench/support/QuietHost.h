#pragma once

#include <string>
#include <vector>

#include "engine/host/TEngineHost.h"

// What the engine said during a timed run, kept rather than printed so that
// printing costs nothing inside the timing.
struct TQuietReport
{
    std::vector<std::string> Boxes;  // "icon: caption: text", in order
    bool Asked = false;              // a question box came
    bool Failed = false;             // an error or warning box came
    bool Finished = false;           // an information box came
};

// A host that records into report and answers every question with No, so that
// nothing the benchmark owns is ever replaced.
TEngineHost MakeQuietHost(TQuietReport& report);

// Throws std::runtime_error naming what and the boxes unless the run ended with
// an information box and neither asked nor failed.
void RequireSuccess(const TQuietReport& report, const std::string& what);
