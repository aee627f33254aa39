#pragma once

#include <functional>

// Whether the caller runs on the thread of the application object.
bool IsUiThread();

// Runs `step` on the user-interface thread and returns once it has run: a
// direct call on that thread, a queued call from any other, which the calling
// thread waits for. If the application drops the call unrun (it is ending),
// the caller is released without it.
void CallOnUiThread(const std::function<void()>& step);

// UI thread: runs, in order, the calls of CallOnUiThread other threads wait
// for now, and nothing else of the event queue. For a UI thread that itself
// waits for such a thread.
void RunWaitingUiCalls();

// Queues `step` to run on the user-interface thread and returns at once.
void PostToUiThread(std::function<void()> step);
