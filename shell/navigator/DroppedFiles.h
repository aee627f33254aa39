#pragma once

#include "shell/navigator/TFileNames.h"

class QMimeData;

// The local files a data object carries in its text/uri-list: one "file:" URI
// per line (CR LF or LF), empty lines and "#" comments skipped, URIs of other
// hosts or schemes left out; each decoded to the path's own bytes. Empty for a
// null object or one without such a list.
TFileNames FilesFromMimeData(const QMimeData* data);
