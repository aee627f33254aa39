#pragma once

#include "shell/navigator/TFileNames.h"

class QMimeData;

// The local files a data object carries in its text/uri-list, read by the
// file-list codec (UriListPaths): URIs of other hosts or schemes are left out,
// each path keeps its own bytes. Empty for a null object or one without such
// a list.
TFileNames FilesFromMimeData(const QMimeData* data);
