#include "tests/shell/NavigatorFixture.h"

#include "platform/core/system/TMountTable.h"

#include <fstream>

void NavigatorFixture::SetUp()
{
    NamespaceFixture::SetUp();
    stick_ = Home() + "/stick";
    MakeDirectory(stick_);
    const std::string base = Home().substr(0, Home().rfind('/'));
    std::ofstream(base + "/mountinfo") << "1 0 254:0 / / rw,relatime - ext4 /dev/vda1 rw\n"
                                       << "26 1 8:17 / " << stick_ << " rw,nosuid - vfat /dev/sdz1 rw\n";
    TMountTable::SetMountInfoPath(base + "/mountinfo");
    TMountTable::SetLabelDirectory(base + "/no-labels");
    library_ = std::make_unique<TShellLibrary>();
    navigator_ = std::make_unique<TShellNavigator>();
}

void NavigatorFixture::TearDown()
{
    navigator_.reset();
    library_.reset();
    TMountTable::SetMountInfoPath("");
    TMountTable::SetLabelDirectory("");
    NamespaceFixture::TearDown();
}

std::vector<std::string> NavigatorFixture::EnumeratedNames()
{
    std::vector<std::string> names;
    while (navigator_->Next()) {
        const std::string name = navigator_->ObjectNameBytes();
        names.push_back(name.empty() ? navigator_->GetDisplayName().toStdString() : name);
    }
    return names;
}
