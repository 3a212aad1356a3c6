#pragma once
// Splitting a command line the way the platform quotes it, and reading the player's switches.
#include <string>
#include <vector>

// Steps to the next character; the Windows build passes CharNextA so multi-byte characters stay whole.
using TCharNext = const char* (*)(const char* position);
const char* NextByte(const char* position);

// Returns the position after the next token and the token without its quotes; an empty
// token means the text is exhausted.
const char* NextCommandLineToken(const char* position, std::string& token, TCharNext charNext = NextByte);

// What a command line asks of the player.
struct TCommandLineParams {
    std::string ProgramFolder;       // folder of the first token, the program's own path
    std::vector<std::string> Names;  // files, folders and play lists, as written
    bool Add = false;                // "/ADD": append instead of replacing
    bool FullScreen = false;         // "/F"
    bool Minimize = false;           // "/M"
};

// The first token is always the program's path; switches are compared case-insensitively
// and "/PLAY" and "/T" are accepted without effect.
TCommandLineParams ParseCommandLine(const char* text, TCharNext charNext = NextByte);
// The number of tokens after the program's path.
int ParamCount(const char* text, TCharNext charNext = NextByte);
