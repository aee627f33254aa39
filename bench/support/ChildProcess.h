#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

// Runs a program (looked up in PATH) with the given arguments and waits for it.
// When stdoutPath is not empty the child's standard output goes to that file,
// created or emptied first; *peakKiB, when given, receives the child's peak
// resident memory in KiB. Returns the exit status, or -1 when the program
// could not be started or ended by a signal.
int RunProgram(const std::vector<std::string>& argv, const std::string& stdoutPath = {}, long* peakKiB = nullptr);

// Elapsed seconds of one run of a program, spawn to exit, with its standard
// output thrown away; -1 when it could not be started.
double TimeProgram(const std::vector<std::string>& argv);

// Starts a program (looked up in PATH) without waiting for it, its standard
// output and error going to outputPath (created or emptied first; /dev/null
// when empty). Returns its process id, or -1 when it could not be started.
pid_t StartProgram(const std::vector<std::string>& argv, const std::string& outputPath = {});

// Sends `signal` to a program StartProgram started and waits for its end.
// Returns its exit status, or -1 when it ended by a signal.
int StopProgram(pid_t pid, int signal);
