#include "audio/AudioFile.h"

#include "audio/AudioError.h"
#include "audio/AudioLimits.h"
#include "audio/CutShort.h"
#include "core/files/FileError.h"
#include "core/files/InputFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

namespace sonivera {

namespace {

// A file held in memory that libsndfile reads or writes through its virtual I/O.
struct MemoryFile {
    std::vector<std::uint8_t> bytes;
    const std::uint8_t* readData = nullptr; // when reading: the caller's bytes
    sf_count_t size = 0;
    sf_count_t position = 0;
    bool writing = false;
};

sf_count_t MemLength(void* user) {
    return static_cast<MemoryFile*>(user)->size;
}

sf_count_t MemSeek(sf_count_t offset, int whence, void* user) {
    auto* f = static_cast<MemoryFile*>(user);
    sf_count_t base = whence == SEEK_CUR ? f->position : whence == SEEK_END ? f->size : 0;
    sf_count_t target = base + offset;
    if (target < 0)
        return -1;
    f->position = target;
    return target;
}

sf_count_t MemRead(void* ptr, sf_count_t count, void* user) {
    auto* f = static_cast<MemoryFile*>(user);
    if (count <= 0 || f->position >= f->size)
        return 0;
    sf_count_t n = std::min(count, f->size - f->position);
    const std::uint8_t* data = f->writing ? f->bytes.data() : f->readData;
    std::memcpy(ptr, data + f->position, static_cast<std::size_t>(n));
    f->position += n;
    return n;
}

sf_count_t MemWrite(const void* ptr, sf_count_t count, void* user) {
    auto* f = static_cast<MemoryFile*>(user);
    if (!f->writing || count <= 0)
        return 0;
    auto end = static_cast<std::size_t>(f->position + count);
    if (end > f->bytes.size())
        f->bytes.resize(end);
    std::memcpy(f->bytes.data() + f->position, ptr, static_cast<std::size_t>(count));
    f->position += count;
    f->size = std::max(f->size, f->position);
    return count;
}

sf_count_t MemTell(void* user) {
    return static_cast<MemoryFile*>(user)->position;
}

SF_VIRTUAL_IO MemoryIo() {
    return SF_VIRTUAL_IO{MemLength, MemSeek, MemRead, MemWrite, MemTell};
}

struct SndfileCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

AudioError SoundFileError(const std::string& name, const std::string& what) {
    return AudioError(name + ": " + what);
}

// libsndfile's reason without its closing full stop, to sit inside parentheses.
std::string Reason(SNDFILE* file) {
    std::string text = sf_strerror(file);
    while (!text.empty() && (text.back() == '.' || text.back() == ' '))
        text.pop_back();
    return text;
}

// Reads every frame of an open file, checking the header's values before allocating.
AudioBuffer ReadOpened(SNDFILE* file, const SF_INFO& info, const std::string& name) {
    if (!IsSupportedRate(info.samplerate))
        throw SoundFileError(name, "the sample rate " + std::to_string(info.samplerate) +
                                       " Hz is outside " + std::to_string(kMinSampleRate) + "–" +
                                       std::to_string(kMaxSampleRate) + " Hz.");
    if (info.channels < 1 || info.channels > kMaxChannels)
        throw SoundFileError(name, "the channel count " + std::to_string(info.channels) +
                                       " is outside 1–" + std::to_string(kMaxChannels) + ".");
    if (info.frames < 0 || static_cast<unsigned long long>(info.frames) >
                               kMaxSamples / static_cast<unsigned>(info.channels))
        throw SoundFileError(name, "the sound is too long (more than " +
                                       std::to_string(kMaxSamples) + " samples).");

    AudioBuffer sound;
    sound.rate = info.samplerate;
    sound.channels = info.channels;
    sound.samples.resize(static_cast<std::size_t>(info.frames) *
                         static_cast<std::size_t>(info.channels));
    sf_count_t got = sf_readf_float(file, sound.samples.data(), info.frames);
    if (sf_error(file) != SF_ERR_NO_ERROR)
        throw SoundFileError(name, "the sound data are damaged (" + Reason(file) + ").");
    if (got != info.frames)
        throw SoundFileError(name, "the sound data end early (" + std::to_string(got) + " of " +
                                       std::to_string(info.frames) + " frames).");
    // Float files can hold values that are not numbers; they would poison the whole result.
    if (!std::all_of(sound.samples.begin(), sound.samples.end(),
                     [](float s) { return std::isfinite(s); }))
        throw SoundFileError(name, "the sound holds a sample that is not a finite number.");
    return sound;
}

std::string OpenFailure(const std::string& name) {
    return SoundFileError(name, "not a sound file this program can read (" + Reason(nullptr) + ").")
        .what();
}

} // namespace

AudioBuffer ReadAudioFile(const std::string& path) {
    // Through the program's one input reader: only a regular file, never waiting on a FIFO, and
    // no more bytes than the longest sound accepted can take (samples of up to 8 bytes, plus
    // room for the header and other chunks).
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadWholeFile(path, std::uint64_t{kMaxSamples} * 8 + (std::uint64_t{16} << 20));
    } catch (const FileError& e) {
        throw AudioError(e.what());
    }
    return DecodeAudio(bytes, path);
}

AudioBuffer DecodeAudio(std::span<const std::uint8_t> bytes, const std::string& name) {
    if (const auto cut = FindCutShort(bytes)) {
        const std::string unit = cut->frames ? " frames" : " bytes of sound";
        throw SoundFileError(name, "the file ends early: its header announces " +
                                       std::to_string(cut->announced) + unit + ", it holds " +
                                       std::to_string(cut->present) + " (a copy cut short?).");
    }
    MemoryFile memory;
    memory.readData = bytes.data();
    memory.size = static_cast<sf_count_t>(bytes.size());
    SF_VIRTUAL_IO io = MemoryIo();
    SF_INFO info{};
    SndfilePtr file(sf_open_virtual(&io, SFM_READ, &info, &memory));
    if (!file)
        throw AudioError(OpenFailure(name));
    return ReadOpened(file.get(), info, name);
}

std::vector<std::uint8_t> EncodeFloatWav(const AudioBuffer& sound) {
    if (!IsSupportedRate(sound.rate) || sound.channels < 1 || sound.channels > kMaxChannels ||
        sound.samples.size() % static_cast<std::size_t>(sound.channels) != 0)
        throw AudioError("The sound cannot be written: rate " + std::to_string(sound.rate) +
                         " Hz, " + std::to_string(sound.channels) + " channels.");
    MemoryFile memory;
    memory.writing = true;
    SF_VIRTUAL_IO io = MemoryIo();
    SF_INFO info{};
    info.samplerate = sound.rate;
    info.channels = sound.channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    {
        SndfilePtr file(sf_open_virtual(&io, SFM_WRITE, &info, &memory));
        if (!file)
            throw AudioError(std::string("The WAV file cannot be made: ") + sf_strerror(nullptr));
        // Values beyond ±1 are kept as they are: the caller decides about the level.
        sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_FALSE);
        // No peak chunk: it carries the time of writing, and the same sound must give the same
        // bytes on every run.
        sf_command(file.get(), SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
        auto frames = static_cast<sf_count_t>(sound.Frames());
        if (sf_writef_float(file.get(), sound.samples.data(), frames) != frames)
            throw AudioError(std::string("The WAV file cannot be made: ") +
                             sf_strerror(file.get()));
    } // closing writes the final header sizes
    memory.bytes.resize(static_cast<std::size_t>(memory.size));
    return std::move(memory.bytes);
}

} // namespace sonivera
