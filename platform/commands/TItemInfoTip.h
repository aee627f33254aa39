#pragma once

#include "platform/commands/IQueryInfo.h"

#include <string>

// The info tip of an item with a path, in German:
//   "Typ: Textdokument\nGröße: 2 KB\nGeändert am: 07.12.2026 10:15"
// folders without the size line. The file is looked at when the tip is asked
// for, so a tip is never older than the file; a symbolic link shows what it
// points to, a broken one the link itself.
class TItemInfoTip final : public IQueryInfo
{
public:
    // `path` is the item's absolute path (native bytes); `name` the name whose
    // extension gives the type (for a trashed file, its original name).
    TItemInfoTip(std::string path, std::string name);

    TShellResult GetInfoTip(std::uint32_t flags, QString& tip) override;

private:
    std::string path_;
    std::string name_;
};
