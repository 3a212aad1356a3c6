#pragma once
// The history lists in the per-user registry: one key per list, string values named by a
// prefix and the entry's index (0 = newest), without gaps.
#include "History.h"

#include <string>

// "\Software\Kestrel Forge\Parvolux\History\Files" for hkFiles, "...\URL" for hkURLs; empty for
// kinds the engine does not write.
std::string HistoryKey(int kind);
// "File" or "URL".
std::string HistoryValuePrefix(int kind);
// Replaces the stored list with the first `maximum` entries of the list. A key that cannot be
// opened or a value that cannot be written leaves it there, silently.
void StoreHistory(const std::string& key, const std::string& prefix, const TStringList& list, int maximum);
