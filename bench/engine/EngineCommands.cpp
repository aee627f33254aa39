#include "bench/engine/EngineCommands.h"

#include <cstdint>
#include <iostream>
#include <limits>

#include "bench/support/BenchFiles.h"
#include "bench/support/PrintingHost.h"
#include "engine/join/TJoinRequest.h"
#include "engine/split/TSplitOperation.h"

namespace {

// The largest transfer a command accepts; the engine caps it further.
constexpr std::uint64_t kMaxTransferSize = std::uint64_t{1} << 30;

// Applies `--buffer BYTES` or `--kernel-copy BYTES` at args[i]; false when args[i]
// is neither or its value is bad. Moves i past what it used.
bool TakeTransferOption(const std::vector<std::string>& args, std::size_t& i, TTransferSettings& transfer,
                        bool& understood)
{
    const std::string& arg = args[i];
    if (arg != "--buffer" && arg != "--kernel-copy")
        return false;
    const auto size = i + 1 < args.size() ? ParseByteCount(args[i + 1]) : std::nullopt;
    if (!size || *size > kMaxTransferSize) {
        understood = false;
    } else {
        transfer.Method =
            arg == "--buffer" ? TTransferSettings::TMethod::Buffer : TTransferSettings::TMethod::KernelCopy;
        transfer.TransferSize = static_cast<std::size_t>(*size);
    }
    i += 1;
    return true;
}

bool IsOption(const std::string& arg)
{
    return arg.rfind("--", 0) == 0;
}

}  // namespace

int RunSplitCommand(const std::vector<std::string>& args)
{
    std::vector<std::string> operands;
    TTransferSettings transfer;
    bool understood = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (TakeTransferOption(args, i, transfer, understood))
            continue;
        if (IsOption(args[i]))
            understood = false;
        else
            operands.push_back(args[i]);
    }
    if (operands.size() != 2 || !understood) {
        std::cerr << "usage: parzello-bench split FILE SIZE [--buffer BYTES | --kernel-copy BYTES]\n";
        return 2;
    }
    const auto size = ParseByteCount(operands[1]);
    if (!size || *size > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        std::cerr << "parzello-bench: the piece size must be a whole number of bytes, at least 1 (K, M, G allowed)\n";
        return 2;
    }
    TSplitOperation split(MakePrintingHost(std::cout, TBoxAnswer::No), transfer);
    split.SplitFile(operands[0], static_cast<std::int64_t>(*size));
    return 0;
}

int RunJoinCommand(const std::vector<std::string>& args)
{
    std::vector<std::string> operands;
    TTransferSettings transfer;
    TBoxAnswer answer = TBoxAnswer::No;
    bool understood = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (TakeTransferOption(args, i, transfer, understood))
            continue;
        if (args[i] == "--yes")
            answer = TBoxAnswer::Yes;
        else if (args[i] == "--no")
            answer = TBoxAnswer::No;
        else if (IsOption(args[i]) || args[i].empty())
            understood = false;
        else
            operands.push_back(args[i]);
    }
    if (operands.size() != 1 || !understood) {
        std::cerr << "usage: parzello-bench join PIECE [--yes|--no] [--buffer BYTES | --kernel-copy BYTES]\n";
        return 2;
    }
    TJoinRequest join(MakePrintingHost(std::cout, answer), transfer);
    join.CombineFile(operands[0]);
    return 0;
}
