#pragma once

#include <cstdint>

class TShellNavigator;

// The nine Boolean settings that the folder tree and the file list keep in one
// 16-bit word. The bit order is fixed: forms and saved settings store the word.
class TPzShellOptions
{
public:
    enum TBit : std::uint16_t {
        ShowNethoodBit = 1u << 0,
        ShowRecycleBinBit = 1u << 1,
        ShowErrorMessagesBit = 1u << 2,
        ShowHiddenBit = 1u << 3,
        ShowFilesBit = 1u << 4,
        ShowContextMenuOnTopBit = 1u << 5,
        ColorCompressedBit = 1u << 6,
        ColorEncryptedBit = 1u << 7,
        NoFillOnStartupBit = 1u << 8,
    };
    // The tree lists folders only; the list shows files as well.
    static constexpr std::uint16_t kTreeDefault = ShowNethoodBit | ShowRecycleBinBit;
    static constexpr std::uint16_t kListDefault = ShowNethoodBit | ShowRecycleBinBit | ShowFilesBit;

    constexpr TPzShellOptions() = default;
    constexpr explicit TPzShellOptions(std::uint16_t word)
        : word_(word)
    {
    }

    constexpr std::uint16_t Word() const { return word_; }
    constexpr bool Has(TBit bit) const { return (word_ & bit) != 0; }
    // Sets or clears a bit; true when the word changed.
    bool Set(TBit bit, bool value);

    constexpr bool ShowNethood() const { return Has(ShowNethoodBit); }
    constexpr bool ShowRecycleBin() const { return Has(ShowRecycleBinBit); }
    constexpr bool ShowErrorMessages() const { return Has(ShowErrorMessagesBit); }
    constexpr bool ShowHidden() const { return Has(ShowHiddenBit); }
    constexpr bool ShowFiles() const { return Has(ShowFilesBit); }
    constexpr bool ShowContextMenuOnTop() const { return Has(ShowContextMenuOnTopBit); }
    constexpr bool ColorCompressed() const { return Has(ColorCompressedBit); }
    constexpr bool ColorEncrypted() const { return Has(ColorEncryptedBit); }
    constexpr bool NoFillOnStartup() const { return Has(NoFillOnStartupBit); }

    friend constexpr bool operator==(TPzShellOptions, TPzShellOptions) = default;

private:
    std::uint16_t word_ = kListDefault;
};

// Whether the navigator's current object is shown by a pane with these
// options: hidden objects only with ShowHidden; the network only with
// ShowNethood; the trash (and hidden "RECYCL..." names) only with
// ShowRecycleBin; non-folders only with ShowFiles.
bool PassesVisibilityRule(const TShellNavigator& navigator, TPzShellOptions options);
