// Playback: the no-device path through the real player, and the block the playback thread fills.
#include "audio/AudioError.h"
#include "audio/AudioPlayer.h"

#include <gtest/gtest.h>

namespace sonivera {

TEST(AudioPlayer, WithoutADeviceSaysSoAndPlaysNothing) {
    AudioPlayer player([] { return -1; });
    AudioBuffer sound{48000, 1, std::vector<float>(480, 0.5f)};
    EXPECT_THROW(player.Play(sound), NoAudioDeviceError);
    EXPECT_FALSE(player.IsPlaying());
    player.Stop(); // harmless when nothing plays
    EXPECT_EQ(player.FramesPlayed(), 0u);
}

TEST(AudioPlayer, BlocksCarryTheSoundThenSilence) {
    AudioBuffer sound{48000, 3, {1, 2, 3, 4, 5, 6}}; // two frames of three channels
    std::vector<float> out(6, -9.0f);
    // Two output channels: the third is left out; past the end comes silence.
    EXPECT_EQ(FillPlaybackBlock(sound, 1, out.data(), 3, 2), 1u);
    EXPECT_EQ(out, (std::vector<float>{4, 5, 0, 0, 0, 0}));
    EXPECT_EQ(FillPlaybackBlock(sound, 2, out.data(), 3, 2), 0u);
}

} // namespace sonivera
