#include "MenuOptionsCore.h"

namespace {

const std::vector<std::string> AlignmentNames = {"taLeftJustify", "taRightJustify", "taCenter"};
const std::vector<std::string> FontStyleNames = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
const std::vector<std::string> MarginNames = {"Bevel", "BevelInner", "Border", "Frame", "Gutter",
                                              "Item",  "Left",       "Right",  "Separator", "Space"};
const std::vector<std::string> ColorNames = {
    "Bevel", "BevelShadow", "BevelInner", "BevelInnerShadow", "Border", "DisabledText", "DisabledShadow",
    "DropShadow", "Frame", "FrameShadow", "Gutter", "Highlight", "HighlightText", "Line", "LineShadow", "Menu",
    "MenuText", "Pressed", "PressedText", "Sunken", "SunkenText"};
const std::vector<std::string> PictureNames = {
    "Unhide", "Triangle", "CheckMark", "Radio", "Background", "ItemBackgroundHighlight", "ItemBackgroundPressed",
    "ItemBackgroundSunken", "RaisedItemBackground", "UnhideBackgroundHighlight", "UnhideBackgroundPressed"};

// A table row whose setter stores into a field and tells the part's owner.
template <class T>
TStoredProperty FieldEnum(const std::string& name, const std::vector<std::string>& names, T& field,
                          T defaultValue, std::function<void()> changed)
{
    return EnumProperty(
        name, names, [&field] { return int64_t(field); },
        [&field, changed](int64_t v) {
            field = static_cast<T>(v);
            changed();
        },
        [&field, defaultValue] { return field != defaultValue; });
}

TStoredProperty FieldInt(const std::string& name, int& field, int defaultValue, std::function<void()> changed)
{
    return IntProperty(
        name, [&field] { return int64_t(field); },
        [&field, changed](int64_t v) {
            field = static_cast<int>(v);
            changed();
        },
        [&field, defaultValue] { return field != defaultValue; });
}

TStoredProperty FieldColor(const std::string& name, TColor& field, TColor defaultValue, std::function<void()> changed)
{
    return ColorProperty(
        name, [&field] { return int64_t(field); },
        [&field, changed](int64_t v) {
            field = static_cast<TColor>(v);
            changed();
        },
        [&field, defaultValue] { return field != defaultValue; });
}

TStoredProperty FieldBool(const std::string& name, bool& field, bool defaultValue, std::function<void()> changed)
{
    return BoolProperty(
        name, [&field] { return field; },
        [&field, changed](bool v) {
            field = v;
            changed();
        },
        [&field, defaultValue] { return field != defaultValue; });
}

TStoredProperty FieldText(const std::string& name, std::string& field, bool binary, std::function<void()> changed)
{
    auto get = [&field] { return field; };
    auto set = [&field, changed](const std::string& v) {
        field = v;
        changed();
    };
    auto stored = [&field] { return !field.empty(); };
    return binary ? BinaryProperty(name, get, set, stored) : StringProperty(name, get, set, stored);
}

}  // namespace

const std::vector<std::string>& AnimationNames()
{
    static const std::vector<std::string> names = {
        "anNone", "anDefault", "anVertAlphaSlide", "anHorzAlphaSlide", "anAlphaSlide", "anDoubleAlphaSlide",
        "anVertRoll", "anHorzRoll", "anRoll", "anDoubleRoll", "anVertSlide", "anHorzSlide", "anSlide",
        "anDoubleSlide", "anVertStretch", "anHorzStretch", "anStretch", "anDoubleStretch", "anPopup", "anAlpha",
        "anRandom"};
    return names;
}

const std::vector<std::string>& FlagNames()
{
    static const std::vector<std::string> names = {
        "mfAnimationOnSiblings", "mfBitmapShadow", "mfDropShadow", "mfGradientSeparators", "mfHiddenAsRegular",
        "mfHiddenIsVisible", "mfLeftAlignedShortCuts", "mfLightenBitmaps", "mfLongSeparators", "mfNoAutoShowHidden",
        "mfNoBitmapRect", "mfNoHighDisabled", "mfNoSharpJoints", "mfRaiseBitmaps", "mfRaiseMenuBarItem",
        "mfRaiseSubMenuItem", "mfShowCheckMark", "mfSoftColors", "mfTinyShortCuts", "mfXpControls"};
    return names;
}

int CheckedOpacity(int64_t value)
{
    if (value < 1 || value > 100)
        throw ERangeError("Range check error");
    return static_cast<int>(value);
}

// ---- T_AM2000_Font ----

T_AM2000_Font::T_AM2000_Font(std::string name, int height, TColor color, unsigned style)
    : Name(std::move(name)), Height(height), Color(color), Style(style)
{
}

void T_AM2000_Font::Assign(const TPersistent& source)
{
    const auto* f = dynamic_cast<const T_AM2000_Font*>(&source);
    if (!f)
        return TPersistent::Assign(source);
    Name = f->Name;
    Height = f->Height;
    Color = f->Color;
    Style = f->Style;
    Charset = f->Charset;
    Changed();
}

bool T_AM2000_Font::Equals(const T_AM2000_Font& o) const
{
    return SameText(Name, o.Name) && Height == o.Height && Color == o.Color && Style == o.Style && Charset == o.Charset;
}

void T_AM2000_Font::ListStoredProperties(std::vector<TStoredProperty>& list)
{
    const auto changed = [this] { Changed(); };
    list.push_back(StringProperty("Name", [this] { return Name; }, [this, changed](const std::string& v) {
        Name = v;
        changed();
    }));
    list.push_back(IntProperty("Height", [this] { return int64_t(Height); }, [this, changed](int64_t v) {
        Height = static_cast<int>(v);
        changed();
    }));
    list.push_back(ColorProperty("Color", [this] { return int64_t(Color); }, [this, changed](int64_t v) {
        Color = static_cast<TColor>(v);
        changed();
    }));
    list.push_back(SetProperty("Style", FontStyleNames, [this] { return int64_t(Style); }, [this, changed](int64_t v) {
        Style = static_cast<unsigned>(v);
        changed();
    }));
    list.push_back(IntProperty("Charset", [this] { return int64_t(Charset); }, [this, changed](int64_t v) {
        Charset = static_cast<uint8_t>(v);
        changed();
    }));
}

// ---- T_AM2000_Margins ----

const std::array<int, T_AM2000_Margins::RoleCount> T_AM2000_Margins::Defaults = {0, 0, 1, 0, 24, 0, 24, 24, 9, 0};

void T_AM2000_Margins::Set(Role role, int value)
{
    FValues[role] = value;
    Changed();
}

void T_AM2000_Margins::Assign(const TPersistent& source)
{
    const auto* m = dynamic_cast<const T_AM2000_Margins*>(&source);
    if (!m)
        return TPersistent::Assign(source);
    FValues = m->FValues;
    Changed();
}

void T_AM2000_Margins::ListStoredProperties(std::vector<TStoredProperty>& list)
{
    for (int r = 0; r < RoleCount; ++r)
        list.push_back(IntProperty(
            MarginNames[static_cast<size_t>(r)], [this, r] { return int64_t(FValues[r]); },
            [this, r](int64_t v) { Set(static_cast<Role>(r), static_cast<int>(v)); },
            [this, r] { return FValues[r] != Defaults[r]; }));
}

// ---- T_AM2000_Colors ----

const std::array<TColor, T_AM2000_Colors::RoleCount> T_AM2000_Colors::Defaults = {
    clBtnShadow, clBtnShadow, clBtnShadow, clBtnShadow, clMenu, clBtnShadow, clBtnHighlight, 0,
    clBtnHighlight, clBtnShadow, clNone, clHighlight, clHighlightText, clBtnShadow, clBtnHighlight, clMenu,
    clMenuText, clHighlight, clHighlightText, clNone, clMenuText, 0, 0, 0, 0};

void T_AM2000_Colors::Set(Role role, TColor value)
{
    FValues[role] = value;
    if (FNotify)
        Changed();
}

void T_AM2000_Colors::Assign(const TPersistent& source)
{
    const auto* c = dynamic_cast<const T_AM2000_Colors*>(&source);
    if (!c)
        return TPersistent::Assign(source);
    FValues = c->FValues;
    FDerived = c->FDerived;
    Changed();
}

void T_AM2000_Colors::Derive(bool softColors)
{
    if (FDerived)
        return;
    FNotify = false;
    auto& v = FValues;
    if (softColors) {
        v[Frame] = v[FrameShadow] = v[Highlight];
        v[Menu] = GradientStep(v[Menu], v[DisabledText], 15);
        v[Border] = GradientStep(v[Border], v[DisabledText], 15);
        v[Highlight] = GradientStep(v[Highlight], v[Menu], 1.4);
        v[Line] = GradientStep(v[Line], v[Menu], 3.13);
        v[Bevel] = GradientStep(v[Bevel], v[MenuText], 4.5);
        v[BevelShadow] = GradientStep(v[BevelShadow], v[MenuText], 4.5);
        if (v[LineShadow] != clNone)
            v[LineShadow] = GradientStep(v[LineShadow], v[Menu], 3.13);
        if (v[Gutter] != clNone)
            v[Gutter] = GradientStep(v[DisabledText], v[Menu], 1.5);
        if (v[Sunken] != clNone)
            v[Sunken] = GradientStep(v[Sunken], v[Menu], 1.3);
    }
    v[Derived22] = GradientStep(v[Derived22], v[Highlight], 3);
    v[Derived25] = v[HighlightText];
    v[Derived23] = GradientStep(v[Highlight], v[Menu], 1.8);
    v[Derived24] = GradientStep(v[Highlight], v[Frame], 2);
    FDerived = true;
    FNotify = true;
}

void T_AM2000_Colors::ListStoredProperties(std::vector<TStoredProperty>& list)
{
    for (int r = 0; r < PublishedCount; ++r)
        list.push_back(ColorProperty(
            ColorNames[static_cast<size_t>(r)], [this, r] { return int64_t(FValues[r]); },
            [this, r](int64_t v) { Set(static_cast<Role>(r), static_cast<TColor>(v)); },
            [this, r] { return FValues[r] != Defaults[r]; }));
}

// ---- T_AM2000_Title ----

namespace {
T_AM2000_Font DefaultTitleFont() { return T_AM2000_Font("Arial", -32, 0xFFFFFF, 1); }  // 24 points, bold
}  // namespace

T_AM2000_Title::T_AM2000_Title() : FFont(DefaultTitleFont())
{
    FFont.OnChange = [this] { Changed(); };
}

bool T_AM2000_Title::FontIsDefault() const { return FFont.Equals(DefaultTitleFont()); }

void T_AM2000_Title::Assign(const TPersistent& source)
{
    const auto* t = dynamic_cast<const T_AM2000_Title*>(&source);
    if (!t)
        return TPersistent::Assign(source);
    Position = t->Position;
    Alignment = t->Alignment;
    Text = t->Text;
    ColorBegin = t->ColorBegin;
    ColorEnd = t->ColorEnd;
    Width = t->Width;
    TextDirection = t->TextDirection;
    Visible = t->Visible;
    Bitmap = t->Bitmap;
    Gradient = t->Gradient;
    GradientDirection = t->GradientDirection;
    FFont.Assign(t->FFont);  // tells the owner
}

bool T_AM2000_Title::IsDefault() const
{
    return Position == atLeft && Alignment == taLeftJustify && Text.empty() && FontIsDefault() &&
           ColorBegin == 0xFF0000 && ColorEnd == 0 && Width == 50 && TextDirection == tdForward && !Visible &&
           Bitmap.empty() && Gradient == grLinear && GradientDirection == gdVertical;
}

void T_AM2000_Title::ListStoredProperties(std::vector<TStoredProperty>& list)
{
    const auto changed = [this] { Changed(); };
    list.push_back(FieldEnum("Position", {"atLeft", "atRight", "atTop", "atBottom"}, Position, atLeft, changed));
    list.push_back(FieldEnum("Alignment", AlignmentNames, Alignment, taLeftJustify, changed));
    list.push_back(FieldText("Text", Text, false, changed));
    list.push_back(ObjectProperty("Font", [this] { return &FFont; }, [this] { return !FontIsDefault(); }));
    list.push_back(FieldColor("ColorBegin", ColorBegin, 0xFF0000, changed));
    list.push_back(FieldColor("ColorEnd", ColorEnd, 0, changed));
    list.push_back(FieldInt("Width", Width, 50, changed));
    list.push_back(FieldEnum("TextDirection", {"tdForward", "tdBackward"}, TextDirection, tdForward, changed));
    list.push_back(FieldBool("Visible", Visible, false, changed));
    list.push_back(FieldText("Bitmap", Bitmap, true, changed));
    list.push_back(FieldEnum("Gradient", {"grLinear", "grReflected", "grDiamond", "grBlocks"}, Gradient, grLinear,
                             changed));
    list.push_back(FieldEnum("GradientDirection", {"gdHorizontal", "gdVertical"}, GradientDirection, gdVertical,
                             changed));
}

// ---- T_AM2000_Skin ----

void T_AM2000_Skin::Set(Picture p, const std::string& data)
{
    FPictures[p] = data;
    Changed();
}

void T_AM2000_Skin::Assign(const TPersistent& source)
{
    const auto* s = dynamic_cast<const T_AM2000_Skin*>(&source);
    if (!s)
        return TPersistent::Assign(source);
    FPictures = s->FPictures;
    BackgroundLayout = s->BackgroundLayout;
    CornerWidth = s->CornerWidth;
    CornerHeight = s->CornerHeight;
    ItemCornerWidth = s->ItemCornerWidth;
    ItemCornerHeight = s->ItemCornerHeight;
    OnPaintBackground = s->OnPaintBackground;
    OnPaintItemBackground = s->OnPaintItemBackground;
    OnPaintUnhideBackground = s->OnPaintUnhideBackground;
    Changed();
}

bool T_AM2000_Skin::IsDefault() const
{
    for (const auto& p : FPictures)
        if (!p.empty())
            return false;
    return !OnPaintBackground && !OnPaintItemBackground && !OnPaintUnhideBackground && BackgroundLayout == blDefault &&
           CornerWidth == 0 && CornerHeight == 0 && ItemCornerWidth == 0 && ItemCornerHeight == 0;
}

void T_AM2000_Skin::ListStoredProperties(std::vector<TStoredProperty>& list)
{
    const auto changed = [this] { Changed(); };
    for (int p = 0; p < PictureCount; ++p)
        list.push_back(FieldText(PictureNames[static_cast<size_t>(p)], FPictures[static_cast<size_t>(p)], true, changed));
    list.push_back(FieldEnum("BackgroundLayout",
                             {"blDefault", "blTile", "blStretch", "blExpandMenu", "blSkin", "blAtTopLeft",
                              "blAtTopCenter", "blAtTopRight", "blAtLeftCenter", "blAtCenter", "blAtRightCenter",
                              "blAtBottomLeft", "blAtBottomCenter", "blAtBottomRight"},
                             BackgroundLayout, blDefault, changed));
    list.push_back(FieldInt("CornerWidth", CornerWidth, 0, changed));
    list.push_back(FieldInt("CornerHeight", CornerHeight, 0, changed));
    list.push_back(FieldInt("ItemCornerWidth", ItemCornerWidth, 0, changed));
    list.push_back(FieldInt("ItemCornerHeight", ItemCornerHeight, 0, changed));
}

// ---- T_AM2000_MenuBarOptions ----

void T_AM2000_MenuBarOptions::Assign(const TPersistent& source)
{
    const auto* m = dynamic_cast<const T_AM2000_MenuBarOptions*>(&source);
    if (!m)
        return TPersistent::Assign(source);
    HotTrack = m->HotTrack;
    Transparent = m->Transparent;
    BorderIconsStyle = m->BorderIconsStyle;
    Changed();
}

void T_AM2000_MenuBarOptions::ListStoredProperties(std::vector<TStoredProperty>& list)
{
    const auto changed = [this] { Changed(); };
    list.push_back(FieldBool("HotTrack", HotTrack, false, changed));
    list.push_back(FieldBool("Transparent", Transparent, false, changed));
    list.push_back(FieldEnum("BorderIconsStyle", {"bsDefault", "bsWin31", "bsWin95", "bsWinXP"}, BorderIconsStyle,
                             bsDefault, changed));
}

// ---- T_AM2000_Options ----

T_AM2000_Options::T_AM2000_Options(IOptionsOwner* owner) : FOwner(owner) {}
T_AM2000_Options::~T_AM2000_Options() = default;

void T_AM2000_Options::Changed() const
{
    if (MenuUpdateCount() > 0 || !FOwner)
        return;
    FOwner->OptionsChanged();
}

template <class T> T& T_AM2000_Options::Part(std::unique_ptr<T>& part, PartKind kind)
{
    if (!part) {
        part = std::make_unique<T>();
        part->OnChange = [this, kind] {
            PartChanged(kind);
            Changed();
        };
    }
    return *part;
}

template <class T> void T_AM2000_Options::WritePart(std::unique_ptr<T>& part, const T* value, PartKind kind)
{
    if (!value) {
        part.reset();
        PartWritten(kind, true);
    } else {
        T& own = Part(part, kind);
        auto onChange = std::move(own.OnChange);  // one notice, after the flag is settled
        own.Assign(*value);
        own.OnChange = std::move(onChange);
        PartWritten(kind, value->IsDefault());
    }
    Changed();
}

T_AM2000_Colors& T_AM2000_Options::Colors() { return Part(FColors, pkColors); }
T_AM2000_Margins& T_AM2000_Options::Margins() { return Part(FMargins, pkMargins); }
T_AM2000_Title& T_AM2000_Options::Title() { return Part(FTitle, pkTitle); }
T_AM2000_Skin& T_AM2000_Options::Skin() { return Part(FSkin, pkSkin); }

bool T_AM2000_Options::HasPart(PartKind kind) const
{
    switch (kind) {
    case pkColors: return FColors != nullptr;
    case pkMargins: return FMargins != nullptr;
    case pkTitle: return FTitle != nullptr;
    case pkSkin: return FSkin != nullptr;
    }
    return false;
}

void T_AM2000_Options::SetColors(const T_AM2000_Colors* value) { WritePart(FColors, value, pkColors); }
void T_AM2000_Options::SetMargins(const T_AM2000_Margins* value) { WritePart(FMargins, value, pkMargins); }
void T_AM2000_Options::SetTitle(const T_AM2000_Title* value) { WritePart(FTitle, value, pkTitle); }
void T_AM2000_Options::SetSkin(const T_AM2000_Skin* value) { WritePart(FSkin, value, pkSkin); }

void T_AM2000_Options::SetAlignment(TAlignment value)
{
    FAlignment = value;
    Changed();
}

void T_AM2000_Options::SetFlags(T_AM2000_Flags value)
{
    FFlags = value;
    Changed();
}

void T_AM2000_Options::SetDraggable(bool value)
{
    FDraggable = value;
    Changed();
}

void T_AM2000_Options::SetCustomizable(bool value)
{
    FCustomizable = value;
    Changed();
}

void T_AM2000_Options::SetOpacity(int value)
{
    FOpacity = CheckedOpacity(value);
    Changed();
}

void T_AM2000_Options::SetCaption(const std::string& value)
{
    FCaption = value;
    Changed();
}

void T_AM2000_Options::AssignOptions(const T_AM2000_Options& source, bool withFlags)
{
    FAlignment = source.FAlignment;
    FDraggable = source.FDraggable;
    FCustomizable = source.FCustomizable;
    FCaption = source.FCaption;
    if (withFlags)
        FFlags = source.FFlags;
}

bool T_AM2000_Options::IsDefault() const
{
    return (!FColors || FColors->IsDefault()) && (!FMargins || FMargins->IsDefault()) &&
           (!FTitle || FTitle->IsDefault()) && (!FSkin || FSkin->IsDefault()) && FAlignment == taLeftJustify &&
           FFlags == 0 && !FDraggable && !FCustomizable && FOpacity == 100 && FCaption.empty();
}

void T_AM2000_Options::Assign(const TPersistent& source)
{
    const auto* o = dynamic_cast<const T_AM2000_Options*>(&source);
    if (!o)
        return TPersistent::Assign(source);
    BeginMenuUpdate();  // one refresh for the whole copy
    try {
        AssignOptions(*o, true);
        FOpacity = o->FOpacity;
        SetColors(o->FColors.get());
        SetMargins(o->FMargins.get());
        SetTitle(o->FTitle.get());
        SetSkin(o->FSkin.get());
    } catch (...) {
        EndMenuUpdate();
        throw;
    }
    EndMenuUpdate();
    Changed();
}

T_AM2000_Colors& T_AM2000_Options::UpToDateColors()
{
    T_AM2000_Colors& colors = Colors();
    if (!(FOwner && FOwner->OwnerLoadingOrDesigning()))
        colors.Derive((FFlags & FlagBit(mfSoftColors)) != 0);
    return colors;
}

bool T_AM2000_Options::PartStored(PartKind kind) const
{
    bool isDefault = true;
    switch (kind) {
    case pkColors: isDefault = !FColors || FColors->IsDefault(); break;
    case pkMargins: isDefault = !FMargins || FMargins->IsDefault(); break;
    case pkTitle: isDefault = !FTitle || FTitle->IsDefault(); break;
    case pkSkin: isDefault = !FSkin || FSkin->IsDefault(); break;
    }
    return !isDefault && !PartInherited(kind) && !(FOwner && FOwner->OwnerHasSkin());
}

void T_AM2000_Options::ListStoredProperties(std::vector<TStoredProperty>& list)
{
    list.push_back(ObjectProperty("Title", [this] { return &Title(); }, [this] { return PartStored(pkTitle); }));
    list.push_back(ObjectProperty("Colors", [this] { return &Colors(); }, [this] { return PartStored(pkColors); }));
    list.push_back(ObjectProperty("Margins", [this] { return &Margins(); }, [this] { return PartStored(pkMargins); }));
    list.push_back(ObjectProperty("Skin", [this] { return &Skin(); }, [this] { return PartStored(pkSkin); }));
    list.push_back(EnumProperty(
        "Alignment", AlignmentNames, [this] { return int64_t(FAlignment); },
        [this](int64_t v) { SetAlignment(static_cast<TAlignment>(v)); }, [this] { return FAlignment != taLeftJustify; }));
    list.push_back(SetProperty(
        "Flags", FlagNames(), [this] { return int64_t(FFlags); },
        [this](int64_t v) { SetFlags(static_cast<T_AM2000_Flags>(v)); }, [this] { return FFlags != 0; }));
    list.push_back(BoolProperty("Draggable", [this] { return FDraggable; }, [this](bool v) { SetDraggable(v); },
                                [this] { return FDraggable; }));
    list.push_back(BoolProperty("Customizable", [this] { return FCustomizable; },
                                [this](bool v) { SetCustomizable(v); }, [this] { return FCustomizable; }));
    list.push_back(IntProperty("Opacity", [this] { return int64_t(FOpacity); },
                               [this](int64_t v) { SetOpacity(CheckedOpacity(v)); }, [this] { return FOpacity != 100; }));
    list.push_back(StringProperty("Caption", [this] { return FCaption; },
                                  [this](const std::string& v) { SetCaption(v); }, [this] { return !FCaption.empty(); }));
}

// ---- T_AM2000_ItemOptions ----

bool& T_AM2000_ItemOptions::ParentFlag(PartKind kind)
{
    switch (kind) {
    case pkColors: return ParentColors;
    case pkMargins: return ParentMargins;
    case pkTitle: return ParentTitle;
    case pkSkin: break;
    }
    return ParentSkin;
}

bool T_AM2000_ItemOptions::Parent(PartKind kind) const { return const_cast<T_AM2000_ItemOptions*>(this)->ParentFlag(kind); }

bool T_AM2000_ItemOptions::HasOwnLook() const { return !(ParentColors && ParentTitle && ParentSkin && ParentMargins); }

void T_AM2000_ItemOptions::PartChanged(PartKind kind) { ParentFlag(kind) = false; }

void T_AM2000_ItemOptions::PartWritten(PartKind kind, bool isDefault) { ParentFlag(kind) = isDefault; }

void T_AM2000_ItemOptions::Assign(const TPersistent& source)
{
    T_AM2000_Options::Assign(source);
    if (const auto* o = dynamic_cast<const T_AM2000_ItemOptions*>(&source)) {
        ParentColors = o->ParentColors;
        ParentTitle = o->ParentTitle;
        ParentSkin = o->ParentSkin;
        ParentMargins = o->ParentMargins;
    }
}

void T_AM2000_ItemOptions::ListStoredProperties(std::vector<TStoredProperty>& list)
{
    T_AM2000_Options::ListStoredProperties(list);
    const auto changed = [this] { Changed(); };
    list.push_back(FieldBool("ParentColors", ParentColors, true, changed));
    list.push_back(FieldBool("ParentTitle", ParentTitle, true, changed));
    list.push_back(FieldBool("ParentSkin", ParentSkin, true, changed));
    list.push_back(FieldBool("ParentMargins", ParentMargins, true, changed));
}

// ---- T_AM2000_MenuOptions ----

void T_AM2000_MenuOptions::SetAnimation(T_AM2000_Animation value)
{
    FAnimation = value;
    Changed();
}

void T_AM2000_MenuOptions::AssignOptions(const T_AM2000_Options& source, bool withFlags)
{
    T_AM2000_Options::AssignOptions(source, withFlags);
    if (const auto* m = dynamic_cast<const T_AM2000_MenuOptions*>(&source)) {
        FAnimation = m->FAnimation;
        SetOpacity(m->Opacity());
    }
}

bool T_AM2000_MenuOptions::IsDefault() const { return T_AM2000_Options::IsDefault() && FAnimation == anDefault; }

void T_AM2000_MenuOptions::ListStoredProperties(std::vector<TStoredProperty>& list)
{
    T_AM2000_Options::ListStoredProperties(list);
    list.push_back(EnumProperty(
        "Animation", AnimationNames(), [this] { return int64_t(FAnimation); },
        [this](int64_t v) { SetAnimation(static_cast<T_AM2000_Animation>(v)); },
        [this] { return FAnimation != anDefault; }));
}
