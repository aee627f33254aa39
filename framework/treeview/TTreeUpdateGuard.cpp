#include "framework/treeview/TTreeUpdateGuard.h"

#include "framework/treeview/TTreeView.h"

TTreeUpdateGuard::TTreeUpdateGuard(TTreeView& view)
    : view_(view)
{
    view_.BeginUpdate();
}

TTreeUpdateGuard::~TTreeUpdateGuard()
{
    view_.EndUpdate();
}
