#include "engine/DirectVobSub.h"

#include "framework/SysUtils.h"

void TDirectVobSub::ReadStoredProperties()
{
    SetSelectedLanguage(-1);
    SetHideSubtitles(false);
    SetPreBuffering(false);
    UseAutoload = false;
    Loaded();
}

void TDirectVobSub::Loaded()
{
    if (FFilter)
        return;
    if (FAILED(CreateSubtitleFilter()))
        ReleaseFilter();
}

HRESULT TDirectVobSub::CreateSubtitleFilter()
{
    ComPtr<IBaseFilter> filter;
    HRESULT result = CoCreateInstance(UseAutoload ? CLSID_DirectVobSubAutoload : CLSID_DirectVobSub, nullptr,
                                      CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_PPV_ARGS(&filter));
    if (FAILED(result))
        return result;
    result = filter.As(&FSubtitles);
    if (FAILED(result))
        return result;
    return HoldFilter(filter, true);
}

void TDirectVobSub::ReleaseFilter()
{
    FSubtitles.Reset();
    TExternalFilterCntl::ReleaseFilter();
}

std::wstring TDirectVobSub::Filename() const
{
    auto* subtitles = Subtitles();
    if (!subtitles)
        return {};
    WCHAR buffer[DirectVobSubFileNameChars] = {};
    if (FAILED(subtitles->GetFileName(buffer)))
        return {};
    buffer[DirectVobSubFileNameChars - 1] = 0;  // a filter that fills the buffer still ends here
    return buffer;
}

void TDirectVobSub::SetFilename(const std::wstring& value)
{
    if (auto* subtitles = Subtitles())
        subtitles->PutFileName(value.c_str());
}

int32_t TDirectVobSub::LanguageCount() const
{
    LONG count = 0;
    auto* subtitles = Subtitles();
    if (!subtitles || FAILED(subtitles->GetLanguageCount(&count)))
        return 0;
    return count;
}

int32_t TDirectVobSub::SelectedLanguage() const
{
    LONG index = -1;
    auto* subtitles = Subtitles();
    if (!subtitles || FAILED(subtitles->GetSelectedLanguage(&index)))
        return -1;
    return index;
}

void TDirectVobSub::SetSelectedLanguage(int32_t value)
{
    if (auto* subtitles = Subtitles())
        subtitles->PutSelectedLanguage(value);
}

bool TDirectVobSub::HideSubtitles() const
{
    BYTE hide = 0;
    auto* subtitles = Subtitles();
    return subtitles && SUCCEEDED(subtitles->GetHideSubtitles(&hide)) && hide != 0;
}

void TDirectVobSub::SetHideSubtitles(bool value)
{
    if (auto* subtitles = Subtitles())
        subtitles->PutHideSubtitles(value ? 1 : 0);
}

bool TDirectVobSub::PreBuffering() const
{
    BYTE on = 0;
    auto* subtitles = Subtitles();
    return subtitles && SUCCEEDED(subtitles->GetPreBuffering(&on)) && on != 0;
}

void TDirectVobSub::SetPreBuffering(bool value)
{
    if (auto* subtitles = Subtitles())
        subtitles->PutPreBuffering(value ? 1 : 0);
}

std::string TDirectVobSub::GetLanguageName(int32_t index) const
{
    WCHAR* name = nullptr;
    auto* subtitles = Subtitles();
    if (!subtitles || FAILED(subtitles->GetLanguageName(index, &name)) || !name)
        return {};
    return WideToAnsi(name);  // the text stays the filter's
}
