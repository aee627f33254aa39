#include "bench/support/BenchOptions.h"

#include "bench/support/BenchFiles.h"

#include <iostream>

std::optional<TBenchOptions> ParseBenchOptions(const std::vector<std::string>& args, TBenchOptions defaults)
{
    TBenchOptions options = defaults;
    bool folderSeen = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--rounds" && hasValue) {
            const auto rounds = ParseByteCount(args[++i]);
            if (!rounds || *rounds > 1000)
                return std::nullopt;
            options.Rounds = static_cast<int>(*rounds);
        } else if (arg == "--size" && hasValue) {
            const auto size = ParseByteCount(args[++i]);
            if (!size)
                return std::nullopt;
            options.FileSize = *size;
        } else if (arg == "--piece" && hasValue) {
            const auto size = ParseByteCount(args[++i]);
            if (!size || *size > (std::uint64_t{1} << 62))
                return std::nullopt;
            options.PieceSize = *size;
        } else if ((arg == "--buffer" || arg == "--kernel-copy") && hasValue) {
            const auto size = ParseByteCount(args[++i]);
            if (!size || *size > (std::uint64_t{1} << 30))
                return std::nullopt;
            options.Transfer.Method =
                arg == "--buffer" ? TTransferSettings::TMethod::Buffer : TTransferSettings::TMethod::KernelCopy;
            options.Transfer.TransferSize = static_cast<std::size_t>(*size);
        } else if (!folderSeen && !arg.empty() && arg.rfind("--", 0) != 0) {
            options.Folder = arg;
            folderSeen = true;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

std::optional<TBenchOptions> ParseCommandOptions(const std::string& command, const std::vector<std::string>& args,
                                                 const TBenchOptions& defaults, bool transferChoice)
{
    auto options = ParseBenchOptions(args, defaults);
    if (options && options->Rounds >= 1)
        return options;
    std::cerr << "usage: parzello-bench " << command << " [DIR] [--rounds N] [--size BYTES] [--piece BYTES]"
              << (transferChoice ? " [--buffer BYTES | --kernel-copy BYTES]" : "") << '\n';
    return std::nullopt;
}
