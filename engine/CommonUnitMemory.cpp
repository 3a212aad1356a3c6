// The engine's movie memory: the media id of the open graph, and moving the bookmarks, the
// last position and the audio delay between the main window and the movie's ".cid" file.
#include "engine/CommonUnit.h"

#include "DSFilters/PvlEq.h"

#include "engine/MovieMemory.h"
#include "engine/MyDSUtils.h"
#include "engine/StreamDescriptions.h"
#include "engine/Thumbnails.h"

namespace {

void ToBitmap(const TThumbnail& picture, TBitmap32& bitmap)
{
    bitmap.SetSize(picture.Width, picture.Height);
    if (!bitmap.Empty())
        std::copy(picture.Pixels.begin(), picture.Pixels.end(), bitmap.Bits());
}

TThumbnail FromBitmap(const TBitmap32& bitmap)
{
    TThumbnail picture;
    if (bitmap.Empty())
        return picture;
    picture.Width = bitmap.Width();
    picture.Height = bitmap.Height();
    picture.Pixels.assign(bitmap.Bits(), bitmap.Bits() + static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height));
    return picture;
}

// A file on a CD or DVD is known by the disc's serial number, whatever the drive letter.
void DiscOf(const std::string& fileName, TMediaIdSource& source)
{
    if (fileName.size() < 3 || fileName.compare(1, 2, ":\\") != 0)
        return;
    const std::string root = fileName.substr(0, 3);
    if (GetDriveTypeA(root.c_str()) != DRIVE_CDROM)
        return;
    source.OnDisc = true;
    char volume[261] = {};
    char fileSystem[261] = {};
    DWORD serial = 0, length = 0, flags = 0;
    GetVolumeInformationA(root.c_str(), volume, sizeof volume, &serial, &length, &flags, fileSystem, sizeof fileSystem);
    source.VolumeSerial = serial;
}

}  // namespace

std::string TCommonModule::GenIDString()
{
    if (VideoPins.empty() || PlayingFileName.empty())
        return {};
    TMediaIdSource source;
    source.FileName = PlayingFileName;
    DiscOf(PlayingFileName, source);
    TMediaTypePtr type;
    if (SUCCEEDED(GetPinMediaType(VideoPins.front().Pin.Get(), type)))
        DescribeVideoStream(type.get(), source.Video);
    if (!AudioPins.empty() && SUCCEEDED(GetPinMediaType(AudioPins.front().Pin.Get(), type)))
        DescribeAudioStream(type.get(), source.Audio);
    source.Duration = GetDurication();
    return MakeMediaID(source);
}

bool TCommonModule::CheckPrevLoaded(int64_t& lastPosition, int32_t& delay, int32_t& bookmarkCount)
{
    lastPosition = 0;
    delay = 0;
    bookmarkCount = 0;
    if (!Graph || MediaID.empty())
        return false;
    const std::string folder = ResolveMediaIDFolder(MediaIDFolder, InstallFolder());
    const std::string fileName = MediaIdFile(folder, MediaID);
    if (!DirectoryExists(folder) || !FileExists(fileName))
        return false;
    IControlForm* form = Services.ControlForm;
    if (form)
        form->ClearBookmarks();
    TMovieMemory memory;
    if (!LoadMovieMemory(fileName, memory))
        return false;
    if (form) {
        TBitmap32 thumbnail;  // the window copies it, so one serves every bookmark
        for (const TMemoryBookmark& mark : memory.Bookmarks) {
            TThumbnail picture;
            const bool shown = !mark.Thumbnail.empty() && DecodeThumbnail(mark.Thumbnail, memory.Version, picture);
            if (shown)
                ToBitmap(picture, thumbnail);
            form->AddBookmark(mark.Name, shown ? &thumbnail : nullptr, mark.Position);
        }
        bookmarkCount = form->BookmarkCount();
    }
    lastPosition = memory.LastPosition;
    delay = memory.Delay;
    return true;
}

void TCommonModule::SaveMovieInfo()
{
    if (!Graph || PlayingFileName.empty() || !FileExists(PlayingFileName) || MediaIDFolder.empty() || MediaID.empty())
        return;
    const std::string folder = ResolveMediaIDFolder(MediaIDFolder, InstallFolder());
    if (!DirectoryExists(folder))
        return;

    TMovieMemory memory;
    memory.LastPosition = GetPosition();
    if (IsFinishedPosition(memory.LastPosition, GetDurication()))
        memory.LastPosition = 0;
    // The sound processor's audio delay.
    ComPtr<IPvlSPDelayInterface> delay;
    if (PvlSprocessor && PvlSprocessor->Filter() && SUCCEEDED(PvlSprocessor->Filter()->QueryInterface(IID_PPV_ARGS(&delay))))
        delay->GetDelay(&memory.Delay);
    if (IControlForm* form = Services.ControlForm) {
        TBitmap32 image;
        for (int row = 0; row < form->BookmarkCount(); ++row) {
            TBookmark bookmark;
            form->Getbookmark(row, bookmark);
            TMemoryBookmark mark{bookmark.Name, bookmark.Position, {}};
            const int imageIndex = form->BookmarkImageIndex(row);
            if (imageIndex >= 0 && form->GetBookmarkImage(imageIndex, image))
                mark.Thumbnail = EncodeThumbnail(FromBitmap(image));
            memory.Bookmarks.push_back(std::move(mark));
        }
    }

    const std::string fileName = MediaIdFile(folder, MediaID);
    if (SaveMovieMemory(fileName, memory) || FMemoryFailureReported)
        return;
    // Once per run: a full or read-only disk would otherwise ask at every close.
    FMemoryFailureReported = true;
    if (Services.ShowMessage)
        Services.ShowMessage("Cannot write the movie memory file\r\n" + fileName);
}
