// The small dialogs with their real windows: texts, OK and Cancel, and the render-result
// window's pages and don't-show-again flags.
#include "ui/SmallDialogs.h"

#include "framework/ComboBox.h"
#include "framework/ExtCtrls.h"
#include "framework/Spin.h"
#include "framework/StdCtrls.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

std::string WindowText(TWinControl* control)
{
    char buffer[512] = {};
    GetWindowTextA(control->Handle(), buffer, sizeof buffer);
    return buffer;
}

// Runs an action once the modal window is up (from its own message loop), like a user.
void WhileModal(TForm* form, std::function<void()> action)
{
    auto* timer = NewComponent<TTimer>(form);
    timer->SetInterval(30);
    timer->OnTimer = [timer, action](TObject*) {
        timer->SetEnabled(false);
        action();
    };
}

void Click(TWinControl* button)
{
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
}

struct SmallDialogsTest : ::testing::Test {
    TApplication app;
    void SetUp() override { app.ShowExceptions = false; }
};

}  // namespace

TEST_F(SmallDialogsTest, AddressDialogTextsAndResults)
{
    auto* form = app.CreateForm<TURLForm>();
    form->Show();
    EXPECT_EQ(WindowText(form), "Open URL");
    EXPECT_EQ(WindowText(form->Memo1),
              "Type in the URL-address or the location on a multimedia file you like to play from the internet, this "
              "computer or network.");
    EXPECT_EQ(WindowText(form->Label3), "&Open:");
    EXPECT_EQ(WindowText(form->Button1), "Ok");
    form->Hide();

    std::string address;
    WhileModal(form, [form] {
        EXPECT_EQ(form->ComboBox1->Items(), (std::vector<std::string>{"http://a/", "C:\\b.avi"}));
        form->ComboBox1->SetText("http://typed/");
        Click(form->Button1);
    });
    EXPECT_TRUE(form->ExecuteURL({"http://a/", "C:\\b.avi"}, address));
    EXPECT_EQ(address, "http://typed/");

    WhileModal(form, [form] { Click(form->Button2); });
    std::string kept = "unchanged";
    EXPECT_FALSE(form->ExecuteURL({}, kept));
    EXPECT_EQ(kept, "unchanged");
}

TEST_F(SmallDialogsTest, ProxyDialogTextsPortRangeAndResults)
{
    auto* form = app.CreateForm<TProxyForm>();
    form->Show();
    EXPECT_EQ(WindowText(form), "Configure proxy");
    EXPECT_EQ(WindowText(form->Label1), "Enter your proxy hostname and port.");
    EXPECT_EQ(WindowText(form->Label2), "&Name:");
    EXPECT_EQ(WindowText(form->Label3), "&Port:");
    EXPECT_EQ(WindowText(form->Button1), "Ok");
    EXPECT_EQ(WindowText(form->Button2), "Cancel");
    form->Hide();

    std::string host = "proxy.local";
    int port = 8080;
    WhileModal(form, [form] {
        EXPECT_EQ(form->Edit1->Text(), "proxy.local");
        EXPECT_EQ(form->SpinEdit1->Value(), 8080);
        form->Edit1->SetText("other.host");
        SetWindowTextA(form->SpinEdit1->Handle(), "70000");
        Click(form->Button1);
    });
    EXPECT_TRUE(form->ExecuteProxy(host, port));
    EXPECT_EQ(host, "other.host");
    EXPECT_EQ(port, 65535);

    WhileModal(form, [form] {
        form->Edit1->SetText("ignored");
        Click(form->Button2);
    });
    EXPECT_FALSE(form->ExecuteProxy(host, port));
    EXPECT_EQ(host, "other.host");
}

TEST_F(SmallDialogsTest, AboutBoxTextsHelpAndClose)
{
    auto* about = app.CreateForm<TAbout>("1.2.3.4");
    std::vector<std::string> opened;
    about->OpenAddress = [&](const std::string& address) { opened.push_back(address); };
    WhileModal(about, [&] {
        EXPECT_EQ(WindowText(about->ProductLabel), "Parvolux");
        EXPECT_EQ(WindowText(about->VersionLabel), "1.2.3.4");
        EXPECT_EQ(WindowText(about->CompanyLabel), "Kestrel Forge");
        EXPECT_EQ(WindowText(about->Button2), "Help");
        EXPECT_EQ(WindowText(about->Button3), "Close");
        Click(about->Button2);
        Click(about->Button3);
    });
    about->ShowAbout();
    EXPECT_EQ(opened, (std::vector<std::string>{"https://kestrelforge.example/parvolux/help"}));
    EXPECT_FALSE(about->Visible());
}

TEST_F(SmallDialogsTest, ResumeQuestionTextsAndChoice)
{
    auto* form = app.CreateForm<TStartPlaybackForm>();
    IStartPlaybackForm* question = form;
    EXPECT_TRUE(question->ContinueChecked());
    WhileModal(form, [form] {
        EXPECT_EQ(WindowText(form), "Intelligent Load.");
        EXPECT_EQ(WindowText(form->Memo1),
                  "The movie just loaded has previous been played, how do you like the playback to start.");
        EXPECT_EQ(WindowText(form->Continue), "Continue from last known");
        EXPECT_EQ(WindowText(form->Startover), "Start from the beginning.");
        EXPECT_EQ(WindowText(form->DontShow), "Don't show this message again");
        EXPECT_EQ(WindowText(form->Button1), "Ok");
        Click(form->Startover);
        Click(form->DontShow);
        Click(form->Button1);
    });
    EXPECT_EQ(question->ShowModal(), mrOk);
    EXPECT_FALSE(question->ContinueChecked());
    EXPECT_TRUE(question->DontShowChecked());
}

TEST_F(SmallDialogsTest, RenderResultShowsEachPageUntilToldNotTo)
{
    auto* form = app.CreateForm<TRenderResultForm>();
    IRenderResultForm* window = form;
    int shown = 0;
    form->OnShow = [&](TObject*) { ++shown; };

    window->ShowRenderResult(S_OK, L"C:\\ok.avi");
    EXPECT_EQ(shown, 0);

    WhileModal(form, [form] {
        EXPECT_EQ(WindowText(form), "Error...");
        EXPECT_EQ(form->Notebook1->PageIndex(), 4);
        EXPECT_EQ(WindowText(form->Memos[4]), "File not found !!!\r\nC:\\missing.avi");
        EXPECT_EQ(WindowText(form->CheckBox1), "Do not show this message again.");
        Click(form->CheckBox1);
        Click(form->Button1);
    });
    window->ShowRenderResult(static_cast<HRESULT>(0x80070002), L"C:\\missing.avi");
    EXPECT_EQ(shown, 1);
    window->ShowRenderResult(static_cast<HRESULT>(0x80040216), L"C:\\other.avi");  // the same page: not again
    EXPECT_EQ(shown, 1);

    WhileModal(form, [form] {
        EXPECT_EQ(WindowText(form), "Warning...");
        EXPECT_EQ(form->Notebook1->PageIndex(), 1);
        EXPECT_FALSE(form->CheckBox1->Checked());
        Click(form->Button1);
    });
    window->ShowRenderResult(static_cast<HRESULT>(0x00040257), L"C:\\a.avi");
    EXPECT_EQ(shown, 2);
}
