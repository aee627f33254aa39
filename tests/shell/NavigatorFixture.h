#pragma once

#include "shell/navigator/library/TShellLibrary.h"
#include "shell/navigator/TShellNavigator.h"
#include "tests/platform/NamespaceFixture.h"

#include <memory>
#include <string>

// A navigator test: its own HOME and XDG folders, a mount table of "/" and one
// stick mounted in the home folder, and the library started for the test.
class NavigatorFixture : public NamespaceFixture
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The mount point of the stick (below the home folder, so it is a volume).
    const std::string& Stick() const { return stick_; }
    TShellNavigator& Navigator() { return *navigator_; }

    // The objects Next() gives in the navigator's current folder: their names,
    // or their display names where they have none (virtual folders).
    std::vector<std::string> EnumeratedNames();

private:
    std::string stick_;
    std::unique_ptr<TShellLibrary> library_;
    std::unique_ptr<TShellNavigator> navigator_;
};
