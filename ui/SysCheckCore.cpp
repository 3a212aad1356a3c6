#include "ui/SysCheckCore.h"

#include "framework/SysUtils.h"

bool ParseVersionWords(const std::string& text, TVersionWords& words)
{
    TVersionWords parsed{};
    size_t field = 0, start = 0;
    for (;;) {
        const size_t dot = text.find('.', start);
        const std::string part = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (field >= parsed.size() || part.empty() || part.size() > 5 ||
            part.find_first_not_of("0123456789") != std::string::npos)
            return false;
        const int value = StrToInt(part);
        if (value > 0xFFFF)
            return false;
        parsed[field++] = static_cast<uint16_t>(value);
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    if (field != parsed.size())
        return false;
    words = parsed;
    return true;
}

int64_t DirectXNumber(const TVersionWords& words)
{
    const std::string digits = Format("%2.2d%2.2d%4.4d", words[1], words[2], words[3]);
    int64_t number = 0;
    TryStrToInt64(digits, number);
    return number;
}

std::string FormatVersion(const TVersionWords& words)
{
    return Format("%d.%d.%d.%d", words[0], words[1], words[2], words[3]);
}

std::string TranslationKey(uint16_t language, uint16_t codePage)
{
    return Format("%08x", (static_cast<unsigned>(language) << 16) | codePage);
}

TSysCheckStatus SystemCheckStatus(int64_t directXNumber, const std::string& installPath)
{
    if (directXNumber < 7000716)
        return scDirectXTooOld;
    if (installPath.empty() || !DirectoryExists(installPath))
        return scInstallPathMissing;
    const std::string data = installPath + "Data";
    if (!DirectoryExists(data) || !DirectoryExists(installPath + "MediaID") ||
        !FileExists(data + PathDelim + "FileTypes.cfg"))
        return scFilesMissing;
    if (directXNumber < 9000000)
        return scOlderDirectX;
    return scReady;
}

TSysCheckPlan PlanSystemCheck(TSysCheckStatus status, bool noDXWarning, bool firstRun)
{
    TSysCheckPlan plan;
    switch (status) {
    case scOlderDirectX:
        if (!noDXWarning)
            plan.StatusPage = kPageDirectXAdvice;
        break;
    case scDirectXTooOld:
        plan.StatusPage = kPageDirectXTooOld;
        plan.Fatal = true;
        break;
    case scFilesMissing:
    case scInstallPathMissing:
        plan.StatusPage = kPageMissingFiles;
        plan.Fatal = true;
        break;
    case scReady:
        plan.MeasureCpu = true;
        break;
    }
    plan.FirstRunPage = firstRun;
    return plan;
}
