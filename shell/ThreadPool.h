#pragma once

// The background work of the panes: threads, worker pools and work items.
#include "shell/IWorkItem.h"
#include "shell/TBasicWorkItem.h"
#include "shell/TCustomThreadPool.h"
#include "shell/TPzThread.h"
#include "shell/TWorkItemsQueue.h"
#include "shell/TWorkerPools.h"
#include "shell/TWorkerThread.h"
#include "shell/TWorkerThreadPool.h"
