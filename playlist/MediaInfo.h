#pragma once
// The value lists that fill the information window's choice boxes.
#include <array>

extern const std::array<const char*, 40> MovieGenres;
extern const std::array<const char*, 18> ContentTypes;
extern const std::array<const char*, 57> Languages;
extern const std::array<const char*, 6> Ratings;
extern const std::array<const char*, 7> MediaTypes;
extern const std::array<const char*, 29> SourceMedia;
extern const std::array<const char*, 9> SpeakerLayouts;
