#include "app/forms/AddressOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

void OpenWithDesktop(const QString& address)
{
    // fromUserInput turns "www.example.org" into an http address, as the
    // desktop's own "open" would read it.
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

TAddressOpener& CurrentOpener()
{
    static TAddressOpener opener;
    return opener;
}

}  // namespace

void OpenAddress(const QString& address)
{
    if (const TAddressOpener& opener = CurrentOpener())
        opener(address);
    else
        OpenWithDesktop(address);
}

TAddressOpener SetAddressOpener(TAddressOpener opener)
{
    return std::exchange(CurrentOpener(), std::move(opener));
}

TScopedAddressOpener::TScopedAddressOpener(TAddressOpener opener)
    : previous_(SetAddressOpener(std::move(opener)))
{
}

TScopedAddressOpener::~TScopedAddressOpener()
{
    SetAddressOpener(std::move(previous_));
}
