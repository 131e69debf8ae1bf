// From a drawn scene to the effect file: the editor's file equals the command-line tool's for the
// same scene saved as a scene file.
#include "calc/CalcFixture.h"

#include <algorithm>
#include <cstdlib>

namespace sonivera {

#ifdef SONIVERA_CLI_PATH

namespace {

class CalculationEndToEndTest : public CalcTest {};

} // namespace

TEST_F(CalculationEndToEndTest, EditorAndCommandLineWriteTheSameEffectFile) {
    // Drawn at 30 pixels per metre: a rectangle from (10, 10) to (30, 20) reflecting 50 % with
    // absorption 0.5, and two sources.
    UseTool(ID_TOOL_RECT);
    Drag(300, 300, 900, 600);
    UseTool(ID_TOOL_SOURCE);
    Click(1200, 750);
    Click(150, 750);
    UseTool(ID_TOOL_SELECT);
    Click(600, 450);
    dialogs.Then([](wxDialog& dialog) {
        SetField(dialog, IDC_RECT_ABSORPTION, "0.5");
        SetField(dialog, IDC_RECT_REFLECTION, "50");
        return PressOk(dialog) ? wxID_OK : wxID_CANCEL;
    });
    Command(ID_OBJECT_PROPERTIES);
    dialogs.Verify();
    ASSERT_EQ(Scene().objects.size(), 4u);
    auto* rect = dynamic_cast<CRectObject*>(ObjectAt(1));
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->m_x, 10.0);
    EXPECT_EQ(rect->m_y, 10.0);
    EXPECT_EQ(rect->m_width, 20.0);
    EXPECT_EQ(rect->m_height, 10.0);
    EXPECT_EQ(rect->m_absorption, 0.5);
    EXPECT_EQ(rect->m_reflection, 0.5);
    EXPECT_EQ(ObjectAt(2)->m_x, 40.0);
    EXPECT_EQ(ObjectAt(3)->m_y, 25.0);

    const std::string scenePath = dir.File("scene.3d");
    const std::string editorPath = dir.File("editor.e3d");
    const std::string cliPath = dir.File("cli.e3d");

    ExpectCalcDialog([](CEffectCalcDlg& dialog) {
        PressButton(dialog, IDC_CALCULATE);
        PressButton(dialog, IDC_SAVE_EFFECT);
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

} // namespace sonivera
