// From Popup to the end of the menu window's first WM_PAINT: the skinned menu window against
// TrackPopupMenu with the same items in the same (system menu) font, animation off. Both windows
// are subclassed when a CBT hook sees them made. One run: on first use and warm (median).
#include "menus/MenuUtils.h"
#include "menus/PopupMenu2000Form.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point PaintEnd;
bool Painted = false;
HHOOK Hook = nullptr;
bool EndPlainMenu = false;

LRESULT CALLBACK Subclassed(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const auto old = reinterpret_cast<WNDPROC>(GetPropA(wnd, "BenchOldProc"));
    const LRESULT result = CallWindowProcA(old, wnd, msg, wParam, lParam);
    if (msg == WM_PAINT && !Painted) {
        Painted = true;
        PaintEnd = Clock::now();
        if (EndPlainMenu)
            EndMenu();
    }
    return result;
}

// Subclasses every menu window as it is made: ours ("TPopupMenu2000Form") or the system's ("#32768").
LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const HWND wnd = reinterpret_cast<HWND>(wParam);
        char name[64] = {};
        GetClassNameA(wnd, name, sizeof name);
        if (std::string(name) == "TPopupMenu2000Form" || std::string(name) == "#32768")
            SetPropA(wnd, "BenchOldProc",
                     reinterpret_cast<HANDLE>(SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Subclassed))));
    }
    return CallNextHookEx(Hook, code, wParam, lParam);
}

struct TItemSpec {
    std::string Caption;
    std::string ShortCut;
    bool Separator = false, Checked = false, Disabled = false;
};

std::vector<TItemSpec> Items(int count)
{
    std::vector<TItemSpec> items;
    for (int i = 0; i < count; ++i) {
        TItemSpec s;
        s.Separator = i % 7 == 6;
        s.Caption = s.Separator ? "-" : "Menu command number " + std::to_string(i);
        if (i % 3 == 0)
            s.ShortCut = "Ctrl+" + std::string(1, static_cast<char>('A' + i % 26));
        s.Checked = i % 5 == 1;
        s.Disabled = i % 4 == 3;
        items.push_back(s);
    }
    return items;
}

double Ms(Clock::time_point start, Clock::time_point end)
{
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One popup of ours: from ShowPopup to the end of the first paint.
double OursOnce(TPopupMenu2000& menu)
{
    Painted = false;
    const auto start = Clock::now();
    menu.ShowPopup(100, 50);
    while (!Painted) {
        MSG msg;
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0)
            break;
        DispatchMessageA(&msg);
    }
    const double ms = Ms(start, PaintEnd);
    CloseMenus();
    PumpMenuMessages();
    return ms;
}

double PlainOnce(HMENU menu, HWND owner)
{
    Painted = false;
    EndPlainMenu = true;
    const auto start = Clock::now();
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, 100, 50, 0, owner, nullptr);
    EndPlainMenu = false;
    PumpMenuMessages();
    return Painted ? Ms(start, PaintEnd) : -1;
}

}  // namespace

int main()
{
    MenuUnitStart();
    UseMenuWindows();
    BOOL animation = FALSE;
    SystemParametersInfoA(SPI_GETMENUANIMATION, 0, &animation, 0);
    SystemParametersInfoA(SPI_SETMENUANIMATION, 0, nullptr, 0);
    Hook = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
    TForm owner(nullptr);
    owner.SetBounds(0, 0, 100, 40);
    owner.Show();
    auto* skin = NewComponent<TMoney>(&owner);
    const int Warm = 15;

    std::printf("%-7s %12s %12s %12s %12s %10s %10s\n", "items", "ours 1st", "plain 1st", "ours warm", "plain warm",
                "1st ratio", "warm ratio");
    std::vector<double> oursWarm, plainWarm;
    const int sizes[] = {10, 40, 100};
    for (int size : sizes) {
        const std::vector<TItemSpec> specs = Items(size);
        auto* menu = NewComponent<TPopupMenu2000>(&owner);
        menu->SetAnimatedSkin(skin);
        menu->Options().SetAnimation(anNone);
        for (const TItemSpec& s : specs) {
            TMenuItem2000* item = NewItem2000(menu, s.Caption, 0, s.Checked, !s.Disabled, nullptr, 0, "");
            if (!s.ShortCut.empty())
                item->SetShortCut(s.ShortCut);
            menu->Items()->Add(item);
        }
        const HMENU plain = CreatePopupMenu();
        for (const TItemSpec& s : specs) {
            if (s.Separator) {
                AppendMenuA(plain, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            const std::string text = s.ShortCut.empty() ? s.Caption : s.Caption + "\t" + s.ShortCut;
            AppendMenuA(plain, MF_STRING | (s.Checked ? MF_CHECKED : 0) | (s.Disabled ? MF_GRAYED : 0), 1, text.c_str());
        }
        const double oursFirst = OursOnce(*menu);
        const double plainFirst = PlainOnce(plain, owner.Handle());
        std::vector<double> a, b;
        for (int i = 0; i < Warm; ++i) {
            a.push_back(OursOnce(*menu));
            b.push_back(PlainOnce(plain, owner.Handle()));
        }
        const double ow = Median(a), pw = Median(b);
        oursWarm.push_back(ow);
        plainWarm.push_back(pw);
        std::printf("%-7d %12.2f %12.2f %12.2f %12.2f %10.2f %10.2f\n", size, oursFirst, plainFirst, ow, pw,
                    oursFirst / plainFirst, ow / pw);
        DestroyMenu(plain);
        delete menu;
    }
    // The per-item cost: the least-squares slope over the three sizes.
    auto slope = [&](const std::vector<double>& t) {
        double mx = 0, my = 0;
        for (size_t i = 0; i < 3; ++i) {
            mx += sizes[i] / 3.0;
            my += t[i] / 3.0;
        }
        double num = 0, den = 0;
        for (size_t i = 0; i < 3; ++i) {
            num += (sizes[i] - mx) * (t[i] - my);
            den += (sizes[i] - mx) * (sizes[i] - mx);
        }
        return num / den;
    };
    const double so = slope(oursWarm), sp = slope(plainWarm);
    std::printf("per item (warm slope): ours %.4f ms, plain %.4f ms, ratio %.2f\n", so, sp, so / sp);
    std::printf("goal: warm first paint within 1.5x of the plain menu\n");
    UnhookWindowsHookEx(Hook);
    SystemParametersInfoA(SPI_SETMENUANIMATION, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(animation)), 0);
    return 0;
}
