#include "ui/TagCommandCore.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct TFakePlayer {
    int Kind = 1;
    std::string Playing = "C:\\a.mp3";
    bool Ok = true;
    std::vector<bool> SaveResults;  // one per try
    std::vector<std::string> Calls;

    TTagCommandHost Host()
    {
        TTagCommandHost host;
        host.SupportsTags = [this] { return Kind; };
        host.PlayingFileName = [this] { return Playing; };
        host.EditTags = [this](const std::string& name, int kind) {
            Calls.push_back("edit " + name + " " + std::to_string(kind));
            return Ok;
        };
        host.SaveTags = [this](const std::string& name, int kind) {
            Calls.push_back("save " + name + " " + std::to_string(kind));
            const bool result = SaveResults.empty() ? false : SaveResults.front();
            if (!SaveResults.empty())
                SaveResults.erase(SaveResults.begin());
            return result;
        };
        host.ClosePlayingFile = [this] {
            Calls.push_back("close");
            Playing.clear();
        };
        return host;
    }
};
}

TEST(TagCommand, SavesOnOkAndRetriesOnceWithTheFileClosed)
{
    TFakePlayer saved;
    saved.SaveResults = {true};
    EXPECT_EQ(RunTagCommand(saved.Host()), "");
    EXPECT_EQ(saved.Calls, (std::vector<std::string>{"edit C:\\a.mp3 1", "save C:\\a.mp3 1"}));

    TFakePlayer retried;
    retried.Kind = 2;
    retried.SaveResults = {false, true};
    EXPECT_EQ(RunTagCommand(retried.Host()), "");
    EXPECT_EQ(retried.Calls, (std::vector<std::string>{"edit C:\\a.mp3 2", "save C:\\a.mp3 2", "close", "save C:\\a.mp3 2"}));

    TFakePlayer failed;
    failed.SaveResults = {false, false};
    EXPECT_EQ(RunTagCommand(failed.Host()), "Error: cannot get write access to\r\nC:\\a.mp3");
    EXPECT_EQ(failed.Calls.size(), 4u);
}

TEST(TagCommand, NothingWithoutTagsOrOnCancelAndNoCloseOfAnotherFile)
{
    TFakePlayer none;
    none.Kind = 0;
    EXPECT_EQ(RunTagCommand(none.Host()), "");
    EXPECT_TRUE(none.Calls.empty());

    TFakePlayer cancelled;
    cancelled.Ok = false;
    EXPECT_EQ(RunTagCommand(cancelled.Host()), "");
    EXPECT_EQ(cancelled.Calls, (std::vector<std::string>{"edit C:\\a.mp3 1"}));

    // The engine moved on while the window was open: that other file stays open.
    TFakePlayer movedOn;
    movedOn.SaveResults = {false};
    auto host = movedOn.Host();
    host.EditTags = [&](const std::string&, int) {
        movedOn.Playing = "C:\\b.mp3";
        return true;
    };
    EXPECT_EQ(RunTagCommand(host), "Error: cannot get write access to\r\nC:\\a.mp3");
    EXPECT_EQ(movedOn.Playing, "C:\\b.mp3");
}
