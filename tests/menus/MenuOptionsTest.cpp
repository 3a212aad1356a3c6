#include "menus/MenuOptionsCore.h"

#include <gtest/gtest.h>

namespace {

struct TOwnerDouble : IOptionsOwner {
    int Changes = 0;
    bool HasSkin = false;
    void OptionsChanged() override { ++Changes; }
    bool OwnerHasSkin() const override { return HasSkin; }
};

std::string StoredNames(IStoredProperties& object)
{
    TMemoryStream stream;
    WriteComponentStream(stream, "T", "", object);
    const auto& b = stream.Bytes();
    return std::string(b.begin(), b.end());
}

}  // namespace

TEST(MenuOptions, ItemPartsInheritUntilChangedAndDefaultWritesInheritAgain)
{
    TOwnerDouble owner;
    T_AM2000_ItemOptions options(&owner);
    EXPECT_FALSE(options.HasOwnLook());
    options.Colors();  // reading creates the part, still inherited
    EXPECT_TRUE(options.ParentColors);

    options.Colors().Set(T_AM2000_Colors::Menu, 0x123456);
    EXPECT_FALSE(options.ParentColors);
    EXPECT_TRUE(options.HasOwnLook());
    EXPECT_EQ(owner.Changes, 1);

    T_AM2000_Colors defaults;
    options.SetColors(&defaults);
    EXPECT_TRUE(options.ParentColors);
    EXPECT_EQ(options.Colors().Get(T_AM2000_Colors::Menu), clMenu);

    T_AM2000_Margins margins;
    margins.Set(T_AM2000_Margins::Left, 18);
    options.SetMargins(&margins);
    EXPECT_FALSE(options.ParentMargins);
    EXPECT_EQ(options.Margins().Get(T_AM2000_Margins::Left), 18);
    options.SetMargins(nullptr);
    EXPECT_TRUE(options.ParentMargins);
    EXPECT_FALSE(options.HasPart(T_AM2000_Options::pkMargins));

    const int before = owner.Changes;
    BeginMenuUpdate();
    options.Title().Visible = true;
    options.SetFlags(FlagBit(mfSoftColors));
    EXPECT_EQ(owner.Changes, before);  // under the update lock the owner is not asked
    EndMenuUpdate();
}

TEST(MenuOptions, StoredRules)
{
    TOwnerDouble owner;
    T_AM2000_MenuOptions menu(&owner);
    EXPECT_EQ(StoredNames(menu).find("Colors"), std::string::npos);  // a default part is not stored
    menu.Colors().Set(T_AM2000_Colors::Border, 0x5B5B5B);
    menu.Margins().Set(T_AM2000_Margins::Left, 18);
    menu.SetAnimation(anVertSlide);
    menu.SetFlags(FlagBit(mfNoBitmapRect));
    const std::string stored = StoredNames(menu);
    for (const char* name : {"Colors.Border", "Margins.Left", "Animation", "anVertSlide", "mfNoBitmapRect"})
        EXPECT_NE(stored.find(name), std::string::npos) << name;
    for (const char* name : {"Colors.Menu", "Margins.Right", "Opacity", "Title"})
        EXPECT_EQ(stored.find(name), std::string::npos) << name;

    owner.HasSkin = true;  // a menu with a skin stores no parts
    const std::string withSkin = StoredNames(menu);
    EXPECT_EQ(withSkin.find("Colors.Border"), std::string::npos);
    EXPECT_NE(withSkin.find("Animation"), std::string::npos);

    TOwnerDouble itemOwner;  // an item's options never ask about a skin
    T_AM2000_ItemOptions item(&itemOwner);
    item.Colors().Set(T_AM2000_Colors::Menu, 1);
    item.ParentColors = true;  // marked inherited: not stored
    EXPECT_EQ(StoredNames(item).find("Colors"), std::string::npos);
    item.ParentColors = false;
    EXPECT_NE(StoredNames(item).find("Colors.Menu"), std::string::npos);
    EXPECT_NE(StoredNames(item).find("ParentColors"), std::string::npos);
}

TEST(MenuOptions, OpacityOutsideOneToHundredIsRefusedAndKept)
{
    T_AM2000_MenuOptions options;
    options.SetOpacity(40);
    for (int bad : {0, 101, -5}) {
        EXPECT_THROW(options.SetOpacity(bad), ERangeError) << bad;
        EXPECT_EQ(options.Opacity(), 40);
    }
    const std::vector<uint8_t> stream = {'T', 'P', 'F', '0', 0, 0, 7, 'O', 'p', 'a', 'c', 'i', 't', 'y', vaInt8, 0, 0, 0};
    EXPECT_THROW(ReadComponentStream(stream.data(), stream.size(), options), ERangeError);
    EXPECT_EQ(options.Opacity(), 40);
}

TEST(MenuOptions, ColorsDeriveOncePerSet)
{
    T_AM2000_MenuOptions options;
    options.SetFlags(FlagBit(mfSoftColors));
    auto& colors = options.Colors();
    colors.Set(T_AM2000_Colors::Menu, 0x000000);
    colors.Set(T_AM2000_Colors::DisabledText, 0xF0F0F0);
    colors.Set(T_AM2000_Colors::Highlight, 0x808080);
    colors.Set(T_AM2000_Colors::HighlightText, 0x00FFFF);
    options.UpToDateColors();
    EXPECT_EQ(colors.Get(T_AM2000_Colors::Menu), 0x101010);  // 0 + Round(240 / 15)
    EXPECT_EQ(colors.Get(T_AM2000_Colors::Frame), 0x808080);
    EXPECT_EQ(colors.Get(T_AM2000_Colors::Derived25), 0x00FFFF);
    EXPECT_EQ(colors.Get(T_AM2000_Colors::Derived22), GradientStep(0, colors.Get(T_AM2000_Colors::Highlight), 3));
    const auto once = colors.Get(T_AM2000_Colors::Menu);
    options.UpToDateColors();
    EXPECT_EQ(colors.Get(T_AM2000_Colors::Menu), once);

    T_AM2000_MenuOptions copy;
    copy.Assign(options);  // the derived flag travels with the colours
    EXPECT_TRUE(copy.Colors().Derived());
    copy.UpToDateColors();
    EXPECT_EQ(copy.Colors().Get(T_AM2000_Colors::Menu), once);
    EXPECT_EQ(copy.Flags(), FlagBit(mfSoftColors));
}

TEST(MenuOptions, TitleFontIsStoredOnlyWhenItDiffers)
{
    T_AM2000_MenuOptions options;
    options.Title().Visible = true;
    EXPECT_EQ(StoredNames(options).find("Title.Font"), std::string::npos);
    EXPECT_NE(StoredNames(options).find("Title.Visible"), std::string::npos);
    options.Title().Font().Height = -20;
    EXPECT_NE(StoredNames(options).find("Title.Font.Name"), std::string::npos);
}
