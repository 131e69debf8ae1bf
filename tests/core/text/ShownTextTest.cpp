#include "core/text/ShownText.h"

#include <gtest/gtest.h>

namespace sonivera {

TEST(ShownText, LongNamesKeepTheirEndsAndEverythingShownIsEscaped) {
    EXPECT_EQ(ShownName("rect.m_x"), "rect.m_x");
    EXPECT_EQ(ShownName("a\x1b[31m\nb"), "a\\u001b[31m\\u000ab");

    // Ten million bytes: the beginning and the end, at most the limit and an ellipsis.
    const std::string huge = "start" + std::string(10'000'000, 'x') + "end";
    const std::string shown = ShownName(huge);
    EXPECT_LE(shown.size(), kMaxShownName + 3);
    EXPECT_EQ(shown.rfind("start", 0), 0u);
    EXPECT_EQ(shown.substr(shown.size() - 3), "end");
    EXPECT_NE(shown.find("\u2026"), std::string::npos);

    // Cyrillic is cut at whole characters on both sides; control characters in a long text are
    // escaped too.
    std::string russian;
    for (int i = 0; i < 300; ++i) {
        russian += "ж";
    }
    const std::string cut = ShownName(russian + "\n", 101);
    EXPECT_EQ(cut.find('\n'), std::string::npos);
    std::size_t letters = 0;
    for (std::size_t i = 0; i + 1 < cut.size(); ++i) {
        letters += cut.compare(i, 2, "ж") == 0;
    }
    EXPECT_GT(letters, 40u);
    EXPECT_EQ(EscapeForTerminal(cut), cut); // well-formed UTF-8, nothing left to escape

    // A real path is shown whole, however deep.
    const std::string path = "/home/" + std::string(3000, 'd') + "/scene.3d";
    EXPECT_EQ(ShownPath(path), path);
}

} // namespace sonivera
