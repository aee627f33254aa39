#pragma once

#include <QString>

#include <functional>

// Opening a web or mail address with the desktop's default program goes
// through OpenAddress, so that tests can see the exact address without a
// browser ever starting.

using TAddressOpener = std::function<void(const QString& address)>;

// Hands `address` to the desktop; whether a program took it is not reported.
void OpenAddress(const QString& address);

// Replaces the function that opens addresses; returns the previous one. An
// empty opener restores the desktop's.
TAddressOpener SetAddressOpener(TAddressOpener opener);

// Installs an opener for the lifetime of a scope.
class TScopedAddressOpener
{
public:
    explicit TScopedAddressOpener(TAddressOpener opener);
    ~TScopedAddressOpener();
    TScopedAddressOpener(const TScopedAddressOpener&) = delete;
    TScopedAddressOpener& operator=(const TScopedAddressOpener&) = delete;

private:
    TAddressOpener previous_;
};
