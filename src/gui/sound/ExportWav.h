#pragma once

#include <span>

class wxWindow;

namespace sonivera {

struct AudioBuffer;
struct EffectResponseSource;

// The sample rate of the impulse response the editor exports.
inline constexpr int kExportRate = 48000;

// "Экспорт WAV...": asks for a file and writes the effect's impulse response there (32-bit float
// WAV at kExportRate: the calculation's echoes at their own samples when it kept them, else bin i
// at sample round(i·g·rate/1000)) through the program's file writer. A refusal (bins that cannot
// be sampled) or a write failure is reported over `parent`; any earlier file stays intact. True
// when a file was written.
bool ExportImpulseResponse(wxWindow* parent, const EffectResponseSource& source);
bool ExportImpulseResponse(wxWindow* parent, std::span<const double> bins, double groupTime);

// Asks for a WAV file and writes the sound there (32-bit float), reporting a failure. True when
// a file was written.
bool SaveSoundAsWav(wxWindow* parent, const AudioBuffer& sound);

} // namespace sonivera
