#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/host/TEngineHost.h"

// The arguments shared by the measuring commands: [DIR] [--rounds N]
// [--size BYTES] [--piece BYTES] [--buffer BYTES | --kernel-copy BYTES].
struct TBenchOptions
{
    std::string Folder = "/tmp";  // where the scratch folder goes
    int Rounds = 0;
    std::uint64_t FileSize = 0;
    std::uint64_t PieceSize = 0;
    TTransferSettings Transfer;  // the engine's defaults unless named
};

// Starts from defaults and applies args; nothing when an argument is not understood.
std::optional<TBenchOptions> ParseBenchOptions(const std::vector<std::string>& args, TBenchOptions defaults);

// ParseBenchOptions for the command `command` of parzello-bench; prints the
// command's usage and gives nothing when an argument is not understood or no
// round is asked for. `transferChoice`: whether the command takes --buffer and --kernel-copy.
std::optional<TBenchOptions> ParseCommandOptions(const std::string& command, const std::vector<std::string>& args,
                                                 const TBenchOptions& defaults, bool transferChoice = true);

// The window's default piece size: one 3.5-inch floppy disk.
constexpr std::uint64_t kWindowPieceSize = 1457664;
