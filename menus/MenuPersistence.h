#pragma once
// Menu-layout storage settings and the usage clock: the seconds programs with these menus ran,
// kept in the registry. The player leaves the storage mode at 0, so nothing is stored; the
// clock is still read at start.
#include <cstdint>
#include <string>

class TMenuItem;

// 0 none (default), 1 registry, 2 binary file, 3 text file, 4 XML file.
uint8_t MenuStorageMode();
// The registry key and file pattern after "$(APPNAME)" and "$(APPDATA)" were replaced once.
const std::string& MenuOrderKey();
const std::string& MenuOrderPattern();
// Replaces the first "$(APPNAME)" (program name without extension) in key and pattern, and the
// first "$(APPDATA)" (the user's application-data folder) in the pattern.
void ExpandPathMacros(std::string& key, std::string& pattern);
// Stored seconds plus the seconds since the clock was read.
uint32_t MenuUsageClock();
// Reads "ElapsedTime" from the key without creating it (run once at start).
void ReadUsageClock();
// EMenuError "Only items of type TMenuItem2000 can be stored" for other items; stores the
// item's menu when the storage mode is not 0.
void StoreMenuItem(TMenuItem* item);
