#include "shell/panes/TPzShellOptions.h"

#include "shell/navigator/TShellNavigator.h"

bool TPzShellOptions::Set(TBit bit, bool value)
{
    const std::uint16_t word = value ? std::uint16_t(word_ | bit) : std::uint16_t(word_ & ~bit);
    if (word == word_)
        return false;
    word_ = word;
    return true;
}

bool PassesVisibilityRule(const TShellNavigator& navigator, TPzShellOptions options)
{
    const bool hidden = navigator.IsHidden();
    if (hidden && !options.ShowHidden())
        return false;
    if (!options.ShowNethood() || !options.ShowRecycleBin()) {
        const TPzShellFolder special = navigator.GetObjectSpecialFolder();
        if (!options.ShowNethood() && (special == SF_NETHOOD || special == SF_NETWORK))
            return false;
        if (!options.ShowRecycleBin()) {
            if (special == SF_BITBUCKET)
                return false;
            // Recycle bins of other systems on shared volumes are hidden folders by that name.
            if (hidden && navigator.ObjectName().left(6).compare(QLatin1String("RECYCL"), Qt::CaseInsensitive) == 0)
                return false;
        }
    }
    return options.ShowFiles() || navigator.IsFolder();
}
