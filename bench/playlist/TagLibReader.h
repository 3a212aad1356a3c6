#pragma once
// TagLib behind a seam of our own, so that only TagLibReader.cpp sees its headers.
#include <cstddef>
#include <string>
#include <vector>

struct TTagLibRead {
    std::vector<std::string> Texts;  // one per asked frame ID, empty when missing
    size_t PictureSize = 0;          // of the first attached picture
};

// Reads the ID3v2 tag at the start of fileName: the first text of each of ids, and the size
// of the first APIC picture. False when the file holds no ID3v2 tag.
bool TagLibRead(const std::string& fileName, const std::vector<std::string>& ids, TTagLibRead& result);
