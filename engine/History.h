#pragma once
// The engine's history lists (files, play lists, addresses): newest first, each with a
// maximum length, every name once whatever its letter case.
#include "framework/Classes.h"

#include <string>

enum : int { hkFiles = 0, hkPlaylists = 1, hkURLs = 2 };

class THistoryList {
public:
    explicit THistoryList(int maximum) : Maximum(maximum) {}

    // A name already listed (in any letter case) moves to the top as it was stored; a new one
    // goes on top and the oldest entries beyond the maximum drop off. Empty names are ignored.
    void Add(const std::string& name);
    // Moves entry Index to the top and returns it; False and an empty name when out of range.
    bool Take(int index, std::string& name);

    TStringList Items;
    int Maximum;
};
