#include "framework/Registry.h"
#include "menus/MenuPersistence.h"
#include "menus/MenuUtilsCore.h"
#include "menus/PopupMenu2000.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A form with a named menu: File (Open, Save, Recent (One, Two)), Edit, Exit.
class MenuStorage : public testing::Test {
protected:
    void SetUp() override
    {
        SetMenuStorageMode(0);
        ClearStore();
        Menu = NewComponent<TPopupMenu2000>(&Form);
        Menu->Name = "PopupMenu1";
        File = Add(Menu->Items(), "File", "&File");
        Open = Add(File, "Open", "&Open...");
        Save = Add(File, "Save", "&Save");
        Recent = Add(File, "Recent", "Recent");
        One = Add(Recent, "One", "1 a.avi");
        Two = Add(Recent, "Two", "2 b.avi");
        Edit = Add(Menu->Items(), "Edit", "&Edit");
        Exit = Add(Menu->Items(), "Exit", "E&xit");
        Open->OnClick = [this](TObject*) { ++Clicks; };
    }
    void TearDown() override
    {
        SetMenuStorageMode(0);
        ClearStore();
    }

    TMenuItem2000* Add(TMenuItem* parent, const std::string& name, const std::string& caption)
    {
        auto* item = NewComponent<TMenuItem2000>(&Form);
        item->Name = name;
        item->Caption = caption;
        parent->Add(item);
        return item;
    }

    static std::string Names(TMenuItem* parent)
    {
        std::string out;
        for (int k = 0; k < parent->Count(); ++k) {
            out += (k ? " " : "") + parent->Items(k)->Name;
            if (parent->Items(k)->Count() > 0)
                out += "(" + Names(parent->Items(k)) + ")";
        }
        return out;
    }

    static bool TessarelKeyExists()
    {
        TRegistry registry;
        return registry.KeyExists("\\Software\\Tessarel");
    }

    void ClearStore()
    {
        TRegistry registry;
        registry.DeleteKey("\\Software\\Tessarel");
        if (Menu)
            for (uint8_t mode : {2, 3, 4}) {
                SetMenuStorageMode(mode);
                FileDelete(MenuFileName(*Menu));
            }
        SetMenuStorageMode(0);
    }

    TComponent Form;
    TPopupMenu2000* Menu = nullptr;
    TMenuItem2000 *File, *Open, *Save, *Recent, *One, *Two, *Edit, *Exit;
    int Clicks = 0;
};

}  // namespace

TEST_F(MenuStorage, EveryModeWritesAndReadsBack)
{
    const std::string original = Names(Menu->Items());
    const uint32_t strip[2] = {0xFF102030u, 0x80405060u};
    TBitmap bitmap;
    bitmap.SetPixels(2, 1, strip);
    Save->SetBitmap(bitmap);
    Save->NumGlyphs = 2;
    for (uint8_t mode : {1, 2, 3, 4}) {
        SCOPED_TRACE(mode);
        SetMenuStorageMode(mode);
        SaveMenuOrder(Menu);
        if (mode == 1) {
            TRegistry registry;
            ASSERT_TRUE(registry.OpenKeyReadOnly(MenuOrderKey()));
            EXPECT_EQ(0u, registry.ReadString("PopupMenu1").find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"));
        } else {
            EXPECT_TRUE(FileExists(MenuFileName(*Menu))) << MenuFileName(*Menu);
        }
        // Rearranged and renamed, then the stored layout comes back; the items stay the same
        // objects, so handlers and references keep working.
        File->Remove(Save);
        Menu->Items()->Add(Save);
        Open->SetCaption("changed");
        Two->SetChecked(true);
        Save->SetBitmap(TBitmap());
        Save->NumGlyphs = 1;
        LoadMenuOrder(Menu);
        EXPECT_EQ(original, Names(Menu->Items()));
        EXPECT_EQ("&Open...", Open->Caption);
        EXPECT_FALSE(Two->Checked);
        EXPECT_EQ(Open, File->Items(0));
        ASSERT_EQ(Save->GetBitmap().Width(), 2);
        EXPECT_EQ(std::vector<uint32_t>(strip, strip + 2),
                  std::vector<uint32_t>(Save->GetBitmap().Pixels(), Save->GetBitmap().Pixels() + 2));
        EXPECT_EQ(2, Save->NumGlyphs);
        EXPECT_TRUE(Open->GetBitmap().Empty());
        Open->Click();
    }
    EXPECT_EQ(4, Clicks);
    EXPECT_EQ(".menu", ExtractFileExt((SetMenuStorageMode(2), MenuFileName(*Menu))));
    EXPECT_EQ(".txt", ExtractFileExt((SetMenuStorageMode(3), MenuFileName(*Menu))));
    EXPECT_EQ(".xml", ExtractFileExt((SetMenuStorageMode(4), MenuFileName(*Menu))));
}

TEST_F(MenuStorage, ItemsOfALayoutAreMadeAndItemsMissingFromItFreed)
{
    SetMenuStorageMode(4);
    TMemoryStream xml;
    WriteMenuToStream(*Menu, xml, 3);
    std::string text(xml.Bytes().begin(), xml.Bytes().end());
    // One becomes New; Two is gone.
    const size_t one = text.find("name=\"One\"");
    text.replace(one, 10, "name=\"New\"");
    const size_t two = text.rfind("<object", text.find("name=\"Two\""));
    text.erase(two, text.find("</object>", two) + 11 - two);
    TMemoryStream in;
    in.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    in.SetPosition(0);
    const int components = Form.ComponentCount();
    ReadMenuFromStream(*Menu, in, 3);
    EXPECT_EQ("File(Open Save Recent(New)) Edit Exit", Names(Menu->Items()));
    EXPECT_EQ("1 a.avi", Recent->Items(0)->Caption);
    EXPECT_EQ(components - 1, Form.ComponentCount());  // One and Two freed, New made
    EXPECT_EQ(Form.FindComponent("New"), Recent->Items(0));
}

TEST_F(MenuStorage, DamagedFilesRaiseTheConvertersErrorAndLeaveTheMenu)
{
    const std::string before = Names(Menu->Items());
    const struct {
        uint8_t Mode;
        std::string Content;
        std::string Message;
    } cases[] = {
        {4, "<object type=\"TPopupMenu2000\"><object name=\"X\" type=\"TMenuItem2000\"><caption type=\"binary\">zz</caption>",
         "Invalid binary value"},
        {4, "<object type=\"TPopupMenu2000\"><object name=\"X\" type=\"TButton\"></object></object>",
         "Class TButton not found"},
        {4, "<object type=\"TPopupMenu2000\"><object name=\"File\" type=\"TMenuItem2000\"><colour type=\"integer\">1</colour></object></object>",
         "Property colour does not exist"},
        {3, "object PopupMenu1: TPopupMenu2000\r\n  object File: TMenuItem2000\r\n    Caption = 'x\r\n", "Unterminated string on line 3"},
        {2, std::string("\xFF\x0A\x00PM\x00\x30\x10\x05\x00\x00\x00TPF1\x00", 17), "Invalid stream format"},
    };
    for (const auto& c : cases) {
        SetMenuStorageMode(c.Mode);
        ASSERT_TRUE(SaveFileAtomically(MenuFileName(*Menu), c.Content.data(), c.Content.size()) ||
                    (ForceDirectories(ExtractFileDir(MenuFileName(*Menu))) &&
                     SaveFileAtomically(MenuFileName(*Menu), c.Content.data(), c.Content.size())));
        try {
            LoadMenuOrder(Menu);
            ADD_FAILURE() << c.Message;
        } catch (const Exception& e) {
            EXPECT_EQ(c.Message, e.Message);
        }
        EXPECT_EQ(before, Names(Menu->Items()));
        EXPECT_EQ("&File", File->Caption);
        EXPECT_EQ(0, MenuUpdateCount());
    }
    // An empty file and a missing registry value leave the menu alone.
    SetMenuStorageMode(4);
    ASSERT_TRUE(SaveFileAtomically(MenuFileName(*Menu), "", 0));
    LoadMenuOrder(Menu);
    SetMenuStorageMode(1);
    LoadMenuOrder(Menu);
    EXPECT_EQ(before, Names(Menu->Items()));
}

TEST_F(MenuStorage, ModeZeroTouchesNothingAndElapsedTimeIsWrittenInModeOneOnly)
{
    StoreMenuItem(Open);
    SaveMenuOrder(Menu);
    WriteUsageClock();
    Open->Click();
    for (uint8_t mode : {2, 3, 4}) {
        SetMenuStorageMode(mode);
        EXPECT_FALSE(FileExists(MenuFileName(*Menu)));
    }
    EXPECT_FALSE(TessarelKeyExists());

    for (uint8_t mode : {2, 3, 4}) {
        SetMenuStorageMode(mode);
        WriteUsageClock();
    }
    EXPECT_FALSE(TessarelKeyExists());

    SetMenuStorageMode(1);
    WriteUsageClock();
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(MenuOrderKey()));
    EXPECT_EQ(rdInteger, registry.GetDataType("ElapsedTime"));
    EXPECT_FALSE(registry.ValueExists("PopupMenu1"));

    // A click stores the item's menu; a menu without a name is never stored in the registry.
    Open->Click();
    EXPECT_TRUE(registry.ValueExists("PopupMenu1"));
    Menu->Name.clear();
    registry.DeleteValue("PopupMenu1");
    SaveMenuOrder(Menu);
    EXPECT_FALSE(registry.ValueExists(""));
}

TEST_F(MenuStorage, StoringAPlainItemIsRefused)
{
    TMenuItem plain(nullptr);
    try {
        StoreMenuItem(&plain);
        ADD_FAILURE();
    } catch (const EMenuError& e) {
        EXPECT_EQ("Only items of type TMenuItem2000 can be stored", e.Message);
    }
}

TEST_F(MenuStorage, MoveMenuItemWithinAndAcrossParents)
{
    SetMenuStorageMode(4);
    auto move = [this](TMenuItem* dragged, TMenuItem* target, TMenuItem* newParent, bool accept = true) {
        TMenuDragState& s = MenuDragState();
        s.Dragged = dragged;
        SetDropTarget(target);
        s.TargetCode = target ? 0 : TMenuDragState::AppendTarget;
        s.NewParent = newParent;
        MoveMenuItem(accept);
        return Names(Menu->Items());
    };
    // Down within the parent lands just before the target; up takes the target's place.
    EXPECT_EQ("File(Save Open Recent(One Two)) Edit Exit", move(Open, Recent, nullptr));
    EXPECT_TRUE(FileExists(MenuFileName(*Menu)));  // the move was stored
    EXPECT_EQ("File(Recent(One Two) Save Open) Edit Exit", move(Recent, Save, nullptr));
    // Into a new parent, before the target there.
    EXPECT_EQ("File(Recent(One Open Two) Save) Edit Exit", move(Open, Two, Recent));
    // No target item: to the end of its parent.
    EXPECT_EQ("File(Recent(One Two Open) Save) Edit Exit", move(Open, nullptr, nullptr));
    // Refused drops change nothing.
    EXPECT_EQ("File(Recent(One Two Open) Save) Edit Exit", move(Open, One, nullptr, false));

    try {
        move(File, One, Recent);
        ADD_FAILURE();
    } catch (const EMenuError& e) {
        EXPECT_EQ("Cannot move menu item into it's own submenu", e.Message);
    }
    EXPECT_EQ("File(Recent(One Two Open) Save) Edit Exit", Names(Menu->Items()));
    const TMenuDragState& s = MenuDragState();
    EXPECT_EQ(nullptr, s.Dragged);
    EXPECT_EQ(nullptr, s.Target);
    EXPECT_EQ(nullptr, s.Previous);
    EXPECT_EQ(nullptr, s.NewParent);
    EXPECT_EQ(TMenuDragState::NoTarget, s.TargetCode);
}
