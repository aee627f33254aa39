#pragma once

#include <QPointer>
#include <QWidget>

#include <optional>
#include <string>

// What to do about an item whose name is already taken at the target.
enum class TConflictChoice { Replace, Skip, Cancel };

// Asks about name conflicts through ShowMessageBox ("Ersetzen",
// "Überspringen", "Abbrechen" and a check box that applies the answer to
// every later conflict of the same operation). A folder meeting a folder is
// merged on "Ersetzen": its entries are checked one by one.
class TConflictPrompt
{
public:
    explicit TConflictPrompt(QWidget* owner)
        : owner_(owner)
    {
    }

    // `source` is the item that would take the place of `target`; for a
    // restore it is the trashed item.
    TConflictChoice Ask(const std::string& source, const std::string& target);

private:
    // The operation turns the event loop for its progress dialog: the owner may close meanwhile.
    QPointer<QWidget> owner_;
    std::optional<TConflictChoice> forAll_;
};
