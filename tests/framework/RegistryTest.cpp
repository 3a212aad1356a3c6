#include "framework/Registry.h"

#include <gtest/gtest.h>

namespace {
const char* const kTestKey = "\\Software\\Kestrel Forge\\ParvoluxTests";

class RegistryTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        TRegistry reg;
        reg.DeleteKey(kTestKey);
    }
};
}

TEST_F(RegistryTest, LeadingBackslashStartsAtRootAndValuesReadBack)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey(std::string(kTestKey) + "\\General", true));
    reg.WriteString("Name", "Parvolux");
    reg.WriteInteger("Volume", -903);
    reg.WriteBool("Autoplay", true);
    const uint8_t record[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    reg.WriteBinaryData("Pos", record, sizeof record);
    reg.CloseKey();

    TRegistry again;
    ASSERT_TRUE(again.OpenKeyReadOnly(std::string(kTestKey) + "\\General\\"));
    EXPECT_EQ(again.ReadString("Name"), "Parvolux");
    EXPECT_EQ(again.ReadInteger("Volume"), -903);
    EXPECT_TRUE(again.ReadBool("Autoplay"));
    uint8_t back[20] = {};
    EXPECT_EQ(again.ReadBinaryData("Pos", back, sizeof back), 20);
    EXPECT_EQ(back[19], 20);
    EXPECT_EQ(again.GetDataType("Volume"), rdInteger);
    EXPECT_FALSE(again.ValueExists("Missing"));
    EXPECT_EQ(again.ReadString("Missing"), "");
}

TEST_F(RegistryTest, RelativePathsAndTypeErrors)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kTestKey, true));
    ASSERT_TRUE(reg.OpenKey("Audio", true));  // relative to the open key
    EXPECT_EQ(reg.CurrentPath(), "Software\\Kestrel Forge\\ParvoluxTests\\Audio");
    reg.WriteString("SpeakerType", "two");
    EXPECT_THROW(reg.ReadInteger("SpeakerType"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("Nothing"), ERegistryException);
    reg.CloseKey();
    EXPECT_TRUE(reg.KeyExists(std::string(kTestKey) + "\\Audio"));
    EXPECT_FALSE(reg.OpenKey(std::string(kTestKey) + "\\Absent", false));
    ASSERT_TRUE(reg.DeleteKey(kTestKey));
    EXPECT_FALSE(reg.KeyExists(kTestKey));
}
