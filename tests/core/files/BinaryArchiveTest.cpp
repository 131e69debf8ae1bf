#include "core/files/BinaryArchive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sonivera {

using Bytes = std::vector<std::uint8_t>;

TEST(BinaryArchive, ValuesAreLittleEndian) {
    ArchiveWriter w;
    w.WriteInt32(-2);
    w.WriteDouble(1.0);
    w.WriteUInt16(0x1234);
    EXPECT_EQ(w.Bytes(), (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0x34, 0x12}));
    ArchiveReader r(w.Bytes());
    EXPECT_EQ(r.ReadInt32(), -2);
    EXPECT_EQ(r.ReadDouble(), 1.0);
    EXPECT_EQ(r.ReadUInt16(), 0x1234);
    EXPECT_EQ(r.Remaining(), 0u);
    EXPECT_THROW(r.ReadByte(), ArchiveFormatError);
}

TEST(BinaryArchive, StringsRoundTripInEveryLengthForm) {
    for (std::size_t n : {0u, 5u, 254u, 255u, 65533u, 65534u, 70000u}) {
        ArchiveWriter w;
        const std::string s(n, 'a');
        w.WriteString(s);
        const std::size_t prefix = n < 255 ? 1 : (n < 0xFFFE ? 3 : 7);
        EXPECT_EQ(w.Bytes().size(), prefix + n) << n;
        ArchiveReader r(w.Bytes());
        EXPECT_EQ(r.ReadString(), s) << n;
    }
}

TEST(BinaryArchive, ReadsLongAndWideForms) {
    // 255 + 16-bit length, and 255 + 0xFFFF + 32-bit length.
    Bytes longForm{0xFF, 5, 0, 'S', 'C', 'E', 'N', 'E'};
    EXPECT_EQ(ArchiveReader(longForm).ReadString(), "SCENE");
    Bytes longerForm{0xFF, 0xFF, 0xFF, 5, 0, 0, 0, 'S', 'C', 'E', 'N', 'E'};
    EXPECT_EQ(ArchiveReader(longerForm).ReadString(), "SCENE");
    // Wide: 255, 0xFFFE, then a length byte counting UTF-16LE units.
    Bytes wide{0xFF, 0xFE, 0xFF, 5, 'S', 0, 'C', 0, 'E', 0, 'N', 0, 'E', 0};
    EXPECT_EQ(ArchiveReader(wide).ReadString(), "SCENE");
    // Wide with the 16-bit length form.
    Bytes wideLong{0xFF, 0xFE, 0xFF, 0xFF, 2, 0, 'A', 0, 0x16, 0x04};
    EXPECT_EQ(ArchiveReader(wideLong).ReadString(), "A?");
}

TEST(BinaryArchive, TruncatedStringsAreFormatErrors) {
    const Bytes cases[] = {
        {},
        {5, 'S', 'C'},
        {0xFF, 5},
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},      // 4 GiB claimed
        {0xFF, 0xFE, 0xFF, 3, 'S', 0, 'C'},              // wide, odd bytes
        {0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 1, 'S', 0}, // wide marker twice
    };
    for (const auto& bytes : cases) {
        ArchiveReader r(bytes);
        EXPECT_THROW(r.ReadString(), ArchiveFormatError);
    }
}

} // namespace sonivera
