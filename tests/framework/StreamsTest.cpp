#include "framework/Classes.h"
#include "framework/SysUtils.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(Streams, MemoryStreamReadWriteSeek)
{
    TMemoryStream s;
    s.WriteValue<uint32_t>(0x11223344);
    s.WriteBuffer("abc", 3);
    EXPECT_EQ(s.Size(), 7);
    s.SetPosition(0);
    EXPECT_EQ(s.ReadValue<uint32_t>(), 0x11223344u);
    char text[3];
    s.ReadBuffer(text, 3);
    EXPECT_EQ(std::string(text, 3), "abc");
    EXPECT_THROW(s.ReadValue<uint8_t>(), EReadError);
    s.Seek(-2, soEnd);
    EXPECT_EQ(s.Position(), 5);
    s.SetSize(2);
    EXPECT_EQ(s.Position(), 2);
    EXPECT_EQ(s.Read(text, 3), 0);
}

TEST(Streams, FileStreamCopyTruncateAndErrors)
{
    pvltest::TTempDir dir;
    const std::string name = dir.File("data.bin");
    {
        TFileStream out(name, fmCreate);
        TMemoryStream source;
        std::vector<uint8_t> bytes(100000);
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<uint8_t>(i * 7);
        source.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        EXPECT_EQ(out.CopyFrom(source, 0), 100000);
    }
    EXPECT_EQ(FileSizeOf(name), 100000);
    {
        TFileStream io(name, fmOpenReadWrite);
        io.SetPosition(99999);
        uint8_t last = 0;
        io.ReadBuffer(&last, 1);
        EXPECT_EQ(last, static_cast<uint8_t>(99999 * 7));
        io.SetSize(10);
    }
    EXPECT_EQ(FileSizeOf(name), 10);
    EXPECT_THROW(TFileStream(dir.File("absent.bin"), fmOpenRead), EFOpenError);
    EXPECT_EQ(FileSizeOf(dir.File("absent.bin")), -1);
}

TEST(Streams, AtomicSaveReplacesWholeOrNothing)
{
    pvltest::TTempDir dir;
    const std::string name = dir.File("keep.txt");
    ASSERT_TRUE(SaveFileAtomically(name, "old", 3));
    ASSERT_TRUE(SaveFileAtomically(name, "newer", 5));
    EXPECT_EQ(pvltest::ReadAll(name).size(), 5u);
    EXPECT_FALSE(FileExists(name + ".~tmp"));
    EXPECT_FALSE(SaveFileAtomically(dir.File("no/such/dir.txt"), "x", 1));

    // A save that fails over an existing file leaves that file as it was.
    ASSERT_TRUE(ForceDirectories(name + ".~tmp"));
    EXPECT_FALSE(SaveFileAtomically(name, "replacement", 11));
    EXPECT_EQ(pvltest::ReadAll(name), (std::vector<uint8_t>{'n', 'e', 'w', 'e', 'r'}));
}
