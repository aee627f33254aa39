#pragma once

#include <Qt>

// Shows a cursor (the hourglass unless told otherwise) for the lifetime of a
// scope and restores the previous one on every way out.
class TCursorGuard
{
public:
    explicit TCursorGuard(Qt::CursorShape shape = Qt::WaitCursor);
    ~TCursorGuard();
    TCursorGuard(const TCursorGuard&) = delete;
    TCursorGuard& operator=(const TCursorGuard&) = delete;
};
