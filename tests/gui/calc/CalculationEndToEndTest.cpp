// From a drawn scene to the effect file: the editor's file equals the command-line tool's for the
// same scene saved as a scene file.
#include "calc/CalcFixture.h"

#include <algorithm>
#include <cstdlib>

#ifdef SONIVERA_CLI_PATH

namespace {

class CalculationEndToEndTest : public CalcTest {};

} // namespace

TEST_F(CalculationEndToEndTest, EditorAndCommandLineWriteTheSameEffectFile) {
    // A rectangle reflecting 50 % with absorption 0.5, and two sources.
    AddRect(30, 20, 20, 10, 0.5, 0.5);
    AddSource(70, 40);
    AddSource(20, 60);
    const std::string scenePath = dir.File("scene.3d");
    const std::string editorPath = dir.File("editor.e3d");
    const std::string cliPath = dir.File("cli.e3d");

    ExpectCalcDialog([](CEffectCalcDlg& dialog) {
        Press(dialog, IDC_CALCULATE);
        Press(dialog, IDC_SAVE_EFFECT);
    });
    ExpectEffectFile(editorPath);
    Command(ID_CALC_EFFECT);
    dialogs.Verify();
    ASSERT_TRUE(Doc().SaveSceneFile(wxString::FromUTF8(scenePath)));

    const std::string command = std::string("'") + SONIVERA_CLI_PATH + "' effect '" + scenePath +
                                "' -o '" + cliPath + "' --threads 1 > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const Bytes editor = ReadBytes(editorPath);
    EXPECT_EQ(editor.size(), kEffectHeaderSize + 8u * 100u);
    EXPECT_EQ(editor, ReadBytes(cliPath));
    // Not a file of zeros: the sources are heard.
    const double* bins = Scene().effect.get();
    EXPECT_TRUE(std::any_of(bins, bins + Scene().effectCount, [](double v) { return v > 0.0; }));
}

#endif
