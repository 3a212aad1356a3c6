#include "ControlsFixture.h"
#include "framework/ListView.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"

#include <commctrl.h>

#include <utility>
#include <vector>

TEST_F(ControlsFixture, EditTextFollowsTheWindowAndReportsChanges)
{
    auto* edit = Add<TEdit>();
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->SetText("before");
    form->HandleNeeded();
    EXPECT_EQ(WindowText(edit->Handle()), "before");
    Type(edit, "typed", EN_CHANGE);
    EXPECT_EQ(edit->Text(), "typed");
    edit->SetText("set");
    EXPECT_EQ(WindowText(edit->Handle()), "set");
    EXPECT_EQ(changes, 3);
}

TEST_F(ControlsFixture, RadioButtonsOfOneParentExcludeEachOther)
{
    auto* group = Add<TGroupBox>();
    group->SetCaption("Start");
    auto* first = Add<TRadioButton>(group);
    auto* second = Add<TRadioButton>(group);
    auto* elsewhere = Add<TRadioButton>();
    first->SetChecked(true);
    elsewhere->SetChecked(true);
    form->HandleNeeded();
    EXPECT_EQ(SendMessageA(first->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    int clicks = 0;
    second->OnClick = [&](TObject*) { ++clicks; };
    Notify(second, BN_CLICKED);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(second->Checked());
    EXPECT_FALSE(first->Checked());
    EXPECT_EQ(SendMessageA(first->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(elsewhere->Checked());
}

namespace {

struct TRecordingPopup : TPopupMenu {
    using TPopupMenu::TPopupMenu;
    void Popup(int x, int y) override { Shown.push_back(POINT{x, y}); }
    std::vector<POINT> Shown;
};

}  // namespace

TEST_F(ControlsFixture, ContextPopupAsksTheControlFirstAndHandledKeepsTheMenuShut)
{
    auto* menu = NewComponent<TRecordingPopup>(form);
    form->PopupMenu = menu;
    form->SetBounds(50, 60, 400, 300);
    bool handle = true;
    std::vector<TPoint> asked;
    form->OnContextPopup = [&](TObject*, TPoint at, bool& handled) {
        asked.push_back(at);
        handled = handle;
    };
    POINT screen{30, 40};
    ClientToScreen(form->Handle(), &screen);
    const LPARAM at = MAKELPARAM(screen.x, screen.y);
    SendMessageA(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()), at);
    EXPECT_TRUE(menu->Shown.empty());
    handle = false;
    SendMessageA(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()), at);
    ASSERT_EQ(menu->Shown.size(), 1u);
    EXPECT_EQ(menu->Shown[0].x, screen.x);
    // From the keyboard the event hears (-1, -1).
    SendMessageA(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()), -1);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0], TPoint(30, 40));
    EXPECT_EQ(asked[2], TPoint(-1, -1));
    EXPECT_EQ(menu->Shown.size(), 2u);
}

TEST_F(ControlsFixture, StatusBarSimpleModeShowsOneTextAndKeepsThePanels)
{
    auto* bar = Add<TStatusBar>();
    bar->SetPanelWidths({80, -1});
    bar->SetPanelText(0, "left");
    bar->SetSimpleText("before simple");  // kept until simple mode shows it
    form->HandleNeeded();
    const HWND wnd = bar->Handle();
    char text[64] = {};
    EXPECT_EQ(SendMessageA(wnd, SB_ISSIMPLE, 0, 0), 0);
    bar->SetSimplePanel(true);
    EXPECT_NE(SendMessageA(wnd, SB_ISSIMPLE, 0, 0), 0);
    SendMessageA(wnd, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));  // the simple part reads as part 0
    EXPECT_STREQ(text, "before simple");
    bar->SetSimpleText("hint");
    SendMessageA(wnd, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "hint");
    bar->SetSimplePanel(false);
    EXPECT_EQ(SendMessageA(wnd, SB_ISSIMPLE, 0, 0), 0);
    SendMessageA(wnd, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "left");
    EXPECT_EQ(bar->PanelCount(), 2);
}

TEST_F(ControlsFixture, ApplicationHintTellsItsChangesAndHelpGoesThroughOnHelp)
{
    int hints = 0;
    app.OnHint = [&](TObject* sender) { hints += sender == &app; };
    app.SetHint("one");
    app.SetHint("one");
    app.SetHint("");
    EXPECT_EQ(hints, 2);
    EXPECT_EQ(app.Hint(), "");

    std::vector<std::pair<WORD, LONG_PTR>> asked;
    app.OnHelp = [&](WORD command, LONG_PTR data, bool& callHelp) {
        asked.push_back({command, data});
        callHelp = false;
        return data == 7;
    };
    app.HelpFile = "player.hlp";
    EXPECT_TRUE(app.HelpContext(7));
    EXPECT_FALSE(app.HelpContext(8));
    EXPECT_EQ(asked, (std::vector<std::pair<WORD, LONG_PTR>>{{HELP_CONTEXT, 7}, {HELP_CONTEXT, 8}}));
}
