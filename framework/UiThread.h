#pragma once

#include <functional>

// Whether the caller runs on the thread of the application object.
bool IsUiThread();

// Runs `step` on the user-interface thread and returns once it has run: a
// direct call on that thread, a blocking queued call from any other.
void CallOnUiThread(const std::function<void()>& step);

// Queues `step` to run on the user-interface thread and returns at once.
void PostToUiThread(std::function<void()> step);
