#include "menus/AnimatedSkinCore.h"
#include "menus/MenuLookCore.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

std::vector<uint8_t> MoneyBytes()
{
    static const std::vector<uint8_t> bytes = pvltest::ReadAll(PVL_MONEY_SKIN);
    return bytes;
}

bool MoneyLoader(const std::string& name, std::vector<uint8_t>& bytes)
{
    if (!SameText(name, "AM2000SKIN_MONEY"))
        return false;
    bytes = MoneyBytes();
    return true;
}

struct TLoader {
    explicit TLoader(TSkinResourceLoader loader) { SetSkinResourceLoader(loader); }
    ~TLoader() { SetSkinResourceLoader(nullptr); }
};

struct TClientDouble : IAM2000SkinClient {
    T_AM2000_MenuOptions Options;
    int Pushes = 0;
    TCustomAnimatedSkin2000* Freed = nullptr;
    void ApplySkin(TCustomAnimatedSkin2000& skin) override
    {
        ++Pushes;
        skin.AssignTo(Options);
    }
    void SkinFreed(TCustomAnimatedSkin2000& skin) override { Freed = &skin; }
};

void ExpectMoneyLook(TCustomAnimatedSkin2000& skin)
{
    using C = T_AM2000_Colors;
    const struct {
        C::Role Role;
        TColor Value;
    } colors[] = {
        {C::Border, 0x5B5B5B}, {C::Menu, 0x5B5B5B}, {C::Bevel, 0x444444}, {C::BevelShadow, 0x444444},
        {C::MenuText, clWhite}, {C::Highlight, 0x505050}, {C::Pressed, 0x505050}, {C::HighlightText, 0x7FDFFF},
        {C::PressedText, 0x7FDFFF}, {C::DisabledText, 0x919191}, {C::DisabledShadow, clNone},
        {C::LineShadow, clNone}, {C::Line, 0x707070}, {C::Sunken, 0x707070}, {C::SunkenText, 0xD8D8D8},
        {C::BevelInner, clBtnShadow}, {C::Frame, clBtnHighlight}, {C::Gutter, clNone},  // defaults kept
    };
    for (const auto& c : colors)
        EXPECT_EQ(skin.Colors().Get(c.Role), c.Value) << c.Role;
    EXPECT_EQ(skin.Margins().Get(T_AM2000_Margins::Border), 0);
    EXPECT_EQ(skin.Margins().Get(T_AM2000_Margins::Bevel), 1);
    EXPECT_EQ(skin.Margins().Get(T_AM2000_Margins::Left), 24);
    EXPECT_FALSE(skin.Ctl3D());
    EXPECT_EQ(skin.Flags(), FlagBit(mfNoBitmapRect));
    EXPECT_EQ(skin.Animation(), anDefault);
    EXPECT_EQ(skin.Opacity(), 100);
    EXPECT_TRUE(skin.SystemFont());
}

// A byte-level mutation: flips, overwrites, truncations, insertions.
std::vector<uint8_t> Mutate(const std::vector<uint8_t>& seed, std::mt19937& random)
{
    std::vector<uint8_t> b = seed;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits && !b.empty(); ++e) {
        const size_t at = random() % b.size();
        switch (random() % 5) {
        case 0: b[at] ^= static_cast<uint8_t>(1u << (random() % 8)); break;
        case 1: b[at] = static_cast<uint8_t>(random()); break;
        case 2: b.resize(at); break;
        case 3: b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), static_cast<uint8_t>(random())); break;
        case 4: b[at] = static_cast<uint8_t>(random() % 2 ? 0xFF : 0x00); break;
        }
    }
    return b;
}

}  // namespace

TEST(MoneySkin, ResourceBytesHaveTheComponentResourceLayout)
{
    const auto b = MoneyBytes();
    ASSERT_GT(b.size(), 40u);
    EXPECT_EQ(b[0], 0xFF);
    EXPECT_EQ(b[1], 0x0A);
    EXPECT_EQ(b[2], 0x00);
    const std::string text(b.begin(), b.end());
    EXPECT_NE(text.find("TPF0"), std::string::npos);
    EXPECT_NE(text.find("TAnimatedSkin2000"), std::string::npos);
    EXPECT_EQ(b[b.size() - 1], 0);
    EXPECT_EQ(b[b.size() - 2], 0);
}

TEST(MoneySkin, LoadsEveryValueFromTheResource)
{
    TLoader loader(MoneyLoader);
    TComponent window;
    auto* money = NewComponent<TMoney>(&window);
    ExpectMoneyLook(*money);
    TClientDouble client;
    money->AddClient(&client);
    money->Changed();
    EXPECT_EQ(client.Options.Colors().Get(T_AM2000_Colors::Menu), 0x5B5B5B);
    EXPECT_EQ(client.Options.Flags(), FlagBit(mfNoBitmapRect));
    EXPECT_FALSE(client.Options.HasPart(T_AM2000_Options::pkTitle));  // the skin's default parts stay default
    money->RemoveClient(&client);
}

TEST(MoneySkin, WithoutOwnerOrResourceTheDefaultsStay)
{
    {
        TLoader loader(MoneyLoader);
        TMoney unowned(nullptr);
        EXPECT_TRUE(unowned.IsDefault());
    }
    TComponent window;
    EXPECT_TRUE(NewComponent<TMoney>(&window)->IsDefault());  // no resource loader
}

TEST(MoneySkin, WindowStoredValuesWinOverTheLoadedSkinAndPushOnce)
{
    TLoader loader(MoneyLoader);
    TComponent window;
    auto* money = NewComponent<TMoney>(&window);
    TClientDouble client;
    money->AddClient(&client);
    // The window's resource: read after the skin's own, before Loaded.
    money->SetState(TComponent::csLoading, true);
    money->SetAnimation(anVertSlide);
    money->Margins().Set(T_AM2000_Margins::Left, 18);
    money->Margins().Set(T_AM2000_Margins::Right, 18);
    money->SetSystemShadow(true);
    EXPECT_EQ(client.Pushes, 0);
    money->Loaded();
    EXPECT_EQ(client.Pushes, 1);
    EXPECT_EQ(client.Options.Animation(), anVertSlide);
    EXPECT_EQ(client.Options.Margins().Get(T_AM2000_Margins::Left), 18);
    EXPECT_EQ(client.Options.Margins().Get(T_AM2000_Margins::Bevel), 1);
    EXPECT_EQ(money->Colors().Get(T_AM2000_Colors::Menu), 0x5B5B5B);
    money->RemoveClient(&client);
}

TEST(MoneySkin, WindowLookIsTheResourceLookPlusTheWindowsOwnValues)
{
    TLoader loader(MoneyLoader);
    TComponent window;
    auto* loaded = NewComponent<TMoney>(&window);
    const struct {
        bool Resource;
        T_AM2000_Animation Animation;
        int SideMargin, Left;
    } cases[] = {{true, anVertSlide, 18, 18}, {false, anVertSlide, 18, 18}, {true, anVertRoll, -1, 24},
                 {false, anVertRoll, -1, 24}};
    for (const auto& c : cases) {
        SetSkinResourceLoader(c.Resource ? MoneyLoader : nullptr);  // without one the window's values alone
        auto* money = NewComponent<TMoney>(&window);
        TClientDouble client;
        money->AddClient(&client);
        StoreWindowLook(*money, c.Animation, c.SideMargin);
        EXPECT_EQ(client.Pushes, 1) << "one push for all the window's values";
        for (int role = 0; role < T_AM2000_Colors::RoleCount; ++role)
            EXPECT_EQ(money->Colors().Get(T_AM2000_Colors::Role(role)), loaded->Colors().Get(T_AM2000_Colors::Role(role)))
                << role;
        EXPECT_EQ(money->Margins().Get(T_AM2000_Margins::Border), 0);
        EXPECT_EQ(money->Margins().Get(T_AM2000_Margins::Bevel), 1);
        EXPECT_EQ(money->Margins().Get(T_AM2000_Margins::Left), c.Left);
        EXPECT_EQ(money->Margins().Get(T_AM2000_Margins::Right), c.Left);
        EXPECT_FALSE(money->Ctl3D());
        EXPECT_EQ(money->Flags(), FlagBit(mfNoBitmapRect));
        EXPECT_FALSE(money->SystemFont());
        EXPECT_TRUE(money->SystemShadow());
        EXPECT_EQ(money->Font().Name, "MS Sans Serif");
        EXPECT_EQ(money->Font().Height, -11);
        EXPECT_EQ(money->Animation(), c.Animation);
        EXPECT_EQ(client.Options.Animation(), c.Animation);
        EXPECT_EQ(client.Options.Margins().Get(T_AM2000_Margins::Left), c.Left);
        EXPECT_FALSE(money->InState(TComponent::csLoading));
        money->RemoveClient(&client);
    }
}

TEST(MoneySkin, FreeingTheSkinTellsItsClients)
{
    TClientDouble a, b;
    auto skin = std::make_unique<TAnimatedSkin2000>(nullptr);
    skin->AddClient(&a);
    skin->AddClient(&b);
    skin->AddClient(&a);
    EXPECT_EQ(skin->ClientCount(), 2);
    TCustomAnimatedSkin2000* raw = skin.get();
    skin.reset();
    EXPECT_EQ(a.Freed, raw);
    EXPECT_EQ(b.Freed, raw);
}

TEST(MoneySkin, SkinRoundTripsThroughTheWriter)
{
    TLoader loader(MoneyLoader);
    TComponent window;
    auto* money = NewComponent<TMoney>(&window);
    money->SetOpacity(80);
    money->Title().Text = "Parvolux";
    TMemoryStream stream;
    WriteResourceHeader(stream, "Copy", 0);
    const int64_t start = stream.Position();
    WriteComponentStream(stream, "TAnimatedSkin2000", "Copy", *money, money);
    std::vector<uint8_t> bytes = stream.Bytes();
    const uint32_t rest = static_cast<uint32_t>(bytes.size() - static_cast<size_t>(start));
    std::memcpy(&bytes[static_cast<size_t>(start) - 4], &rest, 4);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()).find("Version"), std::string::npos);

    TAnimatedSkin2000 copy(nullptr);
    ReadSkinResource(bytes.data(), bytes.size(), copy);
    EXPECT_FALSE(copy.Ctl3D());
    EXPECT_EQ(copy.Flags(), FlagBit(mfNoBitmapRect));
    EXPECT_EQ(copy.Margins().Get(T_AM2000_Margins::Bevel), 1);
    EXPECT_EQ(copy.Opacity(), 80);
    EXPECT_EQ(copy.Title().Text, "Parvolux");
    EXPECT_EQ(copy.Colors().Get(T_AM2000_Colors::Line), 0x707070);
}

TEST(MoneySkin, MalformedResourceRaisesAndKeepsTheOldLook)
{
    auto bytes = MoneyBytes();
    bytes.resize(bytes.size() - 3);
    TAnimatedSkin2000 skin(nullptr);
    skin.SetOpacity(55);
    EXPECT_THROW(ReadSkinResource(bytes.data(), bytes.size(), skin), EReadError);
    EXPECT_EQ(skin.Opacity(), 55);
    EXPECT_EQ(skin.Colors().Get(T_AM2000_Colors::Menu), clMenu);
}

TEST(MoneySkin, ThousandsOfMutationsGiveAnErrorOrASkin)
{
    const auto seed = MoneyBytes();
    std::mt19937 random(20261210);
    int errors = 0, skins = 0;
    for (int i = 0; i < 3000; ++i) {
        const auto bytes = Mutate(seed, random);
        TAnimatedSkin2000 skin(nullptr);
        try {
            ReadSkinResource(bytes.data(), bytes.size(), skin);
            ++skins;
        } catch (const Exception&) {
            ++errors;
        }
    }
    EXPECT_GT(errors, 0);
    EXPECT_GT(skins, 0);
}

// A menu's look: a font choice drops the others, Ctl3D stops following the system, and a skin
// pushes its fonts, frame, flags and image lists (through the link, a fresh default look when
// the link is cleared).
TEST(MenuLook, FontChoicesExcludeEachOtherAndSkinsPushTheirLook)
{
    T_AM2000_MenuLook look;
    EXPECT_TRUE(look.SystemFont());
    EXPECT_FALSE(look.ParentFont());
    EXPECT_EQ(nullptr, look.Font());
    const T_AM2000_Font arial("Arial", -13, clWindowText, 1);
    look.SetSystemFont(false);
    look.SetFont(&arial);
    ASSERT_NE(nullptr, look.Font());
    EXPECT_EQ("Arial", look.Font()->Name);
    look.SetParentFont(true);
    EXPECT_FALSE(look.SystemFont());
    EXPECT_EQ(nullptr, look.Font());
    look.SetFont(&arial);
    look.SetSystemFont(true);
    EXPECT_FALSE(look.ParentFont());
    EXPECT_EQ(nullptr, look.Font());
    look.SystemCtl3D = true;
    look.SetCtl3D(false);
    EXPECT_FALSE(look.Ctl3D());
    EXPECT_FALSE(look.SystemCtl3D);

    struct TLookClient : IAM2000SkinClient {
        T_AM2000_MenuLook Look;
        int Pushes = 0;
        void ApplySkin(TCustomAnimatedSkin2000& skin) override
        {
            ++Pushes;
            Look.TakeSkinLook(skin);
        }
        void SkinFreed(TCustomAnimatedSkin2000&) override {}
    } client;
    TComponent disabled(nullptr), hot(nullptr);
    TAnimatedSkin2000 skin(nullptr);
    skin.SetSystemFont(false);
    skin.Font().Assign(arial);
    skin.SetCtl3D(false);
    skin.SetSystemShadow(true);
    skin.DisabledImages = &disabled;
    skin.HotImages = &hot;
    TCustomAnimatedSkin2000* link = nullptr;
    LinkAnimatedSkin(client, link, &skin);
    EXPECT_EQ(&skin, link);
    EXPECT_EQ(1, client.Pushes);
    EXPECT_EQ(1, skin.ClientCount());
    ASSERT_NE(nullptr, client.Look.Font());
    EXPECT_EQ(-13, client.Look.Font()->Height);
    EXPECT_FALSE(client.Look.Ctl3D());
    EXPECT_TRUE(client.Look.SystemShadow);
    EXPECT_EQ(&disabled, client.Look.DisabledImages);
    EXPECT_EQ(&hot, client.Look.HotImages);

    T_AM2000_MenuLook copy;
    copy.AssignLook(client.Look);
    ASSERT_NE(nullptr, copy.Font());
    EXPECT_NE(client.Look.Font(), copy.Font());  // a copy, not shared
    EXPECT_EQ(&hot, copy.HotImages);
    EXPECT_FALSE(copy.SystemFont());

    LinkAnimatedSkin(client, link, nullptr);
    EXPECT_EQ(0, skin.ClientCount());
    EXPECT_EQ(2, client.Pushes);
    EXPECT_TRUE(client.Look.SystemFont());
    EXPECT_EQ(nullptr, client.Look.Font());
    EXPECT_TRUE(client.Look.Ctl3D());
    EXPECT_EQ(nullptr, client.Look.HotImages);
}
