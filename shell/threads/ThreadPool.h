#pragma once

// The background work of the panes: threads, worker pools and work items.
#include "shell/threads/IWorkItem.h"
#include "shell/threads/TBasicWorkItem.h"
#include "shell/threads/TCustomThreadPool.h"
#include "shell/threads/TPzThread.h"
#include "shell/threads/TWorkItemsQueue.h"
#include "shell/threads/TWorkerPools.h"
#include "shell/threads/TWorkerThread.h"
#include "shell/threads/TWorkerThreadPool.h"
