#include "ui/RenderResultCore.h"

namespace {
const std::string kMoreInfo = "\r\n\r\nPlease look in the media info for more details.";
}

TRenderResultPage RenderResultPage(int32_t code)
{
    switch (static_cast<uint32_t>(code)) {
    case 0:
        return {"", rpNone};
    case 0x00040242:  // VFW_S_PARTIAL_RENDER
        return {"Warning...", rpPartialRender};
    case 0x00040257:  // VFW_S_VIDEO_NOT_RENDERED
        return {"Warning...", rpVideoNotRendered};
    case 0x00040258:  // VFW_S_AUDIO_NOT_RENDERED
        return {"Warning...", rpAudioNotRendered};
    case 0x80040218:  // VFW_E_CANNOT_RENDER
        return {"Error...", rpCannotRender};
    case 0x80040265:  // VFW_E_UNSUPPORTED_STREAM
        return {"Error...", rpUnsupportedStream};
    case 0x80070002:  // file not found
    case 0x80070003:  // path not found
    case 0x80070015:  // device not ready
    case 0x80040216:  // VFW_E_NOT_FOUND
        return {"Error...", rpFileNotFound};
    default:
        return {"Error...", rpUnknownError};
    }
}

const std::array<std::string, kRenderResultPages> RenderResultTexts = {
    "Parvolux was unable to render the audio of this file, because you do not have the required audio decoder "
    "installed on your system." + kMoreInfo,
    "Parvolux was unable to render the video of this file, because you do not have the required video decoder "
    "installed on your system." + kMoreInfo,
    "Parvolux was unable to render one or more streams in this file, because you do not have the required decoder "
    "installed on your system." + kMoreInfo,
    "Parvolux was unable to render this file, because you don't have the required decoder(s) installed on your "
    "system." + kMoreInfo,
    "",
    "Parvolux encounted an unknown error.",
    "Parvolux was unable to render the file, it is either in a unsupported format, or corrupt.",
};

std::string FileNotFoundText(const std::string& fileName)
{
    return "File not found !!!\r\n" + fileName;
}
