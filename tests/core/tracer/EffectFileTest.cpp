#include "core/tracer/EffectFile.h"
#include "core/files/InputFile.h"
#include "core/files/FileError.h"
#include "core/model/SceneSettings.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <fstream>

namespace sonivera {

using Bytes = std::vector<std::uint8_t>;

namespace {

const Bytes kTag = {0x06, 0x45, 0x46, 0x46, 0x45, 0x43, 0x54};

double DoubleAt(const Bytes& b, std::size_t at) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) {
        bits = (bits << 8) | b[at + static_cast<std::size_t>(i)];
    }
    return std::bit_cast<double>(bits);
}

std::int32_t Int32At(const Bytes& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    }
    return static_cast<std::int32_t>(v);
}

void SetEffect(SceneSettings& scene, std::vector<double> bins) {
    scene.effect = std::make_unique<double[]>(bins.size());
    std::copy(bins.begin(), bins.end(), scene.effect.get());
    scene.effectCount = static_cast<std::int32_t>(bins.size());
}

} // namespace

TEST(EffectFile, OneBinGivesTwentySevenBytes) {
    const double bin[] = {0.25};
    const Bytes bytes = EffectToBytes(bin, 1000.0);
    const Bytes expected = {0x06, 0x45, 0x46, 0x46, 0x45, 0x43, 0x54,        // tag
                            0x01, 0x00, 0x00, 0x00,                          // count
                            0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x8F, 0x40,  // 1000.0
                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD0, 0x3F}; // 0.25
    EXPECT_EQ(bytes, expected);
}

TEST(EffectFile, LayoutOfTheDefaultBinCount) {
    auto scene = MakeDefaultScene();
    std::vector<double> bins(100, 0.0);
    bins[3] = 1.0;
    bins[99] = -0.0;
    bins[50] = 5e-324; // amplitudes are written exactly, subnormals and signs included
    SetEffect(*scene, bins);
    // The stop time written is the one the bins were computed with, not the scene's setting,
    // which may have been edited since.
    scene->effectParams.stopTime = 1234.5;
    scene->params.stopTime = 500.0;
    const Bytes bytes = SaveEffectToBytes(*scene);
    ASSERT_EQ(bytes.size(), 819u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 7), kTag);
    EXPECT_EQ(Int32At(bytes, 7), 100);
    EXPECT_EQ(DoubleAt(bytes, 11), 1234.5);
    for (std::size_t i = 0; i < 100; ++i) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(DoubleAt(bytes, 19 + 8 * i)),
                  std::bit_cast<std::uint64_t>(bins[i]))
            << i;
    }
}

TEST(EffectFile, EmptyEffectIsJustTheHeader) {
    auto scene = MakeDefaultScene();
    SetEffect(*scene, {});
    const Bytes bytes = SaveEffectToBytes(*scene);
    ASSERT_EQ(bytes.size(), kEffectHeaderSize);
    EXPECT_EQ(Int32At(bytes, 7), 0);
}

TEST(EffectFile, NoCalculatedEffectWritesNothing) {
    TempDir dir;
    const auto scene = MakeDefaultScene();
    EXPECT_THROW(SaveEffectToBytes(*scene), NoEffectError);
    EXPECT_THROW(WriteEffectFile(dir.File("out.e3d"), *scene), NoEffectError);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.e3d")));
}

TEST(EffectFile, WritingReplacesAnExistingFileCompletely) {
    TempDir dir;
    const std::string path = dir.File("out.e3d");
    auto scene = MakeDefaultScene();
    SetEffect(*scene, std::vector<double>(300, 0.5));
    WriteEffectFile(path, *scene);
    EXPECT_EQ(std::filesystem::file_size(path), 19u + 8u * 300u);
    SetEffect(*scene, {1.0});
    WriteEffectFile(path, *scene);
    EXPECT_EQ(ReadWholeFile(path), SaveEffectToBytes(*scene));
    // Only the target remains in the folder: the temporary file was renamed into place.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(EffectFile, FailedWriteNamesThePathAndKeepsThePreviousFile) {
    TempDir dir;
    auto scene = MakeDefaultScene();
    SetEffect(*scene, {1.0});
    const std::string missing = dir.File("no-such-folder/out.e3d");
    try {
        WriteEffectFile(missing, *scene);
        FAIL() << "the write should fail";
    } catch (const FileError& e) {
        EXPECT_EQ(e.GetKind(), FileError::Kind::WriteFailed);
        EXPECT_EQ(e.Path(), missing);
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("No such file or directory"), std::string::npos);
    }
}

} // namespace sonivera
