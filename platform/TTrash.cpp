#include "platform/TTrash.h"

#include "platform/TMountTable.h"

std::string TTrash::HomeTrashPath() { return {}; }
TTrashDirectory TTrash::HomeTrash() { return {}; }
TTrashDirectory TTrash::VolumeTrash(const std::string&) { return {}; }
std::vector<TTrashDirectory> TTrash::TrashDirectories(const TMountTable&) { return {}; }
std::vector<TTrashDirectory> TTrash::TrashDirectories() { return {}; }
std::vector<TTrashEntry> TTrash::ListEntries(const TTrashDirectory&) { return {}; }
std::vector<TTrashEntry> TTrash::ListEntries(const std::vector<TTrashDirectory>&) { return {}; }
std::vector<TTrashEntry> TTrash::ListEntries() { return {}; }
std::optional<TTrashInfo> TTrash::ParseTrashInfo(std::string_view, const std::string&) { return std::nullopt; }
std::optional<TTrashInfo> TTrash::ReadTrashInfo(const std::string&, const std::string&) { return std::nullopt; }
