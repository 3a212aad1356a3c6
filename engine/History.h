#pragma once
// The engine's history lists (files, play lists, addresses): newest first, each with a
// maximum length, every name once whatever its letter case.
#include "framework/Classes.h"

#include <string>

enum : int { hkFiles = 0, hkPlaylists = 1, hkURLs = 2 };

// A name already listed (in any letter case, by the user's locale) moves to the top as it was
// stored; a new one goes on top and the oldest entries beyond the maximum drop off. An empty
// name changes nothing.
void AddHistoryEntry(TStringList& list, int maximum, const std::string& name);
// Moves entry `index` to the top and returns it; False and an empty name when out of range.
bool TakeHistoryEntry(TStringList& list, int index, std::string& name);
