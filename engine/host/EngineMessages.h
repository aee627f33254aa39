#pragma once

#include "engine/host/TEngineHost.h"

#include <string>

// Small helpers the split and the join share for talking to their host.

inline constexpr const char* kErrorCaption = "Fehler";

void ShowError(const TEngineHost& host, const std::string& text);
void ShowInformation(const TEngineHost& host, const std::string& caption, const std::string& text);
// A yes/no question; a host without message boxes answers No.
[[nodiscard]] bool AskYesNo(const TEngineHost& host, const std::string& caption, const std::string& text);
void LogLine(const TEngineHost& host, const std::string& line);

// Requests the host's list refresh when it goes out of scope, on every path.
class TRefreshOnExit
{
public:
    explicit TRefreshOnExit(const TEngineHost& host)
        : host_(host)
    {
    }
    ~TRefreshOnExit();
    TRefreshOnExit(const TRefreshOnExit&) = delete;
    TRefreshOnExit& operator=(const TRefreshOnExit&) = delete;

private:
    const TEngineHost& host_;
};
