#include "AnimatedSkinCore.h"

#include <algorithm>

namespace {

TSkinResourceLoader ResourceLoader = nullptr;

T_AM2000_Font DefaultSkinFont() { return T_AM2000_Font("MS Sans Serif", -11, clWindowText, 0); }

// Runs a push inside the family's update bracket.
template <class F> void InsideUpdate(F&& f)
{
    BeginMenuUpdate();
    try {
        f();
    } catch (...) {
        EndMenuUpdate();
        throw;
    }
    EndMenuUpdate();
}

}  // namespace

void T_AM2000_AnimatedSkin::RemoveClient(IAM2000SkinClient* client) { (void)client; }

TCustomAnimatedSkin2000::TCustomAnimatedSkin2000(TComponent* owner)
    : T_AM2000_AnimatedSkin(owner), FOptions(this), FFont(DefaultSkinFont())
{
    FMenuBar.OnChange = [this] { Changed(); };
    FFont.OnChange = [this] { Changed(); };
}

TCustomAnimatedSkin2000::~TCustomAnimatedSkin2000()
{
    Destroying();
    const auto clients = FClients;
    FClients.clear();
    for (IAM2000SkinClient* c : clients)
        c->SkinFreed(*this);
}

std::string TCustomAnimatedSkin2000::Version() { return "Parvolux menus 1.0"; }

void TCustomAnimatedSkin2000::SetOpacity(int value)
{
    FOptions.SetOpacity(value);  // tells us through OptionsChanged
}

void TCustomAnimatedSkin2000::SetAnimation(T_AM2000_Animation value) { FOptions.SetAnimation(value); }
void TCustomAnimatedSkin2000::SetFlags(T_AM2000_Flags value) { FOptions.SetFlags(value); }

void TCustomAnimatedSkin2000::SetFlag(bool& field, bool value)
{
    field = value;
    Changed();
}

void TCustomAnimatedSkin2000::SetCtl3D(bool value) { SetFlag(FCtl3D, value); }
void TCustomAnimatedSkin2000::SetSystemFont(bool value) { SetFlag(FSystemFont, value); }
void TCustomAnimatedSkin2000::SetParentFont(bool value) { SetFlag(FParentFont, value); }
void TCustomAnimatedSkin2000::SetSystemCtl3D(bool value) { SetFlag(FSystemCtl3D, value); }
void TCustomAnimatedSkin2000::SetSystemShadow(bool value) { SetFlag(FSystemShadow, value); }
void TCustomAnimatedSkin2000::SetSystemSelectionFade(bool value) { SetFlag(FSystemSelectionFade, value); }

void TCustomAnimatedSkin2000::AddClient(IAM2000SkinClient* client)
{
    if (std::find(FClients.begin(), FClients.end(), client) == FClients.end())
        FClients.push_back(client);
}

void TCustomAnimatedSkin2000::RemoveClient(IAM2000SkinClient* client) { std::erase(FClients, client); }

void TCustomAnimatedSkin2000::Changed()
{
    if (InState(csLoading | csReading | csDestroying) || Designing())
        return;
    InsideUpdate([this] {
        const auto clients = FClients;
        for (IAM2000SkinClient* c : clients)
            c->ApplySkin(*this);
    });
}

void TCustomAnimatedSkin2000::Loaded()
{
    T_AM2000_AnimatedSkin::Loaded();
    Changed();
}

void TCustomAnimatedSkin2000::AssignTo(T_AM2000_Options& target) const
{
    if (Designing())
        return;
    InsideUpdate([&] {
        auto& look = const_cast<T_AM2000_MenuOptions&>(FOptions);
        target.SetOpacity(look.Opacity());
        target.SetFlags(look.Flags());
        if (auto* menu = dynamic_cast<T_AM2000_MenuOptions*>(&target))
            menu->SetAnimation(look.Animation());
        target.SetSkin(look.HasPart(T_AM2000_Options::pkSkin) && !look.Skin().IsDefault() ? &look.Skin() : nullptr);
        target.SetMargins(look.HasPart(T_AM2000_Options::pkMargins) && !look.Margins().IsDefault() ? &look.Margins()
                                                                                                  : nullptr);
        target.SetTitle(look.HasPart(T_AM2000_Options::pkTitle) && !look.Title().IsDefault() ? &look.Title() : nullptr);
        target.SetColors(look.HasPart(T_AM2000_Options::pkColors) && !look.Colors().IsDefault() ? &look.Colors()
                                                                                               : nullptr);
    });
}

void TCustomAnimatedSkin2000::Assign(const TPersistent& source)
{
    if (const auto* s = dynamic_cast<const TCustomAnimatedSkin2000*>(&source)) {
        const unsigned state = ComponentState();
        SetState(csLoading, true);  // one push at the end
        try {
            FOptions.Assign(s->FOptions);
            FMenuBar.Assign(s->FMenuBar);
            FFont.Assign(s->FFont);
            FCtl3D = s->FCtl3D;
            FSystemFont = s->FSystemFont;
            FParentFont = s->FParentFont;
            FSystemCtl3D = s->FSystemCtl3D;
            FSystemShadow = s->FSystemShadow;
            FSystemSelectionFade = s->FSystemSelectionFade;
            Images = s->Images;
            DisabledImages = s->DisabledImages;
            HotImages = s->HotImages;
        } catch (...) {
            SetState(csLoading, (state & csLoading) != 0);
            throw;
        }
        SetState(csLoading, (state & csLoading) != 0);
    } else if (const auto* o = dynamic_cast<const T_AM2000_Options*>(&source)) {
        const unsigned state = ComponentState();
        SetState(csLoading, true);
        FOptions.SetOpacity(o->Opacity());
        FOptions.SetFlags(o->Flags());
        auto& from = const_cast<T_AM2000_Options&>(*o);
        FOptions.SetMargins(from.HasPart(T_AM2000_Options::pkMargins) ? &from.Margins() : nullptr);
        FOptions.SetTitle(from.HasPart(T_AM2000_Options::pkTitle) ? &from.Title() : nullptr);
        FOptions.SetColors(from.HasPart(T_AM2000_Options::pkColors) ? &from.Colors() : nullptr);
        FOptions.SetSkin(from.HasPart(T_AM2000_Options::pkSkin) ? &from.Skin() : nullptr);
        if (const auto* m = dynamic_cast<const T_AM2000_MenuOptions*>(o))
            FOptions.SetAnimation(m->Animation());
        SetState(csLoading, (state & csLoading) != 0);
    } else {
        return T_AM2000_AnimatedSkin::Assign(source);
    }
    Changed();
}

void TCustomAnimatedSkin2000::LoadSkin()
{
    TAnimatedSkin2000 fresh(nullptr);
    Assign(fresh);
}

bool TCustomAnimatedSkin2000::IsDefault() const
{
    TAnimatedSkin2000 fresh(nullptr);
    auto& self = const_cast<TCustomAnimatedSkin2000&>(*this);
    return FOptions.IsDefault() && FMenuBar.IsDefault() && FFont.Equals(fresh.FFont) && FCtl3D == fresh.FCtl3D &&
           FSystemFont == fresh.FSystemFont && FParentFont == fresh.FParentFont &&
           FSystemCtl3D == fresh.FSystemCtl3D && FSystemShadow == fresh.FSystemShadow &&
           FSystemSelectionFade == fresh.FSystemSelectionFade && !self.Images && !self.DisabledImages &&
           !self.HotImages;
}

void TCustomAnimatedSkin2000::ListStoredProperties(std::vector<TStoredProperty>& list)
{
    using P = T_AM2000_Options;
    auto partStored = [this](P::PartKind kind, auto isDefault) {
        return [this, kind, isDefault] { return FOptions.HasPart(kind) && !isDefault(); };
    };
    list.push_back(ObjectProperty("Title", [this] { return &Title(); },
                                  partStored(P::pkTitle, [this] { return Title().IsDefault(); })));
    list.push_back(ObjectProperty("Colors", [this] { return &Colors(); },
                                  partStored(P::pkColors, [this] { return Colors().IsDefault(); })));
    list.push_back(ObjectProperty("Margins", [this] { return &Margins(); },
                                  partStored(P::pkMargins, [this] { return Margins().IsDefault(); })));
    list.push_back(ObjectProperty("Skin", [this] { return &Skin(); },
                                  partStored(P::pkSkin, [this] { return Skin().IsDefault(); })));
    list.push_back(ObjectProperty("MenuBar", [this] { return &FMenuBar; }, [this] { return !FMenuBar.IsDefault(); }));
    list.push_back(IntProperty("Opacity", [this] { return int64_t(Opacity()); },
                               [this](int64_t v) { SetOpacity(CheckedOpacity(v)); }, [this] { return Opacity() != 100; }));
    list.push_back(BoolProperty("Ctl3D", [this] { return FCtl3D; }, [this](bool v) { SetCtl3D(v); },
                                [this] { return !FSystemCtl3D && !FCtl3D; }));
    list.push_back(EnumProperty(
        "Animation", AnimationNames(), [this] { return int64_t(Animation()); },
        [this](int64_t v) { SetAnimation(static_cast<T_AM2000_Animation>(v)); },
        [this] { return Animation() != anDefault; }));
    list.push_back(SetProperty(
        "Flags", FlagNames(), [this] { return int64_t(Flags()); },
        [this](int64_t v) { SetFlags(static_cast<T_AM2000_Flags>(v)); }, [this] { return Flags() != 0; }));
    list.push_back(ObjectProperty("Font", [this] { return &FFont; }, [this] { return !FSystemFont && !FParentFont; }));
    list.push_back(BoolProperty("SystemFont", [this] { return FSystemFont; }, [this](bool v) { SetSystemFont(v); },
                                [this] { return !FSystemFont; }));
    list.push_back(BoolProperty("ParentFont", [this] { return FParentFont; }, [this](bool v) { SetParentFont(v); },
                                [this] { return FParentFont; }));
    list.push_back(BoolProperty("SystemCtl3D", [this] { return FSystemCtl3D; }, [this](bool v) { SetSystemCtl3D(v); },
                                [this] { return FSystemCtl3D; }));
    list.push_back(BoolProperty("SystemShadow", [this] { return FSystemShadow; },
                                [this](bool v) { SetSystemShadow(v); }, [this] { return FSystemShadow; }));
    list.push_back(BoolProperty("SystemSelectionFade", [this] { return FSystemSelectionFade; },
                                [this](bool v) { SetSystemSelectionFade(v); }, [this] { return !FSystemSelectionFade; }));
    list.push_back(ReferenceProperty("Images"));
    list.push_back(ReferenceProperty("DisabledImages"));
    list.push_back(ReferenceProperty("HotImages"));
    list.push_back(StringProperty("Version", [] { return Version(); }, [](const std::string&) {}, [] { return false; }));
}

void SetSkinResourceLoader(TSkinResourceLoader loader) { ResourceLoader = loader; }

void ReadSkinResource(const uint8_t* data, size_t size, TCustomAnimatedSkin2000& into)
{
    TAnimatedSkin2000 fresh(nullptr);
    const size_t at = SkipResourceHeader(data, size);
    ReadComponentStream(data + at, size - at, fresh, &fresh);
    into.Assign(fresh);
}

void TResourceSkin2000::LoadSkin()
{
    std::vector<uint8_t> bytes;
    if (!ResourceLoader || !ResourceLoader(GetResourceName(), bytes))
        return;
    ReadSkinResource(bytes.data(), bytes.size(), *this);
}

void TResourceSkin2000::LoadOnCreate()
{
    if (!Designing() && Owner() && !Owner()->Designing())
        LoadSkin();
}

TMoney::TMoney(TComponent* owner) : TResourceSkin2000(owner) { LoadOnCreate(); }

void StoreWindowLook(TCustomAnimatedSkin2000& skin, T_AM2000_Animation animation, int sideMargin)
{
    using C = T_AM2000_Colors;
    using M = T_AM2000_Margins;
    const struct {
        C::Role Role;
        TColor Value;
    } colors[] = {
        {C::Border, 0x5B5B5B}, {C::Menu, 0x5B5B5B}, {C::Bevel, 0x444444}, {C::BevelShadow, 0x444444},
        {C::MenuText, clWhite}, {C::Highlight, 0x505050}, {C::Pressed, 0x505050}, {C::HighlightText, 0x7FDFFF},
        {C::PressedText, 0x7FDFFF}, {C::DisabledText, 0x919191}, {C::DisabledShadow, clNone},
        {C::LineShadow, clNone}, {C::Line, 0x707070}, {C::Sunken, 0x707070}, {C::SunkenText, 0xD8D8D8},
    };
    skin.SetState(TComponent::csLoading, true);
    for (const auto& c : colors)
        skin.Colors().Set(c.Role, c.Value);
    skin.Margins().Set(M::Border, 0);
    skin.Margins().Set(M::Bevel, 1);
    if (sideMargin >= 0) {
        skin.Margins().Set(M::Left, sideMargin);
        skin.Margins().Set(M::Right, sideMargin);
    }
    skin.SetCtl3D(false);
    skin.SetFlags(FlagBit(mfNoBitmapRect));
    skin.SetSystemFont(false);
    skin.SetSystemShadow(true);
    skin.Font().Assign(DefaultSkinFont());
    skin.SetAnimation(animation);
    skin.Loaded();
}
