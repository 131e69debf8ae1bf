#pragma once

class wxButton;

namespace sonivera {

class CEffectPane;

// The "Эффект" pane's sound buttons, added to its button row: "Экспорт WAV..." saves the shown
// effect's impulse response, "Прослушать..." plays a dry sound through it (CListenDialog). Both
// are enabled only while the pane shows an effect.
struct EffectSoundButtons {
    wxButton* exportWav = nullptr;
    wxButton* listen = nullptr;
};

EffectSoundButtons AddEffectSoundButtons(CEffectPane& pane);

} // namespace sonivera
