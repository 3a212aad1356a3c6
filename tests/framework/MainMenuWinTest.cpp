#include "framework/Forms.h"
#include "framework/MainMenu.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

void AddItems(TMainMenu& menu, std::initializer_list<std::pair<const char*, int>> items)
{
    for (const auto& [caption, group] : items)
        menu.Items()->AddNew(caption)->GroupIndex = group;
}

std::string Captions(const TMainMenu& menu)
{
    std::string out;
    for (TMenuItem* item : menu.MergedItems())
        out += (out.empty() ? "" : " ") + item->Caption;
    return out;
}

}  // namespace

TEST(MainMenu, MergesByGroupIndexAndUnmergesWhenFreed)
{
    TComponent form;
    auto* frame = NewComponent<TMainMenu>(&form);
    AddItems(*frame, {{"File", 0}, {"Edit", 1}, {"Window", 9}});
    auto child = std::make_unique<TMainMenu>(nullptr);
    AddItems(*child, {{"ChildEdit", 1}, {"View", 2}});
    auto other = std::make_unique<TMainMenu>(nullptr);
    AddItems(*other, {{"OtherEdit", 1}});

    EXPECT_EQ("File Edit Window", Captions(*frame));
    frame->Merge(child.get());
    frame->Merge(other.get());
    frame->Merge(child.get());  // once only
    EXPECT_TRUE(child->IsMergedInto(frame));
    EXPECT_EQ("File OtherEdit View Window", Captions(*frame));

    child.reset();  // a freed menu leaves the frame's list
    EXPECT_EQ(2u, frame->MergedMenus().size());
    EXPECT_EQ("File OtherEdit Window", Captions(*frame));
    frame->Unmerge(other.get());
    EXPECT_FALSE(other->IsMergedInto(frame));
    EXPECT_EQ("File Edit Window", Captions(*frame));
}

namespace {

// A control of the frame that counts the menu-change notices.
class TNoticeCounter : public TWinControl {
public:
    using TWinControl::TWinControl;
    int Notices = 0;

protected:
    void WndProc(TMessage& message) override
    {
        if (message.Msg == CM_MENUCHANGED)
            ++Notices;
        TWinControl::WndProc(message);
    }
};

TForm* NewChild(TApplication& app, std::initializer_list<std::pair<const char*, int>> items)
{
    auto* child = app.CreateForm<TForm>();
    child->FormStyle = fsMDIChild;
    auto* menu = NewComponent<TMainMenu>(child);
    AddItems(*menu, items);
    child->SetMenu(menu);
    child->Show();
    app.ProcessMessages();
    return child;
}

}  // namespace

TEST(MdiForms, TheFrameMergesItsActiveChildsMenuLastAndTellsItsControls)
{
    TApplication app;
    auto* frame = app.CreateForm<TForm>();
    frame->FormStyle = fsMDIForm;
    frame->SetBounds(50, 50, 500, 400);
    auto* frameMenu = NewComponent<TMainMenu>(frame);
    AddItems(*frameMenu, {{"File", 0}, {"Edit", 1}, {"Window", 9}});
    frame->SetMenu(frameMenu);
    auto* counter = NewComponent<TNoticeCounter>(frame);
    counter->SetParent(frame);
    counter->SetAlign(alTop);
    counter->SetHeight(20);
    frame->Show();
    ASSERT_NE(nullptr, frame->ClientHandle());
    // The client window fills what the aligned control leaves.
    RECT client{};
    GetWindowRect(frame->ClientHandle(), &client);
    MapWindowPoints(nullptr, frame->Handle(), reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(20, client.top);
    EXPECT_EQ(frame->ClientRect().bottom, client.bottom);

    TForm* a = NewChild(app, {{"AEdit", 1}, {"AView", 2}});
    EXPECT_EQ(a, frame->ActiveMDIChild());
    EXPECT_EQ(frame, a->MDIFrame());
    EXPECT_EQ("File AEdit AView Window", Captions(*frameMenu));
    TForm* b = NewChild(app, {{"BEdit", 1}});
    EXPECT_EQ(b, frame->ActiveMDIChild());
    EXPECT_EQ("File BEdit Window", Captions(*frameMenu));  // the inactive child's menu left
    EXPECT_FALSE(a->Menu()->IsMergedInto(frameMenu));

    // A menu merged after the active child's does not win a shared group: the active one goes last.
    TMainMenu extra(nullptr);
    AddItems(extra, {{"Extra", 1}, {"Tools", 3}});
    frameMenu->Merge(&extra);
    EXPECT_EQ("File BEdit Tools Window", Captions(*frameMenu));

    SendMessageA(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a->Handle()), 0);
    app.ProcessMessages();
    EXPECT_EQ(a, frame->ActiveMDIChild());
    EXPECT_EQ("File AEdit AView Tools Window", Captions(*frameMenu));

    // The size state of a child reaches the frame's controls.
    const int before = counter->Notices;
    a->SetWindowState(wsMaximized);
    app.ProcessMessages();
    EXPECT_EQ(wsMaximized, a->WindowState());
    EXPECT_TRUE(IsZoomed(a->Handle()));
    EXPECT_GT(counter->Notices, before);
    a->SetWindowState(wsNormal);
    EXPECT_EQ(wsNormal, a->WindowState());

    // A child's close minimises it, unless it may not be minimised.
    a->Close();
    EXPECT_EQ(wsMinimized, a->WindowState());
    b->BorderIcons = biSystemMenu;
    b->Close();
    EXPECT_EQ(wsNormal, b->WindowState());
    frameMenu->Unmerge(&extra);
}
