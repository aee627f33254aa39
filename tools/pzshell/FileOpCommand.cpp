#include "tools/pzshell/Commands.h"
#include "tools/pzshell/ToolSupport.h"

#include "platform/fileops/FileOperations.h"
#include "platform/core/system/LastError.h"
#include "framework/MessageBox.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

// Questions of the operation (conflicts) asked on the terminal: the buttons
// are numbered, a check box becomes a trailing "+" ("1+": this answer for all).
TMessageAnswer AskOnTerminal(const TMessageRequest& request)
{
    std::fprintf(stderr, "%s\n", request.Text.toUtf8().constData());
    for (qsizetype i = 0; i < request.Buttons.size(); ++i)
        std::fprintf(stderr, "  %lld) %s\n", static_cast<long long>(i + 1), request.Buttons[i].toUtf8().constData());
    if (!request.CheckBoxText.isEmpty())
        std::fprintf(stderr, "  (Zahl mit \"+\": %s)\n", request.CheckBoxText.toUtf8().constData());
    std::string line;
    if (!std::getline(std::cin, line))
        return {request.EscapeButton, false};
    TMessageAnswer answer{request.EscapeButton, false};
    if (!line.empty() && line.back() == '+') {
        answer.Checked = true;
        line.pop_back();
    }
    try {
        const int number = std::stoi(line);
        if (number >= 1 && number <= request.Buttons.size())
            answer.Button = number - 1;
    } catch (const std::exception&) {
    }
    return answer;
}

int RunTransfer(TFileOperationKind kind, const char* name, const std::vector<std::string>& args)
{
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: pzshell %s SOURCE... DIR\n", name);
        return 2;
    }
    const TScopedMessageHandler terminal(AskOnTerminal);
    TFileOperationRequest request;
    request.Kind = kind;
    request.Sources.assign(args.begin(), args.end() - 1);
    request.TargetFolder = args.back();
    const TFileOperationResult result = RunFileOperation(request);
    for (const std::string& created : result.Created)
        std::printf("%s\n", EscapeForLine(created).c_str());
    if (result.Cancelled) {
        std::fprintf(stderr, "pzshell: %s: abgebrochen\n", name);
        return 1;
    }
    if (!result.Completed) {
        if (result.Message.isEmpty())
            PrintLastError(name);
        else
            std::fprintf(stderr, "pzshell: %s: %s\n", name, result.Message.toUtf8().constData());
        return 1;
    }
    return 0;
}

}  // namespace

int RunCopyCommand(const std::vector<std::string>& args)
{
    return RunTransfer(TFileOperationKind::Copy, "copy", args);
}

int RunMoveCommand(const std::vector<std::string>& args)
{
    return RunTransfer(TFileOperationKind::Move, "move", args);
}

int RunLinkCommand(const std::vector<std::string>& args)
{
    return RunTransfer(TFileOperationKind::Link, "link", args);
}
