#include "core/model/SceneFile.h"
#include "core/files/InputFile.h"
#include "core/model/Listener.h"
#include "core/model/RectObject.h"
#include "core/model/SceneFileError.h"
#include "core/model/SoundSource.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>

namespace sonivera {

using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Slice(const Bytes& b, std::size_t at, std::size_t n) {
    return Bytes(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + n));
}

void PutDouble(Bytes& b, std::size_t at, double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) {
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

void PutInt32(Bytes& b, std::size_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
    }
}

void ExpectBadFormat(const Bytes& bytes, const char* why) {
    try {
        LoadSceneFromBytes(bytes, "x.3d");
        ADD_FAILURE() << "accepted: " << why;
    } catch (const SceneFileError& e) {
        EXPECT_EQ(e.GetKind(), SceneFileError::Kind::BadFormat) << why;
        EXPECT_STREQ(e.what(), "Unexpected file format.") << why;
        EXPECT_EQ(e.Path(), "x.3d");
    }
}

std::unique_ptr<SceneSettings> ThreeObjectScene() {
    auto scene = MakeDefaultScene();
    auto* source = scene->Add<CSoundSource>();
    source->m_x = 60.0;
    source->m_y = 50.0;
    source->m_power = 0.75;
    auto* rect = scene->Add<CRectObject>();
    rect->m_x = 10.0;
    rect->m_y = 20.0;
    rect->m_width = 5.0;
    rect->m_height = 7.0;
    rect->m_absorption = 0.5;
    rect->m_reflection = 0.25;
    return scene;
}

} // namespace

TEST(SceneFile, DefaultSceneIs118KnownBytes) {
    const Bytes b = SaveSceneToBytes(*MakeDefaultScene());
    ASSERT_EQ(b.size(), 118u);
    EXPECT_EQ(Slice(b, 0, 6), (Bytes{0x05, 0x53, 0x43, 0x45, 0x4E, 0x45}));
    const Bytes d100{0, 0, 0, 0, 0, 0, 0x59, 0x40};
    const Bytes d1{0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
    EXPECT_EQ(Slice(b, 6, 8), d100);
    EXPECT_EQ(Slice(b, 14, 8), d100);
    EXPECT_EQ(Slice(b, 22, 8), d1);
    EXPECT_EQ(Slice(b, 30, 8), d1);
    EXPECT_EQ(b[38], 1);
    EXPECT_EQ(Slice(b, 39, 7), Bytes(7, 0));
    EXPECT_EQ(Slice(b, 46, 8), (Bytes{0x33, 0x74, 0xAC, 0x3C, 0x1F, 0x7B, 0xEC, 0x7F}));
    EXPECT_EQ(Slice(b, 54, 8), (Bytes{0xFC, 0xA9, 0xF1, 0xD2, 0x4D, 0x62, 0x50, 0x3F}));
    EXPECT_EQ(Slice(b, 70, 4), (Bytes{0, 0, 1, 0}));
    EXPECT_EQ(Slice(b, 74, 4), (Bytes{100, 0, 0, 0}));
    EXPECT_EQ(Slice(b, 86, 8), (Bytes{0, 0, 0, 0, 0, 0x40, 0x8F, 0x40}));
    EXPECT_EQ(Slice(b, 94, 4), (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(Slice(b, 98, 4), (Bytes{1, 0, 0, 0}));
    const Bytes d50{0, 0, 0, 0, 0, 0, 0x49, 0x40};
    EXPECT_EQ(Slice(b, 102, 8), d50);
    EXPECT_EQ(Slice(b, 110, 8), d50);
}

TEST(SceneFile, ThreeObjectsGiveRecordsOf20_28_52Bytes) {
    const auto scene = ThreeObjectScene();
    const Bytes b = SaveSceneToBytes(*scene);
    ASSERT_EQ(b.size(), 198u);
    EXPECT_EQ(Slice(b, 94, 4), (Bytes{3, 0, 0, 0}));
    EXPECT_EQ(Slice(b, 118, 4), (Bytes{3, 0, 0, 0}));
    EXPECT_EQ(Slice(b, 146, 4), (Bytes{2, 0, 0, 0}));
    Bytes power(8);
    PutDouble(power, 0, 0.75);
    EXPECT_EQ(Slice(b, 138, 8), power);

    const auto back = LoadSceneFromBytes(b);
    ASSERT_EQ(back->objects.size(), 3u);
    auto it = back->objects.begin();
    EXPECT_EQ((*it)->GetKind(), 1);
    const auto& source = dynamic_cast<const CSoundSource&>(**++it);
    EXPECT_EQ(source.m_power, 0.75);
    const auto& rect = dynamic_cast<const CRectObject&>(**++it);
    EXPECT_EQ(rect.m_height, 7.0);
    EXPECT_EQ(rect.m_reflection, 0.25);
    EXPECT_EQ(rect.m_pSettings, back.get());
    EXPECT_FALSE(rect.m_bSelected);
    EXPECT_EQ(back->effect, nullptr);
}

TEST(SceneFile, RandomScenesRoundTripExactly) {
    std::mt19937_64 rng(20261207);
    std::uniform_real_distribution<double> pos(-10.0, 1000.0);
    std::uniform_int_distribution<int> kind(2, 3);
    for (int round = 0; round < 200; ++round) {
        auto scene = MakeDefaultScene();
        scene->width = 5.0 + std::uniform_real_distribution<double>(0, 995)(rng);
        scene->height = 1000.0;
        scene->gridX = 0.5 + round;
        scene->snapToGrid = round % 2 == 0;
        scene->params.noTransmission = round % 3 == 0;
        scene->params.noReflection = round % 5 == 0;
        scene->params.normalize = round % 7 != 0;
        scene->params.rayCount = 10 + round;
        scene->params.passAbsorptionLimit = pos(rng);
        scene->params.mediumAbsorption = round % 4 == 0 ? 1.7e308 : pos(rng);
        scene->objects.front()->m_x = pos(rng);
        const int count = round % 9;
        for (int i = 0; i < count; ++i) {
            if (kind(rng) == 2) {
                auto* r = scene->Add<CRectObject>();
                r->m_x = pos(rng);
                r->m_y = pos(rng);
                r->m_width = pos(rng);
                r->m_absorption = i % 2 ? 1.7e308 : pos(rng);
                r->m_reflection = 1.0 / (1 + i);
            } else {
                auto* s = scene->Add<CSoundSource>();
                s->m_x = pos(rng);
                s->m_y = pos(rng);
                s->m_power = 1.0 / (1 + i);
            }
        }
        const Bytes b = SaveSceneToBytes(*scene);
        const auto back = LoadSceneFromBytes(b);
        EXPECT_EQ(SaveSceneToBytes(*back), b) << round;
        EXPECT_EQ(back->objects.size(), scene->objects.size());
    }
}

TEST(SceneFile, LongTagFormsAndFillerAndTrailingBytesAreAccepted) {
    Bytes b = SaveSceneToBytes(*ThreeObjectScene());
    for (std::size_t i = 39; i < 46; ++i) {
        b[i] = 0xAB;
    }
    b[73] = 0xCD;
    b[38] = 7; // any non-zero byte is true
    b.push_back(0x99);
    auto scene = LoadSceneFromBytes(b);
    EXPECT_TRUE(scene->snapToGrid);

    Bytes wide{0xFF, 0xFE, 0xFF, 5, 'S', 0, 'C', 0, 'E', 0, 'N', 0, 'E', 0};
    wide.insert(wide.end(), b.begin() + 6, b.end());
    EXPECT_EQ(LoadSceneFromBytes(wide)->objects.size(), 3u);
}

TEST(SceneFile, MalformedFilesAreRefused) {
    const Bytes good = SaveSceneToBytes(*ThreeObjectScene());
    Bytes b = good;
    b[1] = 's';
    ExpectBadFormat(b, "lower-case tag letter");
    Bytes lower = good;
    std::memcpy(lower.data() + 1, "scene", 5);
    ExpectBadFormat(lower, "lower-case tag");
    ExpectBadFormat(Bytes{}, "empty file");
    for (std::size_t n = 1; n < good.size(); ++n) {
        ExpectBadFormat(Slice(good, 0, n), "truncated");
    }
    b = good;
    PutInt32(b, 94, -1);
    ExpectBadFormat(b, "negative count");
    PutInt32(b, 94, 0);
    ExpectBadFormat(b, "no objects");
    PutInt32(b, 94, std::numeric_limits<std::int32_t>::max());
    ExpectBadFormat(b, "huge count");
    PutInt32(b, 94, 6); // 100 bytes cannot hold 6 records
    ExpectBadFormat(b, "count beyond the data");
    for (std::int32_t kind : {0, 4, -1}) {
        b = good;
        PutInt32(b, 118, kind);
        ExpectBadFormat(b, "unknown kind");
    }
    b = good;
    PutInt32(b, 98, 3);
    ExpectBadFormat(b, "source first");
}

TEST(SceneFile, UnsafeValuesAreRefused) {
    const Bytes good = SaveSceneToBytes(*ThreeObjectScene());
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        std::size_t at;
        double value;
    };
    const Case refused[] = {
        {6, 0.0},   {6, -1.0},   {6, 100000.5}, {6, nan},   {14, inf},  {14, 0.0},
        {22, 0.0},  {22, -1.0},  {30, nan},     {30, inf},  {46, nan},  {54, inf},
        {62, -inf}, {78, nan},   {86, inf},     {102, nan}, {110, inf}, {122, nan},
        {138, inf}, {150, -inf}, {166, nan},    {174, nan}, {182, inf}, {190, nan},
    };
    for (const auto& c : refused) {
        Bytes b = good;
        PutDouble(b, c.at, c.value);
        ExpectBadFormat(b, ("offset " + std::to_string(c.at)).c_str());
    }
    const Case accepted[] = {{6, 100000.0},  {22, 1e-9},    {46, 1.7e308},
                             {182, 1.6e308}, {78, 1.7e308}, {150, -5.0}};
    for (const auto& c : accepted) {
        Bytes b = good;
        PutDouble(b, c.at, c.value);
        EXPECT_NO_THROW(LoadSceneFromBytes(b)) << c.at;
    }
}

TEST(SceneFile, EveryByteMutatedReadsWithoutCrashing) {
    const Bytes good = SaveSceneToBytes(*ThreeObjectScene());
    int accepted = 0;
    for (std::size_t i = 0; i < good.size(); ++i) {
        for (int v : {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF}) {
            Bytes b = good;
            b[i] = static_cast<std::uint8_t>(v);
            try {
                const auto scene = LoadSceneFromBytes(b);
                ASSERT_FALSE(scene->objects.empty());
                EXPECT_EQ(scene->objects.front()->GetKind(), 1);
                ++accepted;
            } catch (const SceneFileError& e) {
                EXPECT_EQ(e.GetKind(), SceneFileError::Kind::BadFormat);
            }
        }
    }
    EXPECT_GT(accepted, 0);
}

TEST(SceneFileOnDisk, WriteAndReadBack) {
    TempDir dir;
    const auto path = dir.File("room.3d");
    WriteSceneFile(path, *ThreeObjectScene());
    EXPECT_EQ(std::filesystem::file_size(path), 198u);
    EXPECT_EQ(ReadSceneFile(path)->objects.size(), 3u);
    // Overwriting replaces the file and leaves no temporary file behind.
    WriteSceneFile(path, *MakeDefaultScene());
    EXPECT_EQ(std::filesystem::file_size(path), 118u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(SceneFileOnDisk, FailuresNameThePathAndKeepTheOldFile) {
    TempDir dir;
    const auto missing = dir.File("missing.3d");
    try {
        ReadSceneFile(missing);
        ADD_FAILURE();
    } catch (const SceneFileError& e) {
        EXPECT_EQ(e.GetKind(), SceneFileError::Kind::CannotOpen);
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos);
    }
    EXPECT_THROW(ReadSceneFile(dir.Path().string()), SceneFileError);

    const auto nowhere = dir.File("no/such/folder/x.3d");
    try {
        WriteSceneFile(nowhere, *MakeDefaultScene());
        ADD_FAILURE();
    } catch (const SceneFileError& e) {
        EXPECT_EQ(e.GetKind(), SceneFileError::Kind::WriteFailed);
        EXPECT_NE(std::string(e.what()).find(nowhere), std::string::npos);
    }

    // A target that cannot be replaced (a folder) stays as it was; no temporary file is left.
    const auto folder = dir.File("taken.3d");
    std::filesystem::create_directory(folder);
    std::ofstream(folder + "/inside") << "keep";
    EXPECT_THROW(WriteSceneFile(folder, *MakeDefaultScene()), SceneFileError);
    EXPECT_TRUE(std::filesystem::exists(folder + "/inside"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

} // namespace sonivera
