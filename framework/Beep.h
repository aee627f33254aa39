#pragma once

#include <functional>

// The default system beep. Tests count beeps through the replaceable hook.
void Beep();
std::function<void()> SetBeepHook(std::function<void()> hook);
