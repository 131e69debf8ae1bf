// The wiring of "Экспорт WAV..." and "Прослушать...": the file dialogs, the files written, the
// no-device path and stopping. The sound itself is tested in the audio library's tests.
#include "support/AppFixture.h"

#include "audio/AudioFile.h"
#include "core/files/SafeFileWriter.h"
#include "gui/app/MainFrame.h"
#include "gui/calc/SaveEffect.h"
#include "gui/effect/EffectPane.h"
#include "gui/sound/ExportWav.h"
#include "gui/sound/ListenDialog.h"
#include "gui/sound/SoundFileDialog.h"

#include <wx/app.h>
#include <wx/button.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace sonivera {

namespace {

class ListenTest : public AppTest {
protected:
    // An effect of three 10 ms bins: direct sound 1, an echo of 0.5 at 20 ms.
    const std::vector<double> bins{1.0, 0.0, 0.5};

    // Expects the sound file dialog for `purpose` and answers it with `path`.
    void ThenSoundFile(CSoundFileDialog::Purpose purpose, const std::string& path) {
        dialogs.Then([purpose, path](wxDialog& dialog) {
            auto* files = dynamic_cast<CSoundFileDialog*>(&dialog);
            EXPECT_NE(files, nullptr) << "expected a sound file dialog";
            if (files == nullptr) {
                return int(wxID_CANCEL);
            }
            EXPECT_EQ(files->GetPurpose(), purpose);
            files->SetChosenPath(wxString::FromUTF8(path));
            return int(wxID_OK);
        });
    }

    std::string WriteDrySound(int frames) {
        AudioBuffer dry{8000, 1, std::vector<float>(static_cast<std::size_t>(frames), 0.0f)};
        dry.samples[0] = 0.25f;
        const std::string path = dir.File("dry.wav");
        WriteFileSafely(path, EncodeFloatWav(dry));
        return path;
    }

    // Waits (up to 10 s) until the window's worker is done, then lets it act as its timer would.
    static void PollWhenReady(CListenDialog& dialog) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!dialog.IsSoundReady() && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_TRUE(dialog.IsSoundReady());
        dialog.Poll();
    }
};

AudioPlayer::DeviceChooser NoDevice() {
    return [] { return -1; };
}

} // namespace

TEST_F(ListenTest, ExportWavWritesTheImpulseResponseAt48kHz) {
    const std::string out = dir.File("response");
    ThenSoundFile(CSoundFileDialog::Purpose::SaveWav, out);
    EXPECT_TRUE(ExportImpulseResponse(&Frame(), bins, 10.0));
    const AudioBuffer ir = ReadAudioFile(out + ".wav");
    EXPECT_EQ(ir.rate, 48000);
    ASSERT_EQ(ir.samples.size(), 961u);
    EXPECT_EQ(ir.samples[0], 1.0f);
    EXPECT_EQ(ir.samples[960], 0.5f);

    // The dialogs start beside the scene, with a name made from the scene's.
    Doc().SetFilename(wxString::FromUTF8(dir.File("hall.3d")));
    dialogs.Then([this](wxDialog& dialog) {
        auto* files = dynamic_cast<CSoundFileDialog*>(&dialog);
        EXPECT_NE(files, nullptr);
        if (files) {
            EXPECT_EQ(files->GetDirectory().utf8_string(), dir.Path());
            EXPECT_EQ(files->GetFilename().utf8_string(), "hall-ir.wav");
        }
        return int(wxID_CANCEL);
    });
    EXPECT_FALSE(ExportImpulseResponse(&Frame(), bins, 10.0));
    dialogs.Then([this](wxDialog& dialog) {
        auto* files = dynamic_cast<CEffectFileDialog*>(&dialog);
        EXPECT_NE(files, nullptr);
        if (files) {
            EXPECT_EQ(files->GetDirectory().utf8_string(), dir.Path());
            EXPECT_EQ(files->GetFilename().utf8_string(), "hall.e3d");
        }
        return int(wxID_CANCEL);
    });
    EXPECT_EQ(AskSaveEffectPath(&Frame()), wxString());
    Doc().SetFilename(wxString());

    // Bins that cannot be sampled are reported before any file dialog.
    dialogs.ThenMessage("share a sample");
    EXPECT_FALSE(ExportImpulseResponse(&Frame(), bins, 0.001));
}

TEST_F(ListenTest, WithoutADeviceItSaysSoAndSavesTheResultOnRequest) {
    const std::string dry = WriteDrySound(100);
    const std::string out = dir.File("heard.wav");
    ThenSoundFile(CSoundFileDialog::Purpose::OpenDrySound, dry);
    CListenDialog* dialog =
        CListenDialog::Start(&Frame(), bins, 10.0, std::make_unique<AudioPlayer>(NoDevice()));
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->IsShown()); // the window is modeless: Start has returned
    EXPECT_EQ(CListenDialog::Current(), dialog);

    dialogs.ThenMessage("Нет устройства вывода звука", wxID_YES);
    ThenSoundFile(CSoundFileDialog::Purpose::SaveWav, out);
    PollWhenReady(*dialog);
    dialogs.Verify();
    EXPECT_EQ(CListenDialog::Current(), nullptr);
    wxTheApp->ProcessIdle(); // lets the closed window go

    // The dry sound convolved with the response at its own rate, brought to full scale.
    const AudioBuffer heard = ReadAudioFile(out);
    EXPECT_EQ(heard.rate, 8000);
    ASSERT_EQ(heard.samples.size(), 100u + 161u - 1u);
    EXPECT_NEAR(heard.samples[0], 1.0f, 1e-6f);
    EXPECT_NEAR(heard.samples[160], 0.5f, 1e-6f);

    // Answering No saves nothing.
    std::filesystem::remove(out);
    ThenSoundFile(CSoundFileDialog::Purpose::OpenDrySound, dry);
    dialog = CListenDialog::Start(&Frame(), bins, 10.0, std::make_unique<AudioPlayer>(NoDevice()));
    dialogs.ThenMessage("Нет устройства вывода звука", wxID_NO);
    PollWhenReady(*dialog);
    wxTheApp->ProcessIdle();
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(ListenTest, BadSoundIsReportedAndStopClosesTheWindow) {
    const std::string bad = dir.File("bad.wav");
    WriteFileSafely(bad, std::vector<std::uint8_t>{'n', 'o', 'p', 'e'});
    ThenSoundFile(CSoundFileDialog::Purpose::OpenDrySound, bad);
    CListenDialog* dialog = CListenDialog::Start(&Frame(), bins, 10.0);
    ASSERT_NE(dialog, nullptr);
    dialogs.ThenMessage("not a sound file");
    PollWhenReady(*dialog);
    wxTheApp->ProcessIdle();

    // Cancelling the file dialog opens nothing.
    dialogs.Then([](wxDialog&) { return int(wxID_CANCEL); });
    EXPECT_EQ(CListenDialog::Start(&Frame(), bins, 10.0), nullptr);

    ThenSoundFile(CSoundFileDialog::Purpose::OpenDrySound, WriteDrySound(8000 * 60));
    dialog = CListenDialog::Start(&Frame(), bins, 10.0, std::make_unique<AudioPlayer>(NoDevice()));
    dialog->Stop(); // no question follows: nothing is played or offered
    EXPECT_EQ(CListenDialog::Current(), nullptr);
    EXPECT_FALSE(dialog->IsShown());
    wxTheApp->ProcessIdle();
}

TEST_F(ListenTest, ThePaneButtonsFollowTheEffectAndExport) {
    CEffectPane& pane = *Frame().GetEffectPane();
    auto button = [&pane](const char* label) -> wxButton* {
        for (wxWindow* child : pane.GetChildren()) {
            auto* b = dynamic_cast<wxButton*>(child);
            if (b != nullptr && b->GetLabel() == wxString::FromUTF8(label)) {
                return b;
            }
        }
        return nullptr;
    };
    wxButton* exportWav = button("Экспорт WAV...");
    wxButton* listen = button("Прослушать...");
    ASSERT_NE(exportWav, nullptr);
    ASSERT_NE(listen, nullptr);
    pane.UpdateWindowUI(wxUPDATE_UI_RECURSE);
    EXPECT_FALSE(exportWav->IsEnabled());
    EXPECT_FALSE(listen->IsEnabled());

    pane.SetEffect(bins, 10.0, 30.0);
    pane.UpdateWindowUI(wxUPDATE_UI_RECURSE);
    EXPECT_TRUE(exportWav->IsEnabled());
    EXPECT_TRUE(listen->IsEnabled());

    auto press = [](wxButton* b) {
        wxCommandEvent event(wxEVT_BUTTON, b->GetId());
        event.SetEventObject(b);
        b->ProcessWindowEvent(event);
    };
    const std::string out = dir.File("pane.wav");
    ThenSoundFile(CSoundFileDialog::Purpose::SaveWav, out);
    press(exportWav);
    EXPECT_EQ(ReadAudioFile(out).samples.size(), 961u);
    dialogs.Then([](wxDialog& dialog) {
        EXPECT_NE(dynamic_cast<CSoundFileDialog*>(&dialog), nullptr);
        return int(wxID_CANCEL);
    });
    press(listen);
    EXPECT_EQ(CListenDialog::Current(), nullptr);
}

} // namespace sonivera
