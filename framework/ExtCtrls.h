#pragma once
// Window timers.
#include "Controls.h"
#include "Graphics.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned value);
    TNotifyEvent OnTimer;

private:
    void Update();
    static LRESULT CALLBACK TimerWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool FEnabled = true;
    unsigned FInterval = 1000;
    TWindowHandle FWindow;
};

// One page of a notebook: a plain container.
class TPage : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
};

// Pages on top of each other; only the page at PageIndex shows.
class TNotebook : public TCustomControl {
public:
    explicit TNotebook(TComponent* owner);
    TPage* AddPage(const std::string& name);  // the page's Caption is its name
    int PageCount() const { return static_cast<int>(FPages.size()); }
    TPage* Pages(int index) const { return FPages.at(static_cast<size_t>(index)); }
    int PageIndex() const { return FPageIndex; }
    void SetPageIndex(int index);  // an index out of range is ignored
    std::string ActivePage() const;
    TNotifyEvent OnPageChanged;

private:
    std::vector<TPage*> FPages;
    int FPageIndex = -1;
};

// A plain container filled with its colour.
class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* owner);

protected:
    void Paint(HDC dc) override;
    void WndProc(TMessage& message) override;
};

// A rectangle drawn with a brush and a pen.
class TShape : public TCustomControl {
public:
    explicit TShape(TComponent* owner);
    TColor BrushColor = clWhite;
    TColor PenColor = clBlack;

protected:
    void Paint(HDC dc) override;
    void WndProc(TMessage& message) override;
};

// A surface its owner draws in OnPaint.
class TPaintBox : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::function<void(TObject* sender, HDC dc)> OnPaint;

protected:
    void Paint(HDC dc) override;
    void WndProc(TMessage& message) override;
};
