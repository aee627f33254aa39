#pragma once

#include "tests/shell/NavigatorFixture.h"

#include "framework/MessageBox.h"
#include "shell/link/TPzShellLink.h"
#include "shell/panes/list/TPzShellList.h"

#include <QAbstractItemModelTester>

#include <memory>
#include <string>
#include <vector>

// A file list in a window of its own, registered with a link, showing the
// work folder of a temporary home. Questions are answered "Ja" (or the first
// button) and recorded; operation reports are recorded.
class ShellListFixture : public NavigatorFixture
{
protected:
    struct TReport
    {
        TPzShellOperations operation;
        std::vector<std::string> files;
        QString destination;
    };

    void SetUp() override;
    void TearDown() override;

    TPzShellList& List() { return *list_; }
    TPzShellLink& Link() { return *link_; }
    std::vector<QString> Captions() const;
    TListItem* ItemNamed(const QString& caption) const;
    // Selects exactly the entry of this caption and focuses it.
    void SelectOnly(const QString& caption);

    std::vector<TReport> reports;
    std::vector<TMessageRequest> questions;

private:
    std::unique_ptr<TPzShellLink> link_;
    std::unique_ptr<TPzShellList> list_;
    std::unique_ptr<QAbstractItemModelTester> tester_;
    std::unique_ptr<TScopedMessageHandler> answers_;
};
