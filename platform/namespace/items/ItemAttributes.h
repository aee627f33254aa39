#pragma once

#include "platform/namespace/NamespacePaths.h"
#include "platform/core/ids/ShellItems.h"
#include "platform/namespace/items/THiddenList.h"

#include <cstdint>
#include <string>

// The SFGAO_ bits of one item seen from its folder. Only the bits in `mask` are
// worked out, so that a question about one bit costs no more than it must.
std::uint32_t ItemAttributes(const TItemContext& context, const TItemView& view, const THiddenList& hidden,
                             std::uint32_t mask);

// Whether a directory holds at least one directory (or a link to one); true
// without reading it on a network or FUSE file system.
bool DirectoryHasSubfolder(const std::string& path);

// Whether `path` lies on a file system whose listings and stats may take long
// (a network mount, a file system served by a program): its folders are not
// read only to draw an expand button, as file managers do for network mounts
// (a listing held there would keep the folder's own listing waiting behind
// it), and a file list asks for its entries' details off the UI thread.
bool ListsSlowly(const std::string& path);
