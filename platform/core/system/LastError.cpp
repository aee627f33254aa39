#include "platform/core/system/LastError.h"

#include <clocale>
#include <cstring>
#include <locale.h>

namespace {

thread_local int lastError = 0;

}  // namespace

int GetLastError()
{
    return lastError;
}

void SetLastError(int errnoValue)
{
    lastError = errnoValue;
}

std::string GetSystemErrorText(int errnoValue)
{
    // strerror_l needs a real locale object; build one from the process's
    // current message locale so the text follows the user's language.
    const char* messages = std::setlocale(LC_MESSAGES, nullptr);
    locale_t locale = newlocale(LC_MESSAGES_MASK, messages ? messages : "C", static_cast<locale_t>(nullptr));
    if (!locale)
        locale = newlocale(LC_MESSAGES_MASK, "C", static_cast<locale_t>(nullptr));
    std::string text = strerror_l(errnoValue, locale);
    freelocale(locale);
    return text;
}
