#pragma once

#include <string>
#include <vector>

// The subcommands of pzshell; each gets the arguments after its name and
// returns the exit code.
int RunLsCommand(const std::vector<std::string>& args);
int RunParseCommand(const std::vector<std::string>& args);
int RunSpecialCommand(const std::vector<std::string>& args);
int RunWatchCommand(const std::vector<std::string>& args);
int RunIconCommand(const std::vector<std::string>& args);
int RunThumbCommand(const std::vector<std::string>& args);
int RunVerbsCommand(const std::vector<std::string>& args);
int RunInvokeCommand(const std::vector<std::string>& args);
