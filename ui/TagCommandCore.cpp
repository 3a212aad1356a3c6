#include "ui/TagCommandCore.h"

std::string RunTagCommand(const TTagCommandHost& host)
{
    const int kind = host.SupportsTags ? host.SupportsTags() : 0;
    if (kind != 1 && kind != 2)
        return {};
    const std::string fileName = host.PlayingFileName();
    if (!host.EditTags(fileName, kind))
        return {};
    if (host.SaveTags(fileName, kind))
        return {};
    // The player may hold the file: close it (it stays closed) and try once more.
    if (host.PlayingFileName() == fileName) {
        host.ClosePlayingFile();
        if (host.SaveTags(fileName, kind))
            return {};
    }
    return "Error: cannot get write access to\r\n" + fileName;
}
