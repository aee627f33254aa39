#pragma once

#include "shell/panes/list/TPzShellList.h"

#include <QFileSystemModel>
#include <QString>
#include <QTreeView>

#include <functional>
#include <memory>

// The file list pane and Qt's QFileSystemModel filling one folder, timed from
// the request to the first painted frame that shows it. The widgets are made
// and shown (the list filled with the computer folder) before the clock
// starts; `ready` runs then, the baseline of a memory measurement.

// The list's window: 600 pixels high, as a pane of the main window.
constexpr int kPaneWidth = 800;
constexpr int kPaneHeight = 600;

struct TListFill
{
    std::unique_ptr<TPzShellList> List;
    double Seconds = 0;
};

// Until the list holds `entries` entries (a list that lists off the
// user-interface thread fills after SetPath has returned) and has painted them.
TListFill FillList(const QString& path, int entries, const std::function<void()>& ready = {});

struct TModelFill
{
    std::unique_ptr<QFileSystemModel> Model;
    std::unique_ptr<QTreeView> View;
    double Seconds = 0;
};

// Until every row of the folder is fetched and painted.
TModelFill FillModel(const QString& path, int entries, const std::function<void()>& ready = {});
