#pragma once

class TTreeView;

// Holds a tree view control's update bracket for its lifetime: nodes added
// meanwhile appear, and the control repaints, when the outermost guard ends.
class TTreeUpdateGuard
{
public:
    explicit TTreeUpdateGuard(TTreeView& view);
    ~TTreeUpdateGuard();
    TTreeUpdateGuard(const TTreeUpdateGuard&) = delete;
    TTreeUpdateGuard& operator=(const TTreeUpdateGuard&) = delete;

private:
    TTreeView& view_;
};
