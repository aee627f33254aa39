#include "platform/TMountTable.h"

void TMountTable::SetMountInfoPath(const std::string&) {}
std::string TMountTable::MountInfoPath() { return "/proc/self/mountinfo"; }
void TMountTable::SetLabelDirectory(const std::string&) {}
std::string TMountTable::LabelDirectory() { return "/dev/disk/by-label"; }
TMountTable TMountTable::Read() { return {}; }
TMountTable TMountTable::ReadFile(const std::string&) { return {}; }
TMountTable TMountTable::Parse(std::string_view) { return {}; }
std::vector<TMountEntry> TMountTable::Volumes() const
{
    TMountEntry root;
    root.MountPoint = "/";
    root.Root = "/";
    root.DisplayName = "Dateisystem";
    root.IsUserVisible = true;
    return {root};
}
std::vector<TMountEntry> TMountTable::NetworkMounts() const { return {}; }
const TMountEntry* TMountTable::MountOf(std::string_view) const { return nullptr; }
std::optional<TMountEntry> TMountTable::VolumeOf(std::string_view) const { return Volumes().front(); }
bool TMountTable::IsSystemFileSystemType(std::string_view) { return false; }
bool TMountTable::IsSystemMountPoint(std::string_view) { return false; }
bool TMountTable::IsSystemDevice(std::string_view) { return false; }
bool TMountTable::IsNetworkFileSystemType(std::string_view) { return false; }
std::string TMountTable::UnescapeField(std::string_view field) { return std::string(field); }
std::optional<TVolumeSpace> QueryVolumeSpace(const std::string&) { return std::nullopt; }
