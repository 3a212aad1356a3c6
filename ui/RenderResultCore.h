#pragma once
// What the render-result window shows for a graph build's result code, and its page texts.
#include <array>
#include <cstdint>
#include <string>

// Pages of the render-result window.
enum TRenderResultPageIndex : int {
    rpNone = -1,  // 0 (S_OK): nothing shown
    rpAudioNotRendered = 0,
    rpVideoNotRendered = 1,
    rpPartialRender = 2,
    rpCannotRender = 3,
    rpFileNotFound = 4,
    rpUnknownError = 5,
    rpUnsupportedStream = 6,
};
inline constexpr int kRenderResultPages = 7;

struct TRenderResultPage {
    std::string Caption;  // "Warning..." or "Error..."
    int Page = rpNone;
};
TRenderResultPage RenderResultPage(int32_t code);

// The message of each page; the file-not-found page's is filled when shown.
extern const std::array<std::string, kRenderResultPages> RenderResultTexts;
// "File not found !!!" and the file name, one to a line.
std::string FileNotFoundText(const std::string& fileName);
