#pragma once

#include <string>

// The layer's last error: a thread-local errno value that failing operations
// leave for their caller (0 when nothing has failed).
int GetLastError();
void SetLastError(int errnoValue);

// The system's text for an errno value, in the current message locale.
std::string GetSystemErrorText(int errnoValue);
