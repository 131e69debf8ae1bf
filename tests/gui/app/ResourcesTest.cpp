#include "gui/app/AppIcon.h"
#include "gui/app/CommandIds.h"
#include "gui/app/CommandTable.h"
#include "gui/app/Strings.h"
#include "gui/app/ToolbarImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace sonivera {

TEST(Resources, EveryToolbarButtonHasAWellFormedPicture) {
    for (const auto* layout : {&MainToolbarLayout(), &SceneToolbarLayout()}) {
        for (int id : *layout) {
            if (id == kSeparator) {
                continue;
            }
            const auto& rows = ToolbarPicture(id);
            ASSERT_EQ(rows.size(), static_cast<size_t>(kToolImageHeight)) << id;
            bool painted = false;
            for (const char* row : rows) {
                ASSERT_EQ(std::strlen(row), static_cast<size_t>(kToolImageWidth)) << id;
                for (const char* p = row; *p; ++p) {
                    EXPECT_TRUE(IsToolbarPaletteKey(*p)) << id << " '" << *p << "'";
                    painted = painted || *p != '.';
                }
            }
            EXPECT_TRUE(painted) << id;
        }
    }
}

TEST(Resources, EveryCommandOnAMenuOrToolbarHasItsTexts) {
    std::set<int> ids(AllCommandIds().begin(), AllCommandIds().end());
    for (int id : ids) {
        const auto texts = text::TextsOf(id);
        EXPECT_FALSE(texts.label.empty() && id != ID_FILE_PRINT) << id;
    }
    EXPECT_EQ(AllCommandIds().size(), ids.size());
    // 31 commands on menus and toolbars plus the three further recent-file entries.
    EXPECT_EQ(ids.size(), 34u);
}

TEST(Resources, IconIsABlueCurveOverAGreyGridInABlackFrame) {
    for (int size : {16, 32}) {
        const auto pixels = RenderAppIcon(size);
        ASSERT_EQ(pixels.size(), static_cast<size_t>(size * size));
        auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y * size + x)]; };
        for (int i = 0; i < size; ++i) {
            EXPECT_EQ(at(i, 0), 0xFF000000u);
            EXPECT_EQ(at(0, i), 0xFF000000u);
            EXPECT_EQ(at(i, size - 1), 0xFF000000u);
            EXPECT_EQ(at(size - 1, i), 0xFF000000u);
        }
        int blue = 0;
        int grey = 0;
        for (auto p : pixels) {
            blue += p == 0xFF000080u;
            grey += p == 0xFFA0A0A0u;
        }
        EXPECT_GT(blue, size) << size;
        EXPECT_GT(grey, size) << size;
        // The curve is higher in the middle than at the sides (a bell).
        auto topBlue = [&](int x) {
            for (int y = 0; y < size; ++y) {
                if (at(x, y) == 0xFF000080u) {
                    return y;
                }
            }
            return size;
        };
        EXPECT_LT(topBlue(size / 2), topBlue(3));
        EXPECT_LT(topBlue(size / 2), topBlue(size - 4));
    }
}

} // namespace sonivera
