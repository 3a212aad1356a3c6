#include "Splitter.h"

#include <algorithm>

TSplitter::TSplitter(TComponent* owner) : TCustomControl(owner)
{
    FWidth = 3;
    FHeight = 100;
    SetAlign(alLeft);
}

void TSplitter::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.Cursor = LoadCursorA(nullptr, IDC_SIZEWE);
}

void TSplitter::Paint(HDC dc)
{
    RECT r = ClientRect();
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
}

TControl* TSplitter::ResizedControl() const
{
    const TWinControl* parent = Parent();
    if (!parent)
        return nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == this || !c->Visible() || c->Align() != Align())
            continue;
        if (Align() == alLeft && c->Left() + c->Width() == Left())
            return c;
        if (Align() == alRight && c->Left() == Left() + Width())
            return c;
    }
    return nullptr;
}

void TSplitter::MoveBy(int dx)
{
    TControl* resized = ResizedControl();
    TWinControl* parent = Parent();
    if (!resized || !parent || dx == 0)
        return;
    // Room left in the client beside the resized control, the splitter and the rest.
    const int client = parent->ClientRect().Width();
    const int grow = Align() == alLeft ? dx : -dx;
    const int width = std::clamp(resized->Width() + grow, MinSize, std::max(MinSize, client - Width() - MinSize));
    if (width == resized->Width())
        return;
    resized->SetBounds(resized->Left(), resized->Top(), width, resized->Height());
    parent->Realign();
    if (OnMoved)
        OnMoved(this);
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        FDragging = true;
        FDownX = x;
        SetCapture(Handle());
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TSplitter::MouseMove(TShiftState shift, int x, int y)
{
    // The bar moves under the mouse, so the grip point stays where it was pressed.
    if (FDragging)
        MoveBy(x - FDownX);
    TCustomControl::MouseMove(shift, x, y);
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (FDragging && button == mbLeft) {
        FDragging = false;
        ReleaseCapture();
    }
    TCustomControl::MouseUp(button, shift, x, y);
}
