// The example scenes: each committed .3d file is what its JSON source builds, and each passes
// the scene check, so a new user can open and calculate it at once.
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace sonivera {

TEST(Examples, EachSceneFileIsBuiltFromItsSourceAndIsClean) {
    TempDir dir;
    for (const std::string name : {"room", "hall", "heavy"}) {
        SCOPED_TRACE(name);
        const std::string source = std::string(SONIVERA_EXAMPLES_DIR) + "/" + name + ".json";
        const std::string committed = std::string(SONIVERA_EXAMPLES_DIR) + "/" + name + ".3d";
        const std::string built = dir.File(name + ".3d");
        const CliRun build = RunCli({"build", source, "-o", built});
        ASSERT_EQ(build.exitCode, 0) << build.err;
        EXPECT_EQ(ReadBytes(built), ReadBytes(committed)) << "run examples/generate";
        const CliRun check = RunCli({"check", committed});
        EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
    }
}

} // namespace sonivera
