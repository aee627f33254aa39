#include "bench/EngineCommands.h"

#include <cstdint>
#include <iostream>
#include <limits>

#include "bench/BenchFiles.h"
#include "bench/PrintingHost.h"
#include "engine/TJoinRequest.h"
#include "engine/TSplitOperation.h"

int RunSplitCommand(const std::vector<std::string>& args)
{
    if (args.size() != 2) {
        std::cerr << "usage: parzello-bench split FILE SIZE\n";
        return 2;
    }
    const auto size = ParseByteCount(args[1]);
    if (!size || *size > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        std::cerr << "parzello-bench: the piece size must be a whole number of bytes, at least 1 (K, M, G allowed)\n";
        return 2;
    }
    TSplitOperation split(MakePrintingHost(std::cout, TBoxAnswer::No));
    split.SplitFile(args[0], static_cast<std::int64_t>(*size));
    return 0;
}

int RunJoinCommand(const std::vector<std::string>& args)
{
    std::string piece;
    TBoxAnswer answer = TBoxAnswer::No;
    bool understood = true;
    for (const std::string& arg : args) {
        if (arg == "--yes")
            answer = TBoxAnswer::Yes;
        else if (arg == "--no")
            answer = TBoxAnswer::No;
        else if (piece.empty() && !arg.empty() && arg.rfind("--", 0) != 0)
            piece = arg;
        else
            understood = false;
    }
    if (piece.empty() || !understood) {
        std::cerr << "usage: parzello-bench join PIECE [--yes|--no]\n";
        return 2;
    }
    TJoinRequest join(MakePrintingHost(std::cout, answer));
    join.CombineFile(piece);
    return 0;
}
