// The menu bar on an MDI frame: the maximised active child's system item at the start of the
// bar and its border icons at the end.
#include "MenuBar2000.h"

#include "MenuUtils.h"
#include "framework/Forms.h"

namespace {

// Each border icon: its picture, the command it sends the child, the icon bit that enables it.
const struct {
    TMenuBar2000::TBorderButton Button;
    UINT FrameState;
    WPARAM Command;
    unsigned Needs;
} BorderButtons[] = {
    {TMenuBar2000::bbMinimize, DFCS_CAPTIONMIN, SC_MINIMIZE, biMinimize},
    {TMenuBar2000::bbRestore, DFCS_CAPTIONRESTORE, SC_RESTORE, biMaximize},
    {TMenuBar2000::bbClose, DFCS_CAPTIONCLOSE, SC_CLOSE, biSystemMenu},
};

}  // namespace

TCustomForm* TMenuBar2000::OwningForm() const
{
    for (TWinControl* control = Parent(); control; control = control->Parent())
        if (auto* form = dynamic_cast<TCustomForm*>(control))
            return form;
    return nullptr;
}

TCustomForm* TMenuBar2000::MaximisedChild() const
{
    TCustomForm* form = OwningForm();
    TCustomForm* child = form && form->FormStyle == fsMDIForm ? form->ActiveMDIChild() : nullptr;
    return child && child->HandleAllocated() && IsZoomed(child->HandleOrNull()) ? child : nullptr;
}

int TMenuBar2000::SystemItemWidth() const
{
    const TCustomForm* child = MaximisedChild();
    return ::SystemItemWidth(child && (child->BorderIcons & biSystemMenu));
}

int TMenuBar2000::BorderIconsWidth() const
{
    const TCustomForm* child = MaximisedChild();
    return child ? ::BorderIconsWidth(true, child->BorderIcons, Orientation == 1) : 0;
}

TRect TMenuBar2000::GetSystemItemRect() const
{
    return SystemItemRect(SystemItemWidth(), Orientation == 1, RightToLeft(), Width(), BorderIconsWidth(), Width());
}

TRect TMenuBar2000::BorderIconRect(TBorderButton button) const
{
    const TCustomForm* child = MaximisedChild();
    const int width = BorderIconsWidth();
    if (!child || width == 0)
        return {};
    const unsigned icons = child->BorderIcons;
    const bool pair = icons & (biMinimize | biMaximize);
    if ((button == bbClose && !(icons & biSystemMenu)) || (button != bbClose && !pair))
        return {};
    // Along the bar: 5 (horizontal) before the pair of 16s, 2 (+ 2 horizontal) before the close 16.
    const bool vertical = Orientation == 1;
    int at = (vertical ? Height() : Width()) - width + (vertical ? 0 : 5);
    if (button == bbRestore)
        at += MenuGlyphSize;
    else if (button == bbClose && pair)
        at += 2 * MenuGlyphSize + (vertical ? 2 : 4);
    const int boxHeight = MenuGlyphSize - 2;
    if (vertical) {
        const int left = (Width() - MenuGlyphSize) / 2;
        return {left, at, left + MenuGlyphSize, at + boxHeight};
    }
    const int top = (Height() - boxHeight) / 2;
    return {at, top, at + MenuGlyphSize, top + boxHeight};
}

HMENU TMenuBar2000::MaximisedSystemMenu(TCustomForm& child)
{
    const HMENU menu = GetSystemMenu(child.Handle(), FALSE);
    const auto style = static_cast<DWORD>(GetWindowLongA(child.Handle(), GWL_STYLE));
    // The system sets these only for menus it tracks itself.
    const struct {
        UINT Command;
        bool Enabled;
    } entries[] = {
        {SC_RESTORE, true}, {SC_MOVE, false}, {SC_SIZE, false}, {SC_MAXIMIZE, false},
        {SC_MINIMIZE, (style & WS_MINIMIZEBOX) != 0}, {SC_CLOSE, true},
    };
    for (const auto& e : entries)
        EnableMenuItem(menu, e.Command, MF_BYCOMMAND | (e.Enabled ? MF_ENABLED : MF_GRAYED));
    return menu;
}

void TMenuBar2000::PaintMdiParts(HDC dc)
{
    TCustomForm* child = MaximisedChild();
    if (!child)
        return;
    if (SystemItemWidth() > 0) {
        RECT rect = GetSystemItemRect();
        DrawFormIcon(dc, child, MenuGlyphSize, rect.top, rect.left + 2);
        if (FHotItem == FSystemItem.get() && FItemState != 0)
            DrawEdge(dc, &rect, FItemState == 1 ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    }
    const TBorderIconLook look = BorderIconLook(BorderIconsStyle);
    const UINT style = (look.Flat ? DFCS_FLAT : 0) | (look.Mono ? DFCS_MONO : 0);
    for (const auto& b : BorderButtons)
        if (RECT rect = BorderIconRect(b.Button); rect.right > rect.left)
            DrawFrameControl(dc, &rect, DFC_CAPTION,
                             b.FrameState | style | ((child->BorderIcons & b.Needs) ? 0 : DFCS_INACTIVE));
}

bool TMenuBar2000::BorderIconPressed(TPoint point)
{
    TCustomForm* child = MaximisedChild();
    if (!child)
        return false;
    for (const auto& b : BorderButtons)
        if (PointInRect(BorderIconRect(b.Button), point)) {
            CloseItem();
            if (child->BorderIcons & b.Needs)
                SendMessageA(child->HandleOrNull(), WM_SYSCOMMAND, b.Command, 0);
            return true;
        }
    return false;
}
