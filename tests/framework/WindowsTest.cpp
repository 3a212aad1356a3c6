#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Threads.h"

#include <gtest/gtest.h>

namespace {
constexpr UINT kPing = WM_USER + 77;

class TProbeForm : public TForm {
public:
    using TForm::TForm;
    std::vector<LPARAM> Pings;

protected:
    void WndProc(TMessage& message) override
    {
        if (message.Msg == kPing) {
            Pings.push_back(message.LParam);
            message.Result = 0x1234;
            return;
        }
        TForm::WndProc(message);
    }
};

class TSyncThread : public TThread {
public:
    TSyncThread() { Start(); }
    DWORD RanOn = 0;

protected:
    void Execute() override { Synchronize([this] { RanOn = GetCurrentThreadId(); }); }
};
}

TEST(Windows, WindowProcedureReceivesPostedAndSentMessages)
{
    TApplication app;
    app.ShowExceptions = false;
    auto* form = app.CreateForm<TProbeForm>();
    form->SetCaption("Probe");
    const HWND wnd = form->Handle();
    ASSERT_NE(wnd, nullptr);
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    EXPECT_STREQ(cls, "TPvlForm");
    ASSERT_TRUE(PostMessageA(wnd, kPing, 0, 41));
    EXPECT_EQ(SendMessageA(wnd, kPing, 0, 42), 0x1234);
    app.ProcessMessages();
    EXPECT_EQ(form->Pings, (std::vector<LPARAM>{42, 41}));
    EXPECT_EQ(TWinControl::FromHandle(wnd), form);
}

TEST(Windows, TimerAndSynchronizeRunInTheMessageLoop)
{
    TApplication app;
    app.ShowExceptions = false;
    auto* form = app.CreateForm<TForm>();
    auto* timer = NewComponent<TTimer>(form);
    timer->SetInterval(20);
    int ticks = 0;
    timer->OnTimer = [&](TObject*) {
        if (++ticks == 3)
            app.Terminate();
    };
    TSyncThread thread;
    app.ShowMainForm = false;
    app.Run();
    thread.WaitFor();
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(thread.RanOn, GetCurrentThreadId());
}

TEST(Windows, ExceptionInAHandlerIsReportedNotPropagated)
{
    TApplication app;
    app.ShowExceptions = false;
    auto* form = app.CreateForm<TForm>();
    form->OnCloseQuery = [](TObject*, bool&) { throw Exception("handler failed"); };
    SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.LastException, "handler failed");
}

TEST(Windows, ModalFormReturnsItsModalResult)
{
    TApplication app;
    app.ShowExceptions = false;
    auto* main = app.CreateForm<TForm>();
    main->Show();
    auto* dialog = app.CreateForm<TForm>();
    auto* timer = NewComponent<TTimer>(dialog);
    timer->SetInterval(30);
    bool mainDisabled = false;
    timer->OnTimer = [&](TObject*) {
        mainDisabled = !IsWindowEnabled(main->Handle());
        dialog->SetModalResult(mrOk);
    };
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_TRUE(mainDisabled);
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
    EXPECT_FALSE(dialog->Visible());
}

namespace {
BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}
}

TEST(Windows, AChildAskingFirstForItsWindowGetsOneWindow)
{
    TApplication app;
    app.ShowExceptions = false;
    auto* form = app.CreateForm<TForm>();
    auto* child = NewComponent<TPanel>(form);
    child->SetParent(form);  // the form has no window yet
    const HWND wnd = child->Handle();  // makes the form's first, which makes its children
    ASSERT_NE(wnd, nullptr);
    int windows = 0;
    EnumChildWindows(form->Handle(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(GetParent(wnd), form->Handle());
    EXPECT_EQ(TWinControl::FromHandle(wnd), child);
}
