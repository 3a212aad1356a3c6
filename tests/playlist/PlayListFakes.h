#pragma once
// Stand-ins for the engine and the player windows, and a recorder of the play list's events.
#include "playlist/PlayList.h"

#include <string>
#include <tuple>
#include <vector>

namespace pvltest {

class TFakeEngine : public IPlayListEngine {
public:
    void ClosePlayingFile() override { ++Closes; }
    const TStringList& KnownExtensions() override { return Extensions; }

    int Closes = 0;
    TStringList Extensions{"*.MP3", "*.AVI"};
};

class TFakeWindows : public IPlayListWindows {
public:
    std::string InstallFolder() override { return Folder; }
    void ShowMessage(const std::string& Text) override { Messages.push_back(Text); }

    std::string Folder;
    std::vector<std::string> Messages;
};

// Every event of a play list as (code, first argument, second argument or -9).
class TEventLog {
public:
    using TEvent = std::tuple<int, int, int>;
    explicit TEventLog(TPlayList& list)
    {
        list.OnChange = [this](uint8_t code, int32_t index) { Events.emplace_back(code, index, -9); };
        list.OnIndexChange = [this](uint8_t code, int32_t a, int32_t b) { Events.emplace_back(code, a, b); };
    }
    int Count(int code) const
    {
        int n = 0;
        for (const TEvent& e : Events)
            n += std::get<0>(e) == code;
        return n;
    }
    std::vector<TEvent> Events;
};

inline std::vector<std::string> Names(const TPlayList& list)
{
    std::vector<std::string> names;
    for (int i = 0; i < list.ItemCount(); ++i) {
        TPlayListItem item;
        list.GetItem(i, item);
        names.push_back(item.FileName);
    }
    return names;
}

inline TPlayListItem ItemAt(const TPlayList& list, int index)
{
    TPlayListItem item;
    list.GetItem(index, item);
    return item;
}

}  // namespace pvltest
