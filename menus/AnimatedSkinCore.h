#pragma once
// Skin components: one look (parts, flags, animation, opacity, fonts, images) that a skin pushes
// into every popup menu and item naming it. A resource skin loads its look from the program's
// resources when it is made; TMoney is the player's.
#include "MenuOptionsCore.h"

#include <cstdint>
#include <string>
#include <vector>

class TCustomAnimatedSkin2000;

// A popup menu or item that takes a skin's look.
class IAM2000SkinClient {
public:
    // Take the skin's look now (inside the update bracket).
    virtual void ApplySkin(TCustomAnimatedSkin2000& skin) = 0;
    // The skin is being freed: drop the link.
    virtual void SkinFreed(TCustomAnimatedSkin2000& skin) = 0;

protected:
    ~IAM2000SkinClient() = default;
};

class T_AM2000_AnimatedSkin : public TComponent {
public:
    using TComponent::TComponent;
    virtual void RemoveClient(IAM2000SkinClient* client);
    // Pushes the look to every client.
    virtual void Changed() = 0;
    // The base gives no interface.
    virtual void* GetSkinInterface() { return nullptr; }
};

class TCustomAnimatedSkin2000 : public T_AM2000_AnimatedSkin, public IStoredProperties, private IOptionsOwner {
public:
    explicit TCustomAnimatedSkin2000(TComponent* owner);
    ~TCustomAnimatedSkin2000() override;

    T_AM2000_Title& Title() { return FOptions.Title(); }
    T_AM2000_Colors& Colors() { return FOptions.Colors(); }
    T_AM2000_Margins& Margins() { return FOptions.Margins(); }
    T_AM2000_Skin& Skin() { return FOptions.Skin(); }
    T_AM2000_MenuBarOptions& MenuBar() { return FMenuBar; }
    T_AM2000_Font& Font() { return FFont; }
    const T_AM2000_MenuOptions& Look() const { return FOptions; }

    int Opacity() const { return FOptions.Opacity(); }
    void SetOpacity(int value);  // ERangeError outside 1..100, the old value kept
    T_AM2000_Animation Animation() const { return FOptions.Animation(); }
    void SetAnimation(T_AM2000_Animation value);
    T_AM2000_Flags Flags() const { return FOptions.Flags(); }
    void SetFlags(T_AM2000_Flags value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool value);
    bool SystemFont() const { return FSystemFont; }
    void SetSystemFont(bool value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool value);
    bool SystemCtl3D() const { return FSystemCtl3D; }
    void SetSystemCtl3D(bool value);
    bool SystemShadow() const { return FSystemShadow; }
    void SetSystemShadow(bool value);
    bool SystemSelectionFade() const { return FSystemSelectionFade; }
    void SetSystemSelectionFade(bool value);
    // Image lists of the owner's window (not owned).
    TComponent* Images = nullptr;
    TComponent* DisabledImages = nullptr;
    TComponent* HotImages = nullptr;
    static std::string Version();

    // A client joins once and gets the look now; clients leave on their own or when the skin goes.
    void AddClient(IAM2000SkinClient* client);
    void RemoveClient(IAM2000SkinClient* client) override;
    int ClientCount() const { return static_cast<int>(FClients.size()); }
    void Changed() override;
    void Loaded() override;
    // The look into an options object: opacity, flags, animation for menu options, and each
    // part the skin stores (else that part's defaults).
    void AssignTo(T_AM2000_Options& target) const;
    // From another skin: every property and part; from options their look. Then Changed.
    void Assign(const TPersistent& source) override;
    virtual void LoadSkin();
    virtual bool IsDefault() const;
    void ListStoredProperties(std::vector<TStoredProperty>& list) override;

private:
    void OptionsChanged() override { Changed(); }
    bool OwnerLoadingOrDesigning() const override { return InState(csLoading | csReading) || Designing(); }
    void SetFlag(bool& field, bool value);
    T_AM2000_MenuOptions FOptions;
    T_AM2000_MenuBarOptions FMenuBar;
    T_AM2000_Font FFont;
    bool FCtl3D = true, FSystemFont = true, FParentFont = false, FSystemCtl3D = false, FSystemShadow = false,
         FSystemSelectionFade = true;
    std::vector<IAM2000SkinClient*> FClients;
};

class TAnimatedSkin2000 : public TCustomAnimatedSkin2000 {
public:
    using TCustomAnimatedSkin2000::TCustomAnimatedSkin2000;
};

// Finds a resource of type RCDATA by name (without regard to case) in the program; the Win32
// shell installs the module's own finder, tests their bytes.
using TSkinResourceLoader = bool (*)(const std::string& name, std::vector<uint8_t>& bytes);
void SetSkinResourceLoader(TSkinResourceLoader loader);

// A skin resource (header, then the component stream) read into a fresh skin and assigned to
// `into`; a malformed one raises the reader's error and leaves `into` as it was.
void ReadSkinResource(const uint8_t* data, size_t size, TCustomAnimatedSkin2000& into);

class TResourceSkin2000 : public TCustomAnimatedSkin2000 {
public:
    using TCustomAnimatedSkin2000::TCustomAnimatedSkin2000;
    // The resource named by GetResourceName; absent, the skin keeps its defaults.
    void LoadSkin() override;
    virtual std::string GetResourceName() const = 0;

protected:
    // Derived constructors call it: outside design, with an owner, the skin loads at once.
    void LoadOnCreate();
};

class TMoney : public TResourceSkin2000 {
public:
    explicit TMoney(TComponent* owner);
    std::string GetResourceName() const override { return "am2000skin_Money"; }
};

// What a player window's resource stores on its TMoney, read over the loaded skin as the
// resource reader reads it (loading, then Loaded, one push): the skin's own colours, margins,
// Ctl3D and flags again, "MS Sans Serif" -11 in place of the system font, the system's menu
// shadow and the window's animation; a side margin of 0 or more sets Margins.Left and Right.
void StoreWindowLook(TCustomAnimatedSkin2000& skin, T_AM2000_Animation animation, int sideMargin);
