#pragma once
// How the main menu and the settings dialog reach the small dialogs (the address, proxy and
// about boxes) without knowing their windows.
#include <string>
#include <vector>

// The address dialog: the history fills its list; true (with the address) on OK.
class IURLDialog {
public:
    virtual ~IURLDialog() = default;
    virtual bool ExecuteURL(const std::vector<std::string>& history, std::string& address) = 0;
};

// The proxy dialog: shows host and port, and gives back the edited ones on OK.
class IProxyDialog {
public:
    virtual ~IProxyDialog() = default;
    virtual bool ExecuteProxy(std::string& host, int& port) = 0;
};

// The about box and the online help.
class IAboutBox {
public:
    virtual ~IAboutBox() = default;
    virtual void ShowAbout() = 0;
    virtual void OpenHelp() = 0;
};

// The program's online help page.
inline constexpr const char* kHelpAddress = "https://kestrelforge.example/parvolux/help";
