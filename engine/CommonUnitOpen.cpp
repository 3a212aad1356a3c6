// Opening a play-list item: the one road by which a file or address is opened, from the
// transport, the play list and the end of a stream.
#include "engine/CommonUnit.h"

#include "engine/GraphBuildCore.h"
#include "engine/MyDSUtils.h"

TInfoTags& TCommonModule::Tags()
{
    if (Services.InfoTags)
        return *Services.InfoTags;
    if (!FOwnTags)
        FOwnTags = std::make_unique<TInfoTags>();
    return *FOwnTags;
}

bool TCommonModule::PlayInList(int index, bool autoPlay)
{
    // 1.
    IPlayList* list = PlayList();
    if (FOpening || !list || index < 0 || index > list->ItemCount() - 1)
        return false;
    const TOpeningGuard opening(FOpening);

    // 2.
    StopPlayingGraph();
    if (Services.ControlForm)
        Services.ControlForm->PrepareNewFile();

    // 3.
    TPlayListItem item;
    list->GetItem(index, item);
    uint8_t kind = tkNone;
    TSimpleTag tag;
    if (FileExists(item.FileName))
        Tags().ReadSimpleTags(item.FileName, kind, tag);

    // 4.
    const HRESULT hr = Renderfile(AnsiToWide(item.FileName));
    list = PlayList();

    // 6. Failure.
    if (FAILED(hr)) {
        item.State = EntryStateFromResult(hr);
        if (list) {
            list->SetItem(index, item);
            list->SetPlayingIndex(index);
        }
        if (Services.ControlForm) {
            Services.ControlForm->NewFileLoaded();
            Services.ControlForm->ClearTitleInfo();
        }
        if (Services.RenderResultForm)
            Services.RenderResultForm->ShowRenderResult(hr, AnsiToWide(item.FileName));
        FlushGraph();
        return false;
    }

    // 5.1-5.2 Success: the entry and the title lines.
    const int64_t duration = GetDurication();
    item.State = EntryStateFromResult(hr);
    item.Length = LengthInTenths(duration);
    TStringList lines;
    for (const std::string& line : TitleLines(item.FileName, kind, tag, item.Title))
        lines.Add(line);
    if (Services.ControlForm)
        Services.ControlForm->SetTitleInfo(lines);

    // 5.3
    if (list) {
        list->SetItem(index, item);
        list->SetPlayingIndex(index);
    }
    if (Services.VideoForm)
        Services.VideoForm->RefreshVideo();
    if (Services.ControlForm)
        Services.ControlForm->NewFileLoaded();
    if (Services.RenderResultForm)
        Services.RenderResultForm->ShowRenderResult(hr, AnsiToWide(item.FileName));

    // 5.4 Resume a known movie.
    int64_t lastPosition = 0;
    int32_t delay = 0;
    int32_t bookmarkCount = 0;
    const bool found = CheckPrevLoaded(lastPosition, delay, bookmarkCount);
    bool resume = false;
    switch (ResumeStep(found, lastPosition, duration, ResumeMode)) {
    case TResumeStep::Resume:
        resume = true;
        break;
    case TResumeStep::Ask:
        if (IStartPlaybackForm* question = Services.StartPlaybackForm) {
            const int answer = question->ShowModal();
            resume = ResumeFromAnswer(answer, question->ContinueChecked(), question->DontShowChecked(), ResumeMode);
        }
        break;
    case TResumeStep::StartOver:
        break;
    }

    // 5.5-5.7
    if (Services.ControlForm)
        Services.ControlForm->SetAudioDelay(found ? delay : 0);
    if (resume)
        SetPosition(lastPosition);
    if (ComPtr<IMediaControl> control; autoPlay && Graph && SUCCEEDED(Graph.As(&control)))
        control->Run();

    // 5.8
    ShowOSDText(!item.Title.empty() ? item.Title : ExtractFileName(PlayingFileName), 7);
    return true;
}
