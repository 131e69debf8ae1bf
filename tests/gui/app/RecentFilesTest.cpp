#include "support/AppFixture.h"
#include "support/SceneBytes.h"

#include "gui/app/RecentFiles.h"
#include "gui/app/SceneDocManager.h"
#include "gui/common/CommandIds.h"

#include <wx/fileconf.h>

#include <filesystem>
#include <fstream>

namespace sonivera {

namespace {

class RecentFilesTest : public AppTest {
protected:
    // Writes a default scene file named `name` in the test folder and returns its path.
    std::string Scene(const std::string& name) {
        return WriteFile(dir.File(name), SaveSceneToBytes(*MakeDefaultScene()));
    }
    void Open(const std::string& path) {
        dialogs.ThenFile(path);
        Command(ID_FILE_OPEN);
    }
    // The recent-file entries of the File menu, between the two separators.
    std::vector<std::string> RecentLabels() {
        const auto labels = FileMenuLabels();
        std::vector<std::string> recent;
        bool inside = false;
        for (const auto& label : labels) {
            if (label == "-") {
                if (inside) {
                    break;
                }
                inside = true;
                continue;
            }
            if (inside) {
                recent.push_back(label);
            }
        }
        return recent;
    }
    // The recent files as the settings file holds them.
    std::vector<std::string> StoredFiles() {
        wxFileConfig config("Sonivera", wxString::FromUTF8("ЛИРО"),
                            wxString::FromUTF8(SettingsFile()), wxString(),
                            wxCONFIG_USE_LOCAL_FILE);
        std::vector<std::string> files;
        for (int i = 1; i <= 6; ++i) {
            wxString value;
            if (config.Read(wxString::Format("/Recent File List/File%d", i), &value)) {
                files.push_back(value.utf8_string());
            }
        }
        return files;
    }
};

} // namespace

TEST_F(RecentFilesTest, FiveOpensLeaveTheLastFourMostRecentFirstAcrossARestart) {
    std::vector<std::string> paths;
    for (const char* name : {"a.3d", "b.3d", "c.3d", "d.3d", "e.3d"}) {
        paths.push_back(Scene(name));
        Open(paths.back());
    }
    const std::vector<std::string> expected = {
        "&1 " + AbbreviatePath(wxString::FromUTF8(paths[4])).utf8_string(),
        "&2 " + AbbreviatePath(wxString::FromUTF8(paths[3])).utf8_string(),
        "&3 " + AbbreviatePath(wxString::FromUTF8(paths[2])).utf8_string(),
        "&4 " + AbbreviatePath(wxString::FromUTF8(paths[1])).utf8_string()};
    EXPECT_EQ(RecentLabels(), expected);
    EXPECT_EQ(StoredFiles(), (std::vector<std::string>{paths[4], paths[3], paths[2], paths[1]}));
    for (int id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_FILE4; ++id) {
        EXPECT_TRUE(MenuItem(id)->IsEnabled());
        EXPECT_EQ(MenuItem(id)->GetHelp().utf8_string(), "Открытие данного документа");
    }

    Restart();
    EXPECT_EQ(RecentLabels(), expected);

    // Choosing an entry opens it and moves it to the top.
    Command(ID_FILE_MRU_FILE1 + 2);
    EXPECT_EQ(Doc().GetFilename().utf8_string(), paths[2]);
    EXPECT_EQ(StoredFiles(), (std::vector<std::string>{paths[2], paths[4], paths[3], paths[1]}));
}

TEST_F(RecentFilesTest, ASymlinkedSettingsFileStaysALinkToTheFileItNames) {
    Open(Scene("a.3d"));
    namespace fs = std::filesystem;
    const std::string real = dir.File("kept-settings.conf");
    fs::rename(SettingsFile(), real);
    fs::create_symlink(real, SettingsFile());
    Restart();
    const std::string b = Scene("b.3d");
    Open(b);
    EXPECT_TRUE(fs::is_symlink(SettingsFile()));
    ASSERT_FALSE(StoredFiles().empty());
    EXPECT_EQ(StoredFiles().front(), b);
}

TEST_F(RecentFilesTest, SavingUnderANameAndReopeningTheSameFileKeepOneEntry) {
    const std::string path = dir.File("saved.3d");
    dialogs.ThenFile(path);
    Command(ID_FILE_SAVE_AS);
    EXPECT_EQ(StoredFiles(), std::vector<std::string>{path});
    Open(path);
    Command(ID_FILE_SAVE);
    EXPECT_EQ(StoredFiles(), std::vector<std::string>{path});
    EXPECT_EQ(RecentLabels().size(), 1u);
}

TEST_F(RecentFilesTest, AnEntryWhoseFileIsGoneIsReportedAndDropped) {
    const std::string kept = Scene("kept.3d");
    const std::string gone = Scene("gone.3d");
    Open(kept);
    Open(gone);
    std::filesystem::remove(gone);
    dialogs.ThenMessage(gone);
    Command(ID_FILE_MRU_FILE1);
    // The scene that was open stays as it was.
    EXPECT_EQ(Doc().GetFilename().utf8_string(), gone);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(StoredFiles(), std::vector<std::string>{kept});
}

TEST_F(RecentFilesTest, AFileRefusedAsNotASceneDoesNotEnterTheList) {
    const std::string path = WriteFile(dir.File("bad.3d"), LowerCaseTagScene());
    dialogs.ThenFile(path).ThenMessage("Unexpected file format.");
    Command(ID_FILE_OPEN);
    EXPECT_TRUE(StoredFiles().empty());
    EXPECT_EQ(RecentLabels(), std::vector<std::string>{"Недавно открытый файл"});
    EXPECT_FALSE(MenuItem(ID_FILE_MRU_FILE1)->IsEnabled());
}

TEST_F(RecentFilesTest, UnreadableSettingsLeaveTheListEmpty) {
    App().ShutDown();
    {
        std::ofstream garbage(SettingsFile(), std::ios::binary);
        garbage << "\x01\x02[[[\n=\xff\xfe\n[Recent File List\nFile1\n";
    }
    ASSERT_TRUE(Start());
    EXPECT_EQ(RecentLabels(), std::vector<std::string>{"Недавно открытый файл"});

    App().ShutDown();
    std::filesystem::remove(SettingsFile());
    std::filesystem::create_directory(SettingsFile()); // a folder where the file should be
    ASSERT_TRUE(Start());
    EXPECT_EQ(RecentLabels(), std::vector<std::string>{"Недавно открытый файл"});
    Open(Scene("x.3d")); // saving the list fails silently
    EXPECT_EQ(RecentLabels().size(), 1u);
}

TEST(RecentFileLabels, ShortenThePathToThirtyCharactersKeepingTheFileName) {
    auto abbreviate = [](const char* path) {
        return AbbreviatePath(wxString::FromUTF8(path)).utf8_string();
    };
    EXPECT_EQ(abbreviate("/home/user/a.3d"), "/home/user/a.3d");
    EXPECT_EQ(abbreviate("/home/someone/projects/sonivera/scenes/room.3d"),
              "/.../sonivera/scenes/room.3d");
    EXPECT_LE(wxString::FromUTF8("/.../sonivera/scenes/room.3d").length(), 30u);
    EXPECT_EQ(abbreviate("/a/very-long-file-name-that-does-not-fit.3d"),
              "very-long-file-name-that-does-not-fit.3d");
    // Characters, not bytes, are counted.
    EXPECT_EQ(abbreviate("/дом/сцены/зал.3d"), "/дом/сцены/зал.3d");
    EXPECT_EQ(abbreviate("/дом/пользователь/проекты/сцены/большой зал.3d"),
              "/.../сцены/большой зал.3d");
    EXPECT_EQ(RecentFileMenuLabel(1, "/tmp/R&D.3d").utf8_string(), "&2 /tmp/R&&D.3d");
}

} // namespace sonivera
