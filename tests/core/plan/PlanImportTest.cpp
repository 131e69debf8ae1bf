// The DXF import against plans written by an independent DXF writer (Debian's python3-ezdxf, run
// by tests/data/dxf/make_plans.py in the suite's set-up): every plan in R12, R2000, R2010 and
// R2018, ASCII and binary, must give exactly the rectangles worked out by hand here, and pass the
// scene check; damaged and hostile drawings are refused with their reason.
#include "core/plan/PlanImport.h"
#include "core/calc/SceneCheck.h"
#include "core/files/InputFile.h"
#include "core/model/RectObject.h"
#include "core/plan/DxfError.h"
#include "core/plan/RectUnion.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace sonivera {

namespace {

struct Box {
    double x0, y0, x1, y1;
};

class PlanImport : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new TempDir();
        const std::string command = "/usr/bin/python3 " SONIVERA_TEST_DATA_DIR
                                    "/dxf/make_plans.py " +
                                    folder->Path().string();
        made = std::system(command.c_str()) == 0;
    }
    static void TearDownTestSuite() {
        delete folder;
        folder = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(made) << "tests/data/dxf/make_plans.py failed (python3-ezdxf installed?)";
    }

    static PlanImportResult Import(const std::string& name, PlanImportOptions options = {}) {
        return ImportPlan(ReadWholeFile(folder->File(name)), options);
    }

    // The scene's rectangles in the drawing's axes (y up), placed so that their lower-left
    // corner is that of `expected`, sorted.
    static std::vector<Box> InDrawing(const SceneSettings& scene,
                                      const std::vector<Box>& expected) {
        double minX = 1e300, maxY = -1e300, eMinX = 1e300, eMinY = 1e300;
        for (const auto& o : scene.objects) {
            if (const auto* r = dynamic_cast<const CRectObject*>(o.get())) {
                minX = std::min(minX, r->m_x);
                maxY = std::max(maxY, r->m_y + r->m_height);
            }
        }
        for (const Box& b : expected) {
            eMinX = std::min(eMinX, b.x0);
            eMinY = std::min(eMinY, b.y0);
        }
        std::vector<Box> out;
        for (const auto& o : scene.objects) {
            if (const auto* r = dynamic_cast<const CRectObject*>(o.get())) {
                out.push_back({eMinX + r->m_x - minX, eMinY + maxY - (r->m_y + r->m_height),
                               eMinX + r->m_x + r->m_width - minX, eMinY + maxY - r->m_y});
            }
        }
        return Sorted(out);
    }
    static std::vector<Box> Sorted(std::vector<Box> boxes) {
        std::sort(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            return std::tie(a.y0, a.x0) < std::tie(b.y0, b.x0);
        });
        return boxes;
    }
    static void ExpectBoxes(const SceneSettings& scene, std::vector<Box> expected) {
        expected = Sorted(expected);
        const std::vector<Box> got = InDrawing(scene, expected);
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            // Scene coordinates lie on a grid of 2^-20 m.
            EXPECT_NEAR(got[i].x0, expected[i].x0, 2e-6) << "rectangle " << i;
            EXPECT_NEAR(got[i].y0, expected[i].y0, 2e-6) << "rectangle " << i;
            EXPECT_NEAR(got[i].x1, expected[i].x1, 2e-6) << "rectangle " << i;
            EXPECT_NEAR(got[i].y1, expected[i].y1, 2e-6) << "rectangle " << i;
        }
    }

    static TempDir* folder;
    static bool made;
};

TempDir* PlanImport::folder = nullptr;
bool PlanImport::made = false;

const std::vector<std::string> kVersions = {"R12", "R2000", "R2010", "R2018"};

// Each plan in every version and both encodings; the check passes on every one.
void ForEveryFile(const std::string& plan,
                  const std::function<void(const std::string&, const std::string&)>& test) {
    for (const std::string& version : kVersions) {
        for (const char* format : {"ascii", "binary"}) {
            SCOPED_TRACE(plan + " " + version + " " + format);
            test(plan + "-" + version + "-" + format + ".dxf", version);
        }
    }
}

} // namespace

TEST_F(PlanImport, PlansOfWallFacesCentreLinesAndColumnsGiveExactlyTheirRectangles) {
    const std::vector<std::pair<std::string, std::vector<Box>>> plans = {
        // Two closed outlines 0.2 m apart: the four walls between them.
        {"rectangular-room",
         {{0, 0, 10, 0.2}, {0, 0.2, 0.2, 7.8}, {9.8, 0.2, 10, 7.8}, {0, 7.8, 10, 8}}},
        // Centre lines: 0.2 m walls about them, corners closed, the union cut into slabs.
        {"l-shaped-room",
         {{-0.1, -0.1, 10.1, 0.1},
          {-0.1, 0.1, 0.1, 7.9},
          {9.9, 0.1, 10.1, 3.9},
          {4.9, 3.9, 10.1, 4.1},
          {4.9, 4.1, 5.1, 7.9},
          {-0.1, 7.9, 5.1, 8.1}}},
        // 0.3 m walls and four 0.4 m columns from small closed outlines.
        {"room-with-columns",
         {{0, 0, 20, 0.3},
          {0, 0.3, 0.3, 11.7},
          {19.7, 0.3, 20, 11.7},
          {0, 11.7, 20, 12},
          {4.8, 3.8, 5.2, 4.2},
          {14.8, 3.8, 15.2, 4.2},
          {4.8, 7.8, 5.2, 8.2},
          {14.8, 7.8, 15.2, 8.2}}},
        // The shared wall stops at the door (y 2..3); the jamb lines are part of it.
        {"two-rooms-door",
         {{0, 0, 12, 0.2},
          {0, 0.2, 0.2, 5.8},
          {11.8, 0.2, 12, 5.8},
          {5.9, 0.2, 6.1, 2},
          {5.9, 3, 6.1, 5.8},
          {0, 5.8, 12, 6}}},
    };
    for (const auto& [plan, boxes] : plans) {
        ForEveryFile(plan, [&](const std::string& file, const std::string&) {
            const PlanImportResult result = Import(file);
            EXPECT_FALSE(FindFirstSceneError(result.scene->objects).has_value());
            ExpectBoxes(*result.scene, boxes);
        });
    }
    // What was left is said: the hall's name, the door's swing.
    const PlanImportResult columns = Import("room-with-columns-R2010-ascii.dxf");
    ASSERT_EQ(columns.report.left.size(), 1u);
    EXPECT_EQ(columns.report.left[0].what, "TEXT");
    EXPECT_EQ(columns.report.left[0].layer, "TEXT");
    const PlanImportResult door = Import("two-rooms-door-R2018-binary.dxf");
    ASSERT_EQ(door.report.left.size(), 1u);
    EXPECT_EQ(door.report.left[0].what, "arc");
    EXPECT_EQ(door.report.left[0].layer, "DOORS");
}

TEST_F(PlanImport, MillimetresAndNestedTurnedAndScaledBlocksBecomeColumns) {
    const std::vector<Box> boxes = {
        {0, 0, 8, 0.2},       {0, 0.2, 0.2, 5.8},   {7.8, 0.2, 8, 5.8},
        {0, 5.8, 8, 6},       {1.8, 1.8, 2.2, 2.2}, {5.8, 1.8, 6.2, 2.2}, // plain, turned by 90°
        {3.7, 2.7, 4.3, 3.3},                                             // scaled 1.5
        {2.8, 4.3, 3.2, 4.7}, {4.8, 4.3, 5.2, 4.7}}; // through the nested block
    ForEveryFile("mm-blocks", [&](const std::string& file, const std::string& version) {
        // R12 has no $INSUNITS: its unit is given, as a user would.
        PlanImportOptions options;
        if (version == "R12") {
            options.metresPerUnit = MetresPerUnitNamed("mm");
        }
        const PlanImportResult result = Import(file, options);
        EXPECT_FALSE(FindFirstSceneError(result.scene->objects).has_value());
        ExpectBoxes(*result.scene, boxes);
        EXPECT_EQ(result.report.metresPerUnit, 0.001);
        EXPECT_EQ(result.report.LeftCount(), 0u);
    });
}

TEST_F(PlanImport, SlantedWallsAndArcsAreReportedOrBecomeAStaircaseWithinItsStep) {
    ForEveryFile("slanted-arc", [&](const std::string& file, const std::string&) {
        const PlanImportResult plain = Import(file);
        std::vector<std::string> left;
        for (const auto& c : plain.report.left) {
            left.push_back(c.what + " " + std::to_string(c.count));
        }
        EXPECT_EQ(left, (std::vector<std::string>{"arc 1", "slanted line 1"}));
        PlanImportOptions options;
        options.staircase = 0.05;
        const PlanImportResult stairs = Import(file, options);
        EXPECT_EQ(stairs.report.LeftCount(), 0u);
        EXPECT_FALSE(FindFirstSceneError(stairs.scene->objects).has_value());
        EXPECT_GT(stairs.report.roomArea, 0.0); // the room is closed now
        // Every point of the slanted wall's centre line (10,0)-(12,8) is covered, and no
        // rectangle strays from the walls' lines by more than the step and half a thickness.
        const std::vector<Box> all = InDrawing(*stairs.scene, {{-0.1, -0.1, 0, 0}});
        const auto covered = [&](double x, double y) {
            return std::any_of(all.begin(), all.end(), [&](const Box& b) {
                return b.x0 <= x && x <= b.x1 && b.y0 <= y && y <= b.y1;
            });
        };
        for (int k = 0; k <= 200; ++k) {
            const double t = k / 200.0;
            EXPECT_TRUE(covered(10 + 2 * t, 8 * t)) << "t = " << t;
        }
        const auto distance = [](double px, double py) {
            const auto segment = [&](double ax, double ay, double bx, double by) {
                const double dx = bx - ax, dy = by - ay;
                const double t =
                    std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
                return std::hypot(px - ax - t * dx, py - ay - t * dy);
            };
            const double arc = std::fabs(std::hypot(px - 5, py - 8) - 2);
            return std::min({segment(0, 0, 10, 0), segment(10, 0, 12, 8), segment(12, 8, 0, 8),
                             segment(0, 8, 0, 0), py >= 8 ? arc : 1e9});
        };
        for (const Box& b : all) {
            for (const auto& [x, y] :
                 {std::pair{b.x0, b.y0}, {b.x1, b.y0}, {b.x0, b.y1}, {b.x1, b.y1}}) {
                EXPECT_LE(distance(x, y), 0.05 + 0.1 * std::sqrt(2.0) + 1e-6) << x << "," << y;
            }
        }
    });
}

TEST_F(PlanImport, DamagedAndHostileDrawingsAreRefusedWithTheirReason) {
    const auto refusal = [&](const std::string& name) -> std::string {
        try {
            Import(name);
        } catch (const DxfError& e) {
            return e.what();
        }
        return "accepted";
    };
    EXPECT_NE(refusal("self-insert.dxf").find("inserts itself"), std::string::npos);
    EXPECT_NE(refusal("huge.dxf").find("more than a scene may"), std::string::npos);
    EXPECT_NE(refusal("truncated.dxf").find("cut short"), std::string::npos);
    const std::vector<std::uint8_t> scene = ReadWholeFile(SONIVERA_TEST_DATA_DIR "/room.3d");
    try {
        ImportPlan(scene, {});
        ADD_FAILURE() << "a scene file taken as a drawing";
    } catch (const DxfError& e) {
        EXPECT_NE(std::string(e.what()).find("not a DXF drawing"), std::string::npos);
    }
    // A binary drawing cut anywhere is refused, never read past its end.
    const std::vector<std::uint8_t> whole =
        ReadWholeFile(folder->File("two-rooms-door-R2018-binary.dxf"));
    for (std::size_t cut = 30; cut < whole.size(); cut += whole.size() / 37) {
        EXPECT_THROW(ImportPlan(std::span(whole.data(), cut), {}), DxfError) << cut;
    }
}

TEST(PlanImportScale, InsertionsScaledPastADoublesRangeAreLeftOutNotUndefined) {
    // Block B holds a slanted line and an arc; A inserts B scaled 1e300; the plan inserts A
    // scaled 1e300 and a plain wall, so the points of B are no finite numbers.
    const std::string dxf =
        "0\nSECTION\n2\nBLOCKS\n"
        "0\nBLOCK\n2\nB\n10\n0\n20\n0\n0\nLINE\n8\nW\n10\n0\n20\n0\n11\n1\n21\n2\n"
        "0\nARC\n8\nW\n10\n0\n20\n0\n40\n1\n50\n0\n51\n90\n0\nENDBLK\n"
        "0\nBLOCK\n2\nA\n10\n0\n20\n0\n0\nINSERT\n2\nB\n10\n0\n20\n0\n41\n1e300\n42\n1e300\n"
        "0\nENDBLK\n0\nENDSEC\n"
        "0\nSECTION\n2\nENTITIES\n0\nINSERT\n2\nA\n10\n0\n20\n0\n41\n1e300\n42\n1e300\n"
        "0\nLINE\n8\nW\n10\n0\n20\n0\n11\n10\n21\n0\n0\nENDSEC\n0\nEOF\n";
    const std::vector<std::uint8_t> bytes(dxf.begin(), dxf.end());
    for (const bool stairs : {false, true}) {
        PlanImportOptions options;
        if (stairs) {
            options.staircase = 0.1;
        }
        const PlanImportResult result = ImportPlan(bytes, options);
        EXPECT_GE(result.report.LeftCount(), 2u);
        EXPECT_FALSE(FindFirstSceneError(result.scene->objects).has_value());
    }
}

TEST(RectUnion, OverlapsBecomeDisjointPiecesAndTheLowerMaterialWins) {
    // Two crossing walls and a column inside one of them, of another material.
    const std::vector<PlanRect> pieces =
        UnionOfRects({{0, 0, 10, 1, 1}, {4, -3, 5, 4, 1}, {6, 0.25, 7, 0.75, 0}});
    double area = 0, column = 0;
    for (const PlanRect& a : pieces) {
        area += (a.x1 - a.x0) * (a.y1 - a.y0);
        if (a.material == 0) {
            column += (a.x1 - a.x0) * (a.y1 - a.y0);
        }
        for (const PlanRect& b : pieces) {
            const bool overlap = a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
            EXPECT_TRUE(&a == &b || !overlap);
        }
    }
    EXPECT_DOUBLE_EQ(area, 10 + 7 - 1); // the crossing counted once
    EXPECT_DOUBLE_EQ(column, 0.5);
}

} // namespace sonivera
