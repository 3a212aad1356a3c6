#include "SubtitleSearch.h"

#include "framework/SysUtils.h"

#include <algorithm>

const std::array<const char*, 2> SubtitleSearchFolders = {".", ".\\subtitles"};
const std::array<const char*, 7> SubtitleExtensions = {".idx", ".smi", ".sub", ".srt", ".psb", ".ssa", ".ass"};

bool FindSubtitleFile(const std::string& movieFile, std::string& subtitleFile)
{
    subtitleFile.clear();
    const std::string movieFolder = ExtractFileDir(movieFile);
    const std::string bareName = ExtractFileName(movieFile);
    for (const std::string entry : SubtitleSearchFolders) {
        std::string folder = entry[0] == '.' ? movieFolder + entry.substr(1) : entry;
        std::replace(folder.begin(), folder.end(), '\\', PathDelim);
        if (!DirectoryExists(folder))
            continue;
        for (const char* extension : SubtitleExtensions) {
            const std::string candidate = folder + PathDelim + ChangeFileExt(bareName, extension);
            if (FileExists(candidate)) {
                subtitleFile = candidate;
                return true;
            }
        }
    }
    return false;
}
