#pragma once

#include "platform/namespace/IShellFolder.h"

// The UI objects that tell about one item of a folder: its info tip
// (TItemInfoTip, kind QueryInfo) and its thumbnail extractor
// (TThumbnailExtractor, kind ExtractImage). Both need exactly one item with a
// path; other requests fail with EINVAL (not one item) or ENOTSUP (no path,
// another kind).
TShellResult MakeItemInfoObject(IShellFolder& folder, std::span<const TItemIdList* const> items, TUIObjectKind kind,
                                IUIObjectPtr& object);
