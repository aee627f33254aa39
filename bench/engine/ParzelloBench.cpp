// parzello-bench: runs the split and the join without a window, and measures
// them against coreutils.

#include <iostream>
#include <string>
#include <vector>

#include "bench/engine/CompareCommand.h"
#include "bench/engine/EngineCommands.h"
#include "bench/engine/LimitCommand.h"
#include "bench/engine/ProgressCommand.h"
#include "bench/engine/TransferCommand.h"

namespace {

void PrintUsage()
{
    std::cerr << "usage:\n"
                 "  parzello-bench split FILE SIZE          split FILE into pieces of SIZE bytes (K, M, G allowed)\n"
                 "  parzello-bench join PIECE [--yes|--no]  join the series PIECE belongs to; a question\n"
                 "                                          is answered as given, by default no\n"
                 "  split and join take --buffer BYTES or --kernel-copy BYTES to set the transfer\n"
                 "  parzello-bench compare [DIR] [--rounds N] [--size BYTES] [--piece BYTES]\n"
                 "                         [--buffer BYTES | --kernel-copy BYTES]\n"
                 "                                          time split and join against coreutils split and cat\n"
                 "  parzello-bench limit [DIR] [--rounds N] [--size BYTES] [--piece BYTES]\n"
                 "                                          time split and join against coreutils split, cp, cat\n"
                 "                                          and their peers with sha256sum and sync\n"
                 "  parzello-bench transfer [DIR] [--rounds N] [--size BYTES] [--piece BYTES]\n"
                 "                                          time the transfer methods and sizes\n"
                 "  parzello-bench progress [DIR] [--rounds N] [--size BYTES] [--piece BYTES]\n"
                 "                                          time split and join with a progress observer\n"
                 "                                          against the same without one\n"
                 "split and join print LOG<TAB>text, BOX<TAB>icon<TAB>caption<TAB>text and REFRESH lines;\n"
                 "backslash, tab and newline in a field are written \\\\, \\t and \\n.\n";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        PrintUsage();
        return 2;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "split")
        return RunSplitCommand(args);
    if (command == "join")
        return RunJoinCommand(args);
    if (command == "compare")
        return RunCompareCommand(args);
    if (command == "limit")
        return RunLimitCommand(args);
    if (command == "progress")
        return RunProgressCommand(args);
    if (command == "transfer")
        return RunTransferCommand(args);
    PrintUsage();
    return 2;
}
