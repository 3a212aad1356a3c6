#pragma once
// The main window's tag command, without windows: the information window for the playing
// file's kind, then the save, retried once with the file closed.
#include <functional>
#include <string>

struct TTagCommandHost {
    std::function<int()> SupportsTags;  // 1 ID3, 2 AVI, else none
    std::function<std::string()> PlayingFileName;
    // Shows the information window for the file on the kind's page; true when closed with OK.
    std::function<bool(const std::string& fileName, int kind)> EditTags;
    std::function<bool(const std::string& fileName, int kind)> SaveTags;
    std::function<void()> ClosePlayingFile;
};

// The message to show the user; empty when there is none.
std::string RunTagCommand(const TTagCommandHost& host);
