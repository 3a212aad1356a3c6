#include "bench/playlist/TagLibReader.h"

#include <attachedpictureframe.h>
#include <id3v2tag.h>
#include <mpegfile.h>

bool TagLibRead(const std::string& fileName, const std::vector<std::string>& ids, TTagLibRead& result)
{
    // No audio properties: the tag alone, as our reader reads it.
    TagLib::MPEG::File file(fileName.c_str(), false);
    if (!file.isValid() || !file.hasID3v2Tag())
        return false;
    const TagLib::ID3v2::FrameListMap& frames = file.ID3v2Tag()->frameListMap();
    result.Texts.clear();
    for (const std::string& id : ids) {
        const auto at = frames.find(TagLib::ByteVector(id.data(), static_cast<unsigned>(id.size())));
        result.Texts.push_back(at == frames.end() || at->second.isEmpty() ? std::string()
                                                                          : at->second.front()->toString().to8Bit(false));
    }
    result.PictureSize = 0;
    const auto pictures = frames.find("APIC");
    if (pictures != frames.end() && !pictures->second.isEmpty())
        if (const auto* picture = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(pictures->second.front()))
            result.PictureSize = picture->picture().size();
    return true;
}
