#include "framework/TTreeUpdateGuard.h"

#include "framework/TTreeView.h"

TTreeUpdateGuard::TTreeUpdateGuard(TTreeView& view) : view_(view)
{
    view_.BeginUpdate();
}

TTreeUpdateGuard::~TTreeUpdateGuard()
{
    view_.EndUpdate();
}
