// A whole calculation on small scenes decoded from the fuzzer's bytes: the scene check, the
// effect and its file, as `sonivera-cli effect` runs them. Coordinates and sizes lie on a 5 cm
// lattice within 12.75 m, so that touching rectangles, shared corners and sources on edges come
// up often. The work per input is bounded: at most 8 objects, 16 rays and a stop distance of
// 30 m, and a calculation still running after a second is cancelled (the cancellation is then
// part of what is tested: one that does not reach the running loop shows as a timeout). Only a
// crash, a sanitizer report or an unexpected exception is a finding; an effect that is not
// finite must be refused with its own error.
#include "core/calc/SceneCheck.h"
#include "core/model/RectObject.h"
#include "core/model/SoundSource.h"
#include "core/tracer/ComputeEffect.h"
#include "core/tracer/EffectFile.h"
#include "core/tracer/EffectFinite.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

using namespace sonivera;

namespace {

// Reads the input one byte at a time, zeros once it is used up.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::uint8_t Next() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    bool Done() const { return m_pos >= m_size; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// A coefficient: one of the values where the arithmetic changes its course, or a fraction.
double Coefficient(std::uint8_t b) {
    static const double special[] = {0.0, 1.0, 0.5, 1e-300, 2.0, 1e6};
    return b < 6 ? special[b] : (b - 6) / 249.0;
}

std::unique_ptr<SceneSettings> DecodeScene(ByteReader& in) {
    auto scene = MakeDefaultScene();
    const std::uint8_t flags = in.Next();
    scene->params.noTransmission = (flags & 1) != 0;
    scene->params.noReflection = (flags & 2) != 0;
    scene->params.normalize = (flags & 4) != 0;
    scene->params.rayCount = 1 + in.Next() % 16;
    scene->params.stopTime = in.Next() * (100.0 / 255.0); // ms; at most 30 m of path
    scene->params.groupTime = 0.05 + in.Next() * 0.05;
    scene->params.stopAmplitude = Coefficient(in.Next()) * 0.01;
    scene->params.passAbsorptionLimit = Coefficient(in.Next()) * 10.0;
    scene->params.mediumAbsorption = Coefficient(in.Next()) * 0.01;
    scene->FirstObject()->m_x = in.Next() * 0.05;
    scene->FirstObject()->m_y = in.Next() * 0.05;
    for (int i = 0; i < 7 && !in.Done(); ++i) {
        const std::uint8_t kind = in.Next();
        const double x = in.Next() * 0.05;
        const double y = in.Next() * 0.05;
        if (kind % 3 == 0) {
            auto* source = scene->Add<CSoundSource>();
            source->m_x = x;
            source->m_y = y;
            source->m_power = Coefficient(in.Next());
        } else {
            auto* rect = scene->Add<CRectObject>();
            rect->m_x = x;
            rect->m_y = y;
            rect->m_width = in.Next() * 0.05;
            rect->m_height = in.Next() * 0.05;
            rect->m_absorption = Coefficient(in.Next());
            rect->m_reflection = Coefficient(in.Next());
        }
    }
    return scene;
}

// Sets the cancel flag of a calculation that runs past its deadline.
class Watchdog {
public:
    Watchdog() : m_thread([this] { Run(); }) {}
    ~Watchdog() {
        m_quit = true;
        m_thread.join();
    }
    void Arm(std::chrono::milliseconds budget) {
        m_cancel = false;
        m_deadline = (Clock::now() + budget).time_since_epoch().count();
    }
    void Disarm() { m_deadline = kNever; }
    const std::atomic<bool>* Flag() const { return &m_cancel; }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::rep kNever = Clock::rep(INT64_MAX);

    void Run() {
        while (!m_quit) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (Clock::now().time_since_epoch().count() > m_deadline) {
                m_cancel = true;
            }
        }
    }

    std::atomic<bool> m_cancel{false};
    std::atomic<Clock::rep> m_deadline{kNever};
    std::atomic<bool> m_quit{false};
    std::thread m_thread;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Watchdog watchdog;
    ByteReader in(data, size);
    const auto scene = DecodeScene(in);
    FindFirstSceneError(scene->objects); // the check runs on every scene, clean or not
    EffectOptions options;
    options.threads = 1;
    options.cancel = watchdog.Flag();
    watchdog.Arm(std::chrono::milliseconds(1000));
    try {
        ComputeEffect(*scene, nullptr, options);
        watchdog.Disarm();
        const auto expected = kEffectHeaderSize + 8 * static_cast<std::size_t>(scene->effectCount);
        if (SaveEffectToBytes(*scene).size() != expected) {
            std::abort();
        }
    } catch (const EffectCancelled&) {
        watchdog.Disarm();
    } catch (const EffectParameterError&) {
        watchdog.Disarm();
    } catch (const EffectNotFiniteError&) {
        // Coefficients above 1 can make amplitudes overflow; such an effect is never written.
        watchdog.Disarm();
    }
    return 0;
}
