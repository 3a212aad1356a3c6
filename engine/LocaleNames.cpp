#include "LocaleNames.h"

std::string GetLocaleString(LCID locale, LCTYPE infoType)
{
    const int length = GetLocaleInfoA(locale, infoType, nullptr, 0);  // with the terminator
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length), '\0');
    const int written = GetLocaleInfoA(locale, infoType, text.data(), length);
    if (written <= 0)
        return {};
    text.resize(static_cast<size_t>(written) - 1);
    return text;
}
