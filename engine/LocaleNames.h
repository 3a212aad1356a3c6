#pragma once
// Names of locales, for audio streams that give a language id.
#include <windows.h>

#include <string>

// The platform's locale information of that type (2: the language's localised name);
// empty when the lookup fails.
std::string GetLocaleString(LCID locale, LCTYPE infoType);
