#pragma once

#include "platform/namespace/IUIObject.h"
#include "platform/core/ids/TShellResult.h"

#include <QString>

#include <cstdint>

// Flags of GetInfoTip.
constexpr std::uint32_t QITIPF_DEFAULT = 0x0000;
constexpr std::uint32_t QITIPF_USENAME = 0x0001;
constexpr std::uint32_t QITIPF_LINKNOTARGET = 0x0002;
constexpr std::uint32_t QITIPF_LINKUSETARGET = 0x0004;
constexpr std::uint32_t QITIPF_USESLOWTIP = 0x0008;

// The short text a view shows when the pointer rests on an item.
class IQueryInfo : public IUIObject
{
public:
    // `tip` receives the lines of the tip separated by "\n"; failures set the
    // layer's last error and leave it empty. The tip is plain text (a type
    // text may quote an extension): views show it through PlainToolTip.
    virtual TShellResult GetInfoTip(std::uint32_t flags, QString& tip) = 0;
};
