#pragma once
// The subtitle file that lies beside a movie.
#include <array>
#include <string>

// Searched in this order; an entry beginning with "." is relative to the movie's folder.
extern const std::array<const char*, 2> SubtitleSearchFolders;
// Tried in this order within each folder.
extern const std::array<const char*, 7> SubtitleExtensions;

// The first existing file named like the movie with a subtitle extension, folder by folder;
// False and an empty name when there is none.
bool FindSubtitleFile(const std::string& movieFile, std::string& subtitleFile);
