// The graph build with the real video window choosing and connecting the video renderer.
#include "tests/engine/OpenFixture.h"

#include "ui/CommonModuleEngine.h"
#include "ui/Video_Unit.h"

#include <map>

using namespace pvltest;

namespace {

class OpenWithVideoForm : public TOpenFixture {
protected:
    OpenWithVideoForm()
    {
        App.ShowExceptions = false;
        Window = App.CreateForm<TVideoForm>();
        Services.VideoForm = Window;
    }
    ~OpenWithVideoForm() override
    {
        if (FEngine)
            FEngine->ClosePlayingFile();
        FEngine.reset();  // before the window it calls
    }
    TApplication App;
    TVideoForm* Window = nullptr;
};

TEST_F(OpenWithVideoForm, VideoGoesToThePreferredRenderer)
{
    TCommonModule& e = Engine();
    TCommonModuleEngine link(e);
    Window->Engine = &link;
    ASSERT_FALSE(e.VideoRenderers.empty());
    const int index = Add({FixturePath("uncompressed.avi")});
    ASSERT_TRUE(e.PlayInList(index, false));
    EXPECT_EQ(RenderResult.Results.back(), S_OK);
    ASSERT_EQ(e.VideoPins.size(), 1u);
    EXPECT_EQ(e.VideoPins.front().State, pinRenders);
    ComPtr<IPin> renderer;
    ASSERT_EQ(e.VideoPins.front().Pin->ConnectedTo(&renderer), S_OK);
    PIN_INFO info{};
    ASSERT_EQ(renderer->QueryPinInfo(&info), S_OK);
    CLSID classId{};
    info.pFilter->GetClassID(&classId);
    info.pFilter->Release();
    // The window's kind is the renderer really in the graph, and it is a preferred one.
    const std::map<TVideoRendererKind, CLSID> kindClass = {
        {vrVMR9, CLSID_VideoMixingRenderer9}, {vrVMR, CLSID_VideoMixingRenderer},
        {vrOverlay2, CLSID_OverlayMixer2Filter}, {vrOverlay, CLSID_OverlayMixer}, {vrNormal, CLSID_VideoRenderer}};
    ASSERT_TRUE(kindClass.contains(Window->RendererKind())) << "a renderer was chosen";
    EXPECT_EQ(classId, kindClass.at(Window->RendererKind())) << "the window's kind is the renderer in the graph";
    bool preferred = false;
    for (const auto& item : e.VideoRenderers)
        preferred = preferred || item->ClassID == classId;
    EXPECT_TRUE(preferred) << "a renderer of the preference list";
    EXPECT_TRUE(ProcessorFeedsRenderer());
    e.ClosePlayingFile();
    EXPECT_EQ(e.GetFilterState(), esNoGraph);
}

}  // namespace
