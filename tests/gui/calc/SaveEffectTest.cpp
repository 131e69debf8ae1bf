#include "calc/CalcFixture.h"
#include "gui/common/FileNames.h"

#include <filesystem>

namespace sonivera {

namespace fs = std::filesystem;

namespace {

class SaveEffectTest : public CalcTest {
protected:
    void SetUp() override {
        CalcTest::SetUp();
        AddRect(
            {.x = 20, .y = 20, .width = 10, .height = 40, .reflection = 0.5, .absorption = 0.5});
        AddSource({.x = 10, .y = 30});
    }

    // Opens the dialog, calculates and runs `body` on it.
    void Calculated(std::function<void(CEffectCalcDlg&)> body) {
        ExpectCalcDialog([body = std::move(body)](CEffectCalcDlg& dialog) {
            PressButton(dialog, IDC_CALCULATE);
            body(dialog);
        });
    }

    // The names in the test folder other than the settings file.
    std::vector<std::string> Written() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            if (entry.path().filename() != "settings.conf") {
                names.push_back(entry.path().filename().string());
            }
        }
        return names;
    }
};

} // namespace

TEST_F(SaveEffectTest, TheFileDialogOffersEffectFilesAndCancellingDoesNothing) {
    Calculated([](CEffectCalcDlg& dialog) {
        PressButton(dialog, IDC_SAVE_EFFECT);
        EXPECT_TRUE(SaveEnabled(dialog));
    });
    dialogs.Then([](wxDialog& dialog) {
        auto* files = dynamic_cast<CEffectFileDialog*>(&dialog);
        EXPECT_NE(files, nullptr);
        if (files) {
            EXPECT_EQ(files->GetWildcard().utf8_string(),
                      "Файлы 3D эффектов (*.e3d)|*.e3d|Все файлы (*.*)|*");
            EXPECT_EQ(files->GetMessage().utf8_string(), "Save As");
            EXPECT_TRUE(files->HasFlag(wxFD_SAVE));
            EXPECT_TRUE(files->HasFlag(wxFD_OVERWRITE_PROMPT));
            // Beside the scene, with its name (none for a scene never saved).
            EXPECT_EQ(files->GetFilename(), StartBesideScene(".e3d").name);
        }
        return int(wxID_CANCEL);
    });
    Command(ID_CALC_EFFECT);
    dialogs.Verify();
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_TRUE(Written().empty());
}

TEST_F(SaveEffectTest, ANameWithoutExtensionGetsE3dAndReplacingItAsksFirst) {
    const std::string typed = dir.File("result");
    const std::string saved = typed + ".e3d";
    Bytes first;
    Bytes afterNo;
    Calculated([&](CEffectCalcDlg& dialog) {
        PressButton(dialog, IDC_SAVE_EFFECT);
        first = ReadBytes(saved);
        WriteFile(saved, Bytes{1, 2, 3});     // an older file under the completed name
        PressButton(dialog, IDC_SAVE_EFFECT); // not replaced: No
        afterNo = ReadBytes(saved);
        PressButton(dialog, IDC_SAVE_EFFECT); // replaced: Yes
    });
    ExpectEffectFile(typed);
    ExpectEffectFile(typed);
    dialogs.ThenMessage("already exists", wxID_NO);
    ExpectEffectFile(typed);
    dialogs.ThenMessage("already exists", wxID_YES);
    Command(ID_CALC_EFFECT);
    dialogs.Verify();
    EXPECT_EQ(first, CurrentEffectBytes());
    EXPECT_EQ(afterNo, (Bytes{1, 2, 3}));
    EXPECT_EQ(ReadBytes(saved), CurrentEffectBytes());
    EXPECT_EQ(Written(), std::vector<std::string>{"result.e3d"});
}

TEST_F(SaveEffectTest, AFailedSaveIsReportedWithPathAndReasonAndCanBeRetried) {
    const std::string missingFolder = dir.File("missing/out.e3d");
    const std::string folderInTheWay = dir.File("taken.e3d");
    fs::create_directory(folderInTheWay);
    const std::string good = dir.File("good.e3d");
    Calculated([&](CEffectCalcDlg& dialog) {
        PressButton(dialog, IDC_SAVE_EFFECT);
        EXPECT_TRUE(SaveEnabled(dialog));
        PressButton(dialog, IDC_SAVE_EFFECT);
        EXPECT_TRUE(SaveEnabled(dialog));
        PressButton(dialog, IDC_SAVE_EFFECT);
    });
    ExpectEffectFile(missingFolder);
    dialogs.ThenMessage(missingFolder + ": No such file or directory");
    ExpectEffectFile(folderInTheWay);
    dialogs.ThenMessage(folderInTheWay + ": it is a directory, not a regular file");
    ExpectEffectFile(good);
    Command(ID_CALC_EFFECT);
    dialogs.Verify();
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    for (const auto& message : dialogs.Messages()) {
        EXPECT_EQ(message.text.rfind("The effect was not saved.\n", 0), 0u) << message.text;
        EXPECT_TRUE(message.style & wxICON_EXCLAMATION);
    }
    EXPECT_TRUE(fs::is_directory(folderInTheWay));
    EXPECT_TRUE(fs::is_empty(folderInTheWay));
    EXPECT_EQ(ReadBytes(good), CurrentEffectBytes());
    EXPECT_NE(Scene().effect, nullptr);
}

TEST_F(SaveEffectTest, AnEffectThatIsNotFiniteIsRefusedInTheErrorBoxBeforeAFileIsAskedFor) {
    Scene().params.mediumAbsorption = -100.0;
    AddSource({.x = 60, .y = 50});
    Calculated([](CEffectCalcDlg& dialog) {
        PressButton(dialog, IDC_SAVE_EFFECT);
        EXPECT_TRUE(SaveEnabled(dialog));
    });
    ExpectError("The effect was not saved.\nThe effect is not finite (bin 16 is -nan), so it was "
                "not written: mediumAbsorption -100 is below 0.");
    Command(ID_CALC_EFFECT);
    dialogs.Verify();
    EXPECT_TRUE(Written().empty());
}

TEST_F(SaveEffectTest, TheScenesOwnFileIsRefusedAsTheTarget) {
    const std::string scene = dir.File("scene.3d");
    dialogs.ThenFile(scene);
    Command(ID_FILE_SAVE_AS);
    const Bytes before = ReadBytes(scene);
    Calculated([](CEffectCalcDlg& dialog) { PressButton(dialog, IDC_SAVE_EFFECT); });
    ExpectEffectFile(scene);
    dialogs.ThenMessage("is the same file as the input " + scene);
    Command(ID_CALC_EFFECT);
    dialogs.Verify();
    EXPECT_EQ(ReadBytes(scene), before);
}

} // namespace sonivera
