#pragma once
// The decisions of the start-up's system check, apart from the registry and the windows.
#include <array>
#include <cstdint>
#include <string>

using TVersionWords = std::array<uint16_t, 4>;  // major, minor, release, build

// Four dot-separated decimal fields, each fitting 16 bits; False leaves the words as they were.
bool ParseVersionWords(const std::string& text, TVersionWords& words);
// The DirectX comparison number: minor, release and build as "%2.2d%2.2d%4.4d", read back.
int64_t DirectXNumber(const TVersionWords& words);
std::string FormatVersion(const TVersionWords& words);
// The "\StringFileInfo\" key of a translation entry: eight hexadecimal digits.
std::string TranslationKey(uint16_t language, uint16_t codePage);

enum TSysCheckStatus : int {
    scReady = 0,
    scOlderDirectX = 1,    // works, but DirectX 9 is advised
    scDirectXTooOld = 2,
    scFilesMissing = 3,    // "Data", "MediaID" or "Data\FileTypes.cfg"
    scInstallPathMissing = 5,
};

// Status from the DirectX number and the install folder (which ends in a separator).
TSysCheckStatus SystemCheckStatus(int64_t directXNumber, const std::string& installPath);

// Which pages the check shows: the notebook page of the status (-1 none) and then, on a
// first run, the first-run page.
struct TSysCheckPlan {
    int StatusPage = -1;
    bool Fatal = false;        // the program may not start
    bool FirstRunPage = false;
    bool MeasureCpu = false;   // only a fully ready system measures the processor
};
TSysCheckPlan PlanSystemCheck(TSysCheckStatus status, bool noDXWarning, bool firstRun);

inline constexpr int kPageDirectXTooOld = 0;
inline constexpr int kPageDirectXAdvice = 1;
inline constexpr int kPageMissingFiles = 2;
inline constexpr int kPageFirstRun = 3;
