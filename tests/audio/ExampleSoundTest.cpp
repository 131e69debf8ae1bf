// The committed example dry sound is what its generator makes.
#include "audio/AudioFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace sonivera {

TEST(ExampleSound, MatchesItsGenerator) {
    const auto fresh = std::filesystem::temp_directory_path() /
                       ("sonivera_click_chirp_" + std::to_string(::getpid()) + ".wav");
    const std::string command = std::string(SONIVERA_MAKE_CLICK_CHIRP) + " " + fresh.string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    AudioBuffer made = ReadAudioFile(fresh.string());
    AudioBuffer committed = ReadAudioFile(SONIVERA_EXAMPLES_DIR "/click-chirp.wav");
    std::filesystem::remove(fresh);
    EXPECT_EQ(committed.rate, 48000);
    EXPECT_EQ(committed.channels, 1);
    ASSERT_EQ(committed.samples.size(), made.samples.size());
    // One step of 16 bits, for a sine that rounds differently on another C library.
    for (std::size_t i = 0; i < made.samples.size(); ++i)
        ASSERT_NEAR(committed.samples[i], made.samples[i], 1.0f / 32768) << i;
}

} // namespace sonivera
