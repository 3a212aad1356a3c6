// Codec names: the compression text, the video codec and wave format tables.
#include "engine/CodecNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

// Every code the video table answers for: four characters, then codes with odd bytes.
const char* const NamedFourCCs[] = {
    "2VUY", "3IV0", "3IV1", "3IV2", "3IVD", "3IVX", "8BPS", "AAS4", "AASC", "ABYR", "ACTL", "ADV1",
    "ADVJ", "AEIK", "AEMI", "AFLC", "AFLI", "AMPG", "ANIM", "AP41", "AP42", "ASV1", "ASV2", "ASVX",
    "AUR2", "AURA", "AVDJ", "AVDV", "AVI1", "AVI2", "AVID", "AVRN", "AVUI", "AZPR", "AZRP", "BHIV",
    "BINK", "BITM", "BLZ0", "BT20", "BTCV", "BTVC", "BW10", "BXBG", "BXRG", "BXY2", "BXYV", "CC12",
    "CDVC", "CFCC", "CGDI", "CHAM", "CJPG", "CLJR", "CLPL", "CMYK", "COL0", "COL1", "CPLA", "CRAM",
    "CSCD", "CVID", "CWLT", "CYUV", "CYUY", "D261", "D263", "DCAP", "DFSC", "DIV1", "DIV2", "DIV3",
    "DIV4", "DIV5", "DIV6", "DIVX", "DM4V", "DMB1", "DMB2", "DP02", "DPS0", "DPSC", "DRWX", "DSVD",
    "DTMT", "DTNT", "DUCK", "DV10", "DV25", "DV50", "DVAN", "DVCP", "DVCS", "DVE2", "DVH1", "DVHD",
    "DVIS", "DVLP", "DVMA", "DVOR", "DVPN", "DVPP", "DVR1", "DVRS", "DVSD", "DVSL", "DVX1", "DVX2",
    "DVX3", "DX50", "DXT1", "DXT2", "DXT3", "DXT4", "DXT5", "DXTC", "EKQ0", "ELK0", "EM2V", "EQK0",
    "ESCP", "ETV1", "ETV2", "ETVC", "FLIC", "FLJP", "FRWA", "FRWD", "FRWT", "FRWU", "FVF1", "FVFW",
    "GEPJ", "GLCC", "GLZW", "GPEG", "GPJM", "GREY", "GWLT", "H260", "H261", "H262", "H263", "H264",
    "H265", "H266", "H267", "H268", "H269", "HD10", "HFYU", "HMCR", "HMRR", "I263", "I420", "ICLB",
    "IF09", "IGOR", "IJPG", "ILVC", "ILVR", "IMC1", "IMC2", "IMC3", "IMC4", "IMJG", "IPDV", "IPJ2",
    "IR21", "IRAW", "IUYV", "IV30", "IV31", "IV32", "IV33", "IV34", "IV35", "IV36", "IV37", "IV38",
    "IV39", "IV40", "IV41", "IV42", "IV43", "IV44", "IV45", "IV46", "IV47", "IV48", "IV49", "IV50",
    "IY41", "IYU1", "IYU2", "IYUV", "JBYR", "JFIF", "JPEG", "JPGL", "KMVC", "KPCD", "L261", "L263",
    "LCMW", "LEAD", "LGRY", "LJPG", "LOCO", "LSVM", "LZO1", "M261", "M263", "M4S2", "MC12", "MC24",
    "MCAM", "MCZM", "MDVD", "MJ2C", "MJPA", "MJPB", "MJPG", "MMES", "MP2A", "MP2T", "MP2V", "MP41",
    "MP42", "MP43", "MP4A", "MP4S", "MP4T", "MP4V", "MPEG", "MPG1", "MPG2", "MPG3", "MPG4", "MPGI",
    "MPNG", "MRCA", "MRLE", "MSS1", "MSS2", "MSVC", "MSZH", "MTGA", "MTX1", "MTX2", "MTX3", "MTX4",
    "MTX5", "MTX6", "MTX7", "MTX8", "MTX9", "MWV1", "NAVI", "NHVU", "NT00", "NTN1", "NTN2", "NUV1",
    "NV12", "NV21", "NVDS", "NVHS", "NVS0", "NVS1", "NVS2", "NVS3", "NVS4", "NVS5", "NVT0", "NVT1",
    "NVT2", "NVT3", "NVT4", "NVT5", "PDVC", "PGVV", "PHMO", "PIM1", "PIM2", "PIMJ", "PIXL", "PVEZ",
    "PVMM", "PVW2", "PVWV", "Q1.0", "QDGX", "QPEG", "QPEQ", "R411", "R420", "RAVI", "RAV_", "RGB1",
    "RGBA", "RGBO", "RGBP", "RGBQ", "RGBR", "RGBT", "RLE4", "RLE8", "RMP4", "ROQV", "RPZA", "RT21",
    "RTV0", "RUD0", "RV10", "RV13", "RV20", "RV30", "RV40", "S422", "SAN3", "SDCC", "SFMC", "SJPG",
    "SLDV", "SMSC", "SMSD", "SMSV", "SP44", "SP53", "SP54", "SP55", "SP56", "SP57", "SP58", "SPIG",
    "SPLC", "SPRK", "SQZ2", "STVA", "STVB", "STVC", "STVX", "STVY", "SV10", "SVQ1", "SVQ3", "SWC1",
    "T420", "THEO", "TIFF", "TIM2", "TLMS", "TLST", "TM20", "TM2A", "TM2X", "TMIC", "TMOT", "TR20",
    "TSCC", "TV10", "TVJP", "TVMJ", "TY0N", "TY2C", "TY2N", "U263", "UCOD", "ULTI", "UMP4", "UYNV",
    "UYVP", "UYVU", "UYVY", "V210", "V261", "V422", "V655", "VBLE", "VCR1", "VCR2", "VCR3", "VCR4",
    "VCR5", "VCR6", "VCR7", "VCR8", "VCR9", "VDCT", "VDOM", "VDOW", "VDST", "VDTZ", "VGPX", "VIDM",
    "VIDS", "VIFP", "VIV1", "VIV2", "VIVO", "VIXL", "VLV1", "VP30", "VP31", "VP40", "VP50", "VP60",
    "VSSV", "VTLP", "VX1K", "VX2K", "VXSP", "VYU9", "VYUY", "WBVC", "WHAM", "WINX", "WJPG", "WMV1",
    "WMV2", "WMV3", "WMVP", "WNV1", "WNVA", "WRLE", "WRPR", "WVLT", "X263", "XLV0", "XMPG", "XVID",
    "XVIX", "XWV0", "XWV1", "XWV2", "XWV3", "XWV4", "XWV5", "XWV6", "XWV7", "XWV8", "XWV9", "XXAN",
    "Y211", "Y411", "Y41B", "Y41P", "Y41T", "Y422", "Y42B", "Y42T", "Y800", "YC12", "YU12", "YU92",
    "YUNV", "YUV2", "YUV8", "YUV9", "YUVP", "YUY2", "YUYV", "YV12", "YVU9", "YVYU", "ZLIB", "ZPEG",
    "ZYGO", "mp4v",
};
const uint32_t NumericFourCCs[] = {
    0x00003859, 0x00414754, 0x00424752, 0x00424944, 0x00434D53, 0x00435644,
    0x00454C52, 0x00474E50, 0x004E4149, 0x00525641, 0x00574152, 0x00585652,
    0x034D37C2, 0x0F424752, 0x0F524742, 0x10424752, 0x10524742, 0x18424752,
    0x18524742, 0x204C5644,
};

std::vector<uint32_t> AllVideoCodes()
{
    std::vector<uint32_t> codes(std::begin(NumericFourCCs), std::end(NumericFourCCs));
    for (const char* text : NamedFourCCs) {
        char four[5] = {};
        std::copy_n(text, 4, four);
        codes.push_back(FourCC(four));
    }
    return codes;
}

std::vector<uint32_t> AllWaveTags()
{
    const std::pair<uint32_t, uint32_t> ranges[] = {
        {0x0000, 0x0008}, {0x0010, 0x0019}, {0x0020, 0x0028}, {0x0030, 0x003D}, {0x0040, 0x0043},
        {0x0050, 0x0050}, {0x0052, 0x0053}, {0x0055, 0x0055}, {0x0059, 0x0059}, {0x0060, 0x0067},
        {0x0069, 0x0069}, {0x0070, 0x0079}, {0x0080, 0x0086}, {0x0088, 0x0089}, {0x0091, 0x0094},
        {0x0097, 0x0099}, {0x00A0, 0x00A0}, {0x00FF, 0x0101}, {0x0111, 0x0112}, {0x0123, 0x0123},
        {0x0125, 0x0125}, {0x0130, 0x0135}, {0x0140, 0x0140}, {0x0150, 0x0151}, {0x0155, 0x0155},
        {0x0160, 0x0161}, {0x0200, 0x0200}, {0x0202, 0x0203}, {0x0210, 0x0210}, {0x0220, 0x0220},
        {0x0230, 0x0230}, {0x0240, 0x0240}, {0x0250, 0x0251}, {0x0260, 0x0260}, {0x0270, 0x0270},
        {0x0300, 0x0300}, {0x0400, 0x0401}, {0x0450, 0x0450}, {0x0680, 0x0681}, {0x1000, 0x1004},
        {0x1100, 0x1104}, {0x1400, 0x1401}, {0x1500, 0x1500}, {0x181C, 0x181C}, {0x1FC4, 0x1FC4},
        {0x2000, 0x2000}, {0x674F, 0x6751}, {0x676F, 0x6771}, {0xFFFE, 0xFFFF},
    };
    std::vector<uint32_t> tags;
    for (auto [first, last] : ranges)
        for (uint32_t tag = first; tag <= last; ++tag)
            tags.push_back(tag);
    return tags;
}

}  // namespace

TEST(CodecNames, CompressionToStringNamesTheFourBitmapCodesAndCopiesOtherBytes)
{
    const std::pair<uint32_t, std::string> cases[] = {
        {0, "RGB"}, {1, "RLE8"}, {2, "RLE4"}, {3, "BITFIELDS"},
        {FourCC("XVID"), "XVID"},
        {4, std::string("\x04\0\0\0", 4)},
        {0x00424752, std::string("RGB\0", 4)},
        {0x034D37C2, std::string("\xC2\x37\x4D\x03", 4)},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(CompressionToString(code), text) << std::hex << code;
}

TEST(CodecNames, FourCCToDescriptionGivesTheFixedTexts)
{
    const std::pair<uint32_t, const char*> cases[] = {
        {0x00424752, "Full Frames (Uncompressed)"},
        {0x00424944, "Full Frames (Uncompressed)"},
        {0x00574152, "Full Frames (Uncompressed)"},
        {0x0F424752, "Uncompressed RGB15 5:5:5"},
        {0x10424752, "Uncompressed RGB16 5:6:5"},
        {0x18424752, "Uncompressed RGB24 8:8:8"},
        {0x0F524742, "Uncompressed RGB15 5:5:5"},
        {0x10524742, "Uncompressed RGB16 5:6:5"},
        {0x18524742, "Uncompressed RGB24 8:8:8"},
        {0x034D37C2, "Uncompressed BGR32 8:8:8:8"},
        {0x00003859, "Simple grayscale video"},
        {FourCC("VCR9"), "ATI VCR 9.0"},
        {FourCC("DIVX"), "OpenDivX (DivX 4.0 and later)"},
        {FourCC("DX50"), "DivX 5.0 codec"},
        {FourCC("XVID"), "XviD MPEG-4 codec"},
        {FourCC("MP43"), "Microsoft MPEG-4 V3"},
        {FourCC("WMV2"), "Windows Media Video V8"},
        {FourCC("MJPG"), "Motion JPEG including Huffman Tables"},
        {FourCC("YV12"), "ATI YVU12 4:2:0 Planar"},
        {FourCC("H264"), "Intel ITU H.264"},
        {FourCC("mp4v"), "MPEG-4 video (codec)"},
        {0, "Unknown (RGB)"},
        {3, "Unknown (BITFIELDS)"},
        {FourCC("ABCD"), "Unknown (ABCD)"},
        {FourCC("xvid"), "Unknown (xvid)"},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(FourCCToDescription(code), text) << CompressionToString(code);
}

TEST(CodecNames, EveryVideoCodeOfTheTableHasADescriptionAndSharedOnesAgree)
{
    const std::vector<uint32_t> codes = AllVideoCodes();
    ASSERT_EQ(codes.size(), 490u);
    std::map<std::string, int> uses;
    for (uint32_t code : codes) {
        const std::string text = FourCCToDescription(code);
        EXPECT_FALSE(text.starts_with("Unknown (")) << CompressionToString(code);
        ++uses[text];
    }
    EXPECT_EQ(uses["nVidia Texture Compression Format"], 12);
    EXPECT_EQ(uses["Matrox Motion-JPEG codec"], 9);
    EXPECT_EQ(uses["XiWave Video Codec"], 9);
}

TEST(CodecNames, WaveFormatTagToNameGivesTheFixedTexts)
{
    const std::pair<uint32_t, const char*> cases[] = {
        {0x0000, "Unknown Wave"},
        {0x0001, "PCM"},
        {0x0002, "ADPCM"},
        {0x0003, "IEEE Float"},
        {0x0055, "MPEG1 Layer-3"},
        {0x0092, "Sonic Foundry Dolby AC3 SPDIF"},
        {0x00FF, "MPEG-4 Advanced Audio Coding (AAC)"},
        {0x2000, "FAST Multimedia AG DVM (Dolby AC3)"},
        {0x674F, "Ogg Vorbis (mode 1)"},
        {0x6750, "Ogg Vorbis (mode 2)"},
        {0x6751, "Ogg Vorbis (mode 3)"},
        {0x676F, "Ogg Vorbis (mode 1+)"},
        {0x6770, "Ogg Vorbis (mode 2+)"},
        {0x6771, "Ogg Vorbis (mode 3+)"},
        {0xFFFE, "Extensible wave format"},
        {0xFFFF, "In Development / Unregistered"},
        {0x1102, "Lernout & Hauspie SBC codec"},
        {0x1104, "Lernout & Hauspie SBC codec"},
        {0x1234, "Unknown (4660)"},
        {0x10000, "Unknown (65536)"},
    };
    for (const auto& [tag, text] : cases)
        EXPECT_EQ(WaveFormatTagToName(tag), text) << std::hex << tag;
}

TEST(CodecNames, EveryWaveTagOfTheTableHasItsOwnNameButTheThreeSbcCodecs)
{
    const std::vector<uint32_t> tags = AllWaveTags();
    ASSERT_EQ(tags.size(), 147u);
    std::map<std::string, int> uses;
    for (uint32_t tag : tags) {
        const std::string name = WaveFormatTagToName(tag);
        EXPECT_FALSE(name.starts_with("Unknown (")) << std::hex << tag;
        ++uses[name];
    }
    EXPECT_EQ(uses.size(), 145u);
    EXPECT_EQ(uses["Lernout & Hauspie SBC codec"], 3);
}
