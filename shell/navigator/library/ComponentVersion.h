#pragma once

#include <QString>

// What every component of the pane library reports as its Version: its class
// name followed by the library's version.
QString ComponentVersion(const char* className);
