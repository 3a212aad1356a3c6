#pragma once
// An engine that opens play-list entries for real under Wine: recording windows, a play list,
// the real sound processor, and a video window that connects the video to the first renderer
// of the preference list that this platform can make.
#include "DSFilters/ParvoluxSoundProcessor.h"
#include "engine/CommonUnit.h"
#include "tests/engine/EngineFakes.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WineGraph.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace pvltest {

class TRendererVideoForm : public IVideoForm {
public:
    explicit TRendererVideoForm(TEngineLog& log) : FLog(log) {}
    void SetPreferredRenderers(const std::vector<TVideoRenderItem*>& renderers) override { Preferred = renderers; }
    HRESULT ConnectPreferredRenderer(IGraphBuilder* graph, IPin* outputPin) override
    {
        FLog.Add("ConnectPreferredRenderer");
        if (Refuse || RefuseFirst-- > 0)
            return E_FAIL;
        for (const TVideoRenderItem* item : Preferred) {
            ComPtr<IBaseFilter> renderer;
            if (FAILED(CoCreateInstance(item->ClassID, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&renderer))))
                continue;
            if (FAILED(graph->AddFilter(renderer.Get(), item->FriendlyName.c_str())))
                continue;
            if (SUCCEEDED(graph->Connect(outputPin, FindPin(renderer.Get(), PINDIR_INPUT).Get()))) {
                // Never shown: a test has no screen to show it on.
                if (ComPtr<IVideoWindow> window; SUCCEEDED(renderer.As(&window)))
                    window->put_AutoShow(OAFALSE);
                return S_OK;
            }
            graph->RemoveFilter(renderer.Get());
        }
        return E_FAIL;
    }
    void ReleaseRenderer() override {}
    void RefreshVideo() override { FLog.Add("RefreshVideo"); }
    bool Visible() override { return IsVisible; }
    std::vector<TVideoRenderItem*> Preferred;
    bool Refuse = false;
    int RefuseFirst = 0;  // refuses this many calls, then connects
    bool IsVisible = false;

private:
    TEngineLog& FLog;
};

class TFakeRenderResultForm : public IRenderResultForm {
public:
    explicit TFakeRenderResultForm(TEngineLog& log) : FLog(log) {}
    void ShowRenderResult(HRESULT result, const WideString&) override
    {
        Results.push_back(result);
        FLog.Add("ShowRenderResult");
        if (OnShow)
            OnShow();
    }
    std::vector<HRESULT> Results;
    std::function<void()> OnShow;  // runs while the page is up

private:
    TEngineLog& FLog;
};

class TFakeStartPlaybackForm : public IStartPlaybackForm {
public:
    int ShowModal() override
    {
        ++Shown;
        return Result;
    }
    bool ContinueChecked() override { return Continue; }
    bool DontShowChecked() override { return DontShow; }
    int Result = 1;
    bool Continue = true;
    bool DontShow = false;
    int Shown = 0;
};

// The main window's title lines as the engine last set them.
class TTitleControlForm : public TFakeControlForm {
public:
    using TFakeControlForm::TFakeControlForm;
    void SetTitleInfo(const TStringList& lines) override
    {
        TFakeControlForm::SetTitleInfo(lines);
        Titles.clear();
        for (int i = 0; i < lines.Count(); ++i)
            Titles.push_back(lines[i]);
    }
    void SetAudioDelay(int milliseconds) override { Delay = milliseconds; }
    std::vector<std::string> Titles;
    int Delay = -1;
};

class TOpenFixture : public ::testing::Test {
protected:
    TOpenFixture()
    {
        ForceDirectories(Dir.File("MediaID"));
        Services.ControlForm = &Form;
        Services.VideoForm = &Video;
        Services.OSDForm = &OSD;
        Services.PlaylistForm = &PlaylistForm;
        Services.RenderResultForm = &RenderResult;
        Services.StartPlaybackForm = &Question;
        Services.ShowMessage = [this](const std::string& text) { Messages.push_back(text); };
    }
    ~TOpenFixture() override
    {
        if (FEngine)
            FEngine->ClosePlayingFile();
    }

    // Made at the first use, so that a test can register doubles of the outside filters first.
    TCommonModule& Engine()
    {
        if (!FEngine) {
            FEngine = std::make_unique<TCommonModule>(nullptr, Services);
            FProcessor = NewComponent<TParvoluxSoundProcessor>(FEngine.get());
            FEngine->PvlSprocessor = FProcessor;
            FProcessor->SetOnPCMDataCallBack([this](TObject*, void*, int32_t, int32_t&, PDSStream) { ++Blocks; });
            // Bound as the program's start-up binds it.
            FProcessor->SetOnMediaTypeChange([this](TObject* sender, PDSStream stream) {
                FEngine->PvlSprocessorMediaTypeChange(sender, stream);
            });
            for (const auto& item : FEngine->VideoRenderers)
                FEngine->PreferredRenderers.AddObject(item->ShortName, item.get());
        }
        return *FEngine;
    }
    TParvoluxSoundProcessor& Processor()
    {
        Engine();
        return *FProcessor;
    }

    // Appends entries to the play list; the index of the first.
    int Add(std::initializer_list<std::string> files)
    {
        const int first = List.ItemCount();
        for (const std::string& file : files)
            List.Items.push_back(TPlayListItem{file, "", -1, 0});
        return first;
    }

    // The sound processor sits between a stream and the audio renderer, and the renderer
    // is fed by it.
    bool ProcessorFeedsRenderer()
    {
        TCommonModule& e = Engine();
        ComPtr<IBaseFilter> processor;
        e.GetFilterByGUID(CLSID_PvlSPFilter, processor);
        if (!processor || processor.Get() != FProcessor->Filter() || !e.AudioRenderer)
            return false;
        ComPtr<IPin> input = FindPin(e.AudioRenderer.Get(), PINDIR_INPUT);
        ComPtr<IPin> fed, feeding;
        return input && SUCCEEDED(input->ConnectedTo(&fed)) && fed.Get() == FProcessor->OutputPin() &&
               SUCCEEDED(FProcessor->InputPin()->ConnectedTo(&feeding));
    }

    // Runs the open graph until the processor has seen audio.
    bool AudioFlows()
    {
        const int before = Blocks;
        return PumpUntil([&] { return Blocks > before; }, 5000);
    }

    TComInit Com;
    TTempDir Dir;
    TEngineLog Log;
    TTitleControlForm Form{Log, Dir.Path()};
    TRendererVideoForm Video{Log};
    TFakeOSDForm OSD{Log};
    TFakePlayList List{Log};
    TFakePlaylistForm PlaylistForm{&List};
    TFakeRenderResultForm RenderResult{Log};
    TFakeStartPlaybackForm Question;
    TEngineServices Services;
    std::vector<std::string> Messages;
    std::atomic<int> Blocks{0};
    std::unique_ptr<TCommonModule> FEngine;  // last, so it goes first
    TParvoluxSoundProcessor* FProcessor = nullptr;
};

}  // namespace pvltest
