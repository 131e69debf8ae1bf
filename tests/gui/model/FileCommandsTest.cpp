#include "support/AppFixture.h"
#include "support/SceneBytes.h"

#include "gui/common/CommandIds.h"
#include "gui/model/ImportPlanDlg.h"
#include "core/model/RectObject.h"
#include "core/model/SoundSource.h"

#include <wx/filedlg.h>
#include <wx/msgdlg.h>

#include <filesystem>

namespace sonivera {

namespace {

class FileCommandsTest : public AppTest {
protected:
    // Marks the scene modified as an edit does, through the parameters dialog's OK.
    void Modify() {
        dialogs.Then([](wxDialog& dialog) { return PressOk(dialog) ? wxID_OK : wxID_CANCEL; });
        Command(ID_SCENE_PARAMETERS);
        ASSERT_TRUE(Doc().IsModified());
    }
    // Saves the current scene under `path` through Save As.
    void SaveAs(const std::string& path) {
        dialogs.ThenFile(path);
        Command(ID_FILE_SAVE_AS);
    }
    void Open(const std::string& path) {
        dialogs.ThenFile(path);
        Command(ID_FILE_OPEN);
    }
};

} // namespace

TEST_F(FileCommandsTest, SaveAsWritesTheSceneFileAndNamesTheDocument) {
    const std::string path = dir.File("first.3d");
    SaveAs(path);
    EXPECT_EQ(ReadBytes(path), SaveSceneToBytes(*MakeDefaultScene()));
    EXPECT_EQ(Title(), "first.3d - Sonivera");
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Doc().GetFilename().utf8_string(), path);
}

TEST_F(FileCommandsTest, SaveAsAddsTheSceneExtensionToABareName) {
    SaveAs(dir.File("bare"));
    EXPECT_TRUE(std::filesystem::exists(dir.File("bare.3d")));
    EXPECT_EQ(Title(), "bare.3d - Sonivera");
}

TEST_F(FileCommandsTest, SaveOfANewSceneAsksForANameAndSaveOfANamedOneDoesNot) {
    const std::string path = dir.File("named.3d");
    dialogs.ThenFile(path);
    Command(ID_FILE_SAVE);
    ASSERT_TRUE(std::filesystem::exists(path));

    Modify();
    Doc().GetScene()->Add<CSoundSource>()->m_x = 12.5;
    Command(ID_FILE_SAVE); // no dialog expected
    EXPECT_FALSE(Doc().IsModified());
    auto reread = LoadSceneFromBytes(ReadBytes(path));
    EXPECT_EQ(reread->objects.size(), 2u);
    EXPECT_EQ(reread->objects.back()->m_x, 12.5);
}

TEST_F(FileCommandsTest, CancelledSaveAsChangesNothing) {
    Modify();
    dialogs.ThenFile("");
    Command(ID_FILE_SAVE_AS);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Title(), "Untitled - Sonivera");
}

TEST_F(FileCommandsTest, OpenRoundTripsAFileWrittenBySave) {
    SceneSettings* scene = Doc().GetScene();
    auto* rect = scene->Add<CRectObject>();
    rect->m_x = 10.25;
    rect->m_width = 3.5;
    scene->Add<CSoundSource>()->m_power = 0.75;
    scene->width = 333.5;
    const std::string path = dir.File("round.3d");
    SaveAs(path);
    const Bytes saved = ReadBytes(path);

    Command(ID_FILE_NEW);
    EXPECT_EQ(Doc().GetScene()->objects.size(), 1u);
    EXPECT_EQ(Title(), "Untitled - Sonivera");

    Open(path);
    EXPECT_EQ(Title(), "round.3d - Sonivera");
    EXPECT_FALSE(Doc().IsModified());
    ASSERT_EQ(Doc().GetScene()->objects.size(), 3u);
    EXPECT_EQ(Doc().GetScene()->width, 333.5);
    EXPECT_EQ(SaveSceneToBytes(*Doc().GetScene()), saved);
    // Every object belongs to the document's record.
    for (const auto& object : Doc().GetScene()->objects) {
        EXPECT_EQ(object->m_pSettings, Doc().GetScene());
    }
}

TEST_F(FileCommandsTest, OpenReadsTheFixtureScenes) {
    Open(DataFile("three-objects.3d"));
    EXPECT_EQ(Doc().GetScene()->objects.size(), 3u);
    Open(DataFile("room.3d"));
    EXPECT_EQ(Title(), "room.3d - Sonivera");
}

TEST_F(FileCommandsTest, AWrongTagIsReportedAndReplacedByANewDefaultScene) {
    Open(DataFile("three-objects.3d"));
    const std::string path = WriteFile(dir.File("lower.3d"), LowerCaseTagScene());
    const Bytes before = ReadBytes(path);
    dialogs.ThenFile(path).ThenMessage("Unexpected file format.");
    Command(ID_FILE_OPEN);
    ASSERT_FALSE(dialogs.Messages().empty());
    EXPECT_EQ(dialogs.Messages().back().text, "Unexpected file format.");
    EXPECT_TRUE(dialogs.Messages().back().style & wxICON_EXCLAMATION);
    EXPECT_EQ(Title(), "Untitled - Sonivera");
    EXPECT_EQ(Doc().GetScene()->objects.size(), 1u);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(FileCommandsTest, TheOldCopyOfAnInterruptedSaveIsOfferedBackAndGoesWhenSavedOver) {
    // A save killed half-way: a damaged file and the whole old content beside it.
    const std::string path = dir.File("cut.3d");
    WriteFile(path, LowerCaseTagScene());
    const std::string copy = dir.File(".cut.3d.old-AbCd1234");
    std::filesystem::copy_file(DataFile("three-objects.3d"), copy);
    dialogs.ThenFile(path).ThenMessage("Прежнее содержимое сохранено целиком", wxID_YES);
    Command(ID_FILE_OPEN);
    dialogs.Verify();
    EXPECT_EQ(Doc().GetScene()->objects.size(), 3u);
    EXPECT_EQ(Title(), "cut.3d - Sonivera");
    EXPECT_TRUE(Doc().IsModified()); // the file itself still holds the damaged content
    Command(ID_FILE_SAVE);
    EXPECT_EQ(ReadBytes(path), ReadBytes(DataFile("three-objects.3d")));
    EXPECT_FALSE(std::filesystem::exists(copy));
    // Answered No, the file is opened as it is and the copy stays.
    std::filesystem::copy_file(DataFile("room.3d"), copy);
    dialogs.ThenFile(path).ThenMessage("Прежнее содержимое", wxID_NO);
    Command(ID_FILE_OPEN);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_TRUE(std::filesystem::exists(copy));
}

TEST_F(FileCommandsTest, AnImportedPlanIsPreviewedThenOpenedAsANewUnsavedScene) {
    const std::string plan = std::string(SONIVERA_TEST_DATA_DIR) + "/../../examples/apartment.dxf";
    // Cancelled in the preview: nothing changes.
    dialogs.ThenFile(plan).Then([](wxDialog& dialog) {
        EXPECT_NE(dynamic_cast<CImportPlanDlg*>(&dialog), nullptr);
        return int(wxID_CANCEL);
    });
    Command(ID_FILE_IMPORT_PLAN);
    dialogs.Verify();
    EXPECT_EQ(Doc().GetScene()->objects.size(), 1u);
    EXPECT_FALSE(Doc().IsModified());
    // Opened: the walls and columns, the listener first, unsaved under the drawing's name.
    dialogs.ThenFile(plan).Then([](wxDialog&) { return int(wxID_OK); });
    Command(ID_FILE_IMPORT_PLAN);
    dialogs.Verify();
    EXPECT_EQ(Doc().GetScene()->objects.size(), 9u);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Title(), "apartment - Sonivera");
    // A file that is no drawing: the reason, and the scene stays.
    dialogs.ThenFile(DataFile("room.3d")).ThenMessage("План не импортирован");
    Command(ID_FILE_IMPORT_PLAN);
    EXPECT_EQ(Doc().GetScene()->objects.size(), 9u);
}

TEST_F(FileCommandsTest, AFileThatCannotBeOpenedIsReportedWithItsPathAndTheSceneStays) {
    Modify();
    const std::string missing = dir.File("gone.3d");
    dialogs.ThenMessage("Save changes to Untitled?", wxID_NO)
        .ThenFile(missing)
        .ThenMessage(missing);
    Command(ID_FILE_OPEN);
    EXPECT_TRUE(dialogs.Messages().back().style & wxICON_EXCLAMATION);
    // The scene that was open stays, still modified.
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Doc().GetScene()->objects.size(), 1u);
    EXPECT_EQ(Title(), "Untitled - Sonivera");
}

TEST_F(FileCommandsTest, ModifiedSceneIsOfferedForSavingBeforeNew) {
    SaveAs(dir.File("kept.3d"));
    Modify();
    dialogs.ThenMessage("Save changes to kept.3d?", wxID_CANCEL);
    Command(ID_FILE_NEW);
    EXPECT_EQ(Title(), "kept.3d - Sonivera");
    EXPECT_TRUE(Doc().IsModified());

    dialogs.ThenMessage("Save changes to kept.3d?", wxID_NO);
    Command(ID_FILE_NEW);
    EXPECT_EQ(Title(), "Untitled - Sonivera");
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(FileCommandsTest, YesSavesBeforeOpenAndCancelInTheFileDialogKeepsTheScene) {
    const std::string path = dir.File("saved.3d");
    SaveAs(path);
    Modify();
    Doc().GetScene()->width = 77.0;
    dialogs.ThenMessage("Save changes to saved.3d?", wxID_YES).ThenFile("");
    Command(ID_FILE_OPEN);
    EXPECT_EQ(LoadSceneFromBytes(ReadBytes(path))->width, 77.0);
    EXPECT_EQ(Title(), "saved.3d - Sonivera");
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(FileCommandsTest, NoBeforeOpenThenCancelledFileDialogKeepsTheSceneModified) {
    Modify();
    dialogs.ThenMessage("Save changes to Untitled?", wxID_NO).ThenFile("");
    Command(ID_FILE_OPEN);
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(FileCommandsTest, AFailedSaveLeavesTheOldFileIntactAndTheSceneModified) {
    const std::string path = dir.File("safe.3d");
    SaveAs(path);
    const Bytes before = ReadBytes(path);
    Modify();
    Doc().GetScene()->Add<CSoundSource>();

    // A target inside a folder that does not exist.
    const std::string nowhere = dir.File("no-such-folder/other.3d");
    dialogs.ThenFile(nowhere).ThenMessage(nowhere);
    Command(ID_FILE_SAVE_AS);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Title(), "safe.3d - Sonivera");
    EXPECT_EQ(ReadBytes(path), before);

    // A directory standing where the file should go.
    const std::string blocked = dir.File("blocked.3d");
    std::filesystem::create_directory(blocked);
    dialogs.ThenFile(blocked).ThenMessage(blocked);
    Command(ID_FILE_SAVE_AS);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
    // No temporary file is left behind.
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 3u); // safe.3d, blocked.3d, settings.conf

    // Answering Yes to saving before New when the save fails abandons New.
    const std::string nowhereAgain = dir.File("missing/x.3d");
    std::filesystem::remove_all(blocked);
    std::filesystem::create_directory(blocked);
    Doc().SetFilename(wxString::FromUTF8(blocked), false);
    dialogs.ThenMessage("Save changes", wxID_YES).ThenMessage(blocked);
    Command(ID_FILE_NEW);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Doc().GetScene()->objects.size(), 2u);
}

TEST_F(FileCommandsTest, SaveAsOffersTheScenesOwnFolderAndNameAndOpenStartsInTheLastFolder) {
    TempDir other;
    const std::string path = other.File("own.3d");
    SaveAs(path);
    std::string offeredFolder, offeredName, openFolder;
    dialogs.Then([&](wxDialog& dialog) {
        auto& files = dynamic_cast<wxFileDialog&>(dialog);
        offeredFolder = files.GetDirectory().utf8_string();
        offeredName = files.GetFilename().utf8_string();
        return int(wxID_CANCEL);
    });
    Command(ID_FILE_SAVE_AS);
    dialogs.Then([&](wxDialog& dialog) {
        openFolder = dynamic_cast<wxFileDialog&>(dialog).GetDirectory().utf8_string();
        return int(wxID_CANCEL);
    });
    Command(ID_FILE_OPEN);
    dialogs.Verify();
    EXPECT_EQ(offeredFolder, other.Path().string());
    EXPECT_EQ(offeredName, "own.3d");
    EXPECT_EQ(openFolder, other.Path().string());
}

} // namespace sonivera
