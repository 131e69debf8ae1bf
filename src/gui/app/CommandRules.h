#pragma once

namespace sonivera {

// The enable-and-check rules of the commands served by the application shell and the document,
// as small named predicates over plain state. The update-UI handlers evaluate them, so the menus,
// the context menu and both toolbars always show the same state, and the command gate refuses a
// command whose rule says disabled, however it arrives.
namespace rules {

// New, Open, Exit and About are always available.
constexpr bool AlwaysEnabled() {
    return true;
}

// Save, Save As and the two scene dialogs need a scene in the document.
constexpr bool SceneCommandEnabled(bool hasScene) {
    return hasScene;
}

// A recent-file entry (index from 0) is enabled while the list has that many entries; the
// placeholder shown for an empty list is therefore disabled.
constexpr bool RecentFileEnabled(int index, int count) {
    return index >= 0 && index < count;
}

// A bar toggle carries its check mark exactly while its bar is visible, floating or docked.
constexpr bool BarToggleChecked(bool barShown) {
    return barShown;
}

// A command nothing serves (Cut, Copy, Paste, Print, and any command whose server has not set a
// rule) is shown and treated as disabled.
constexpr bool UnservedCommandEnabled() {
    return false;
}

} // namespace rules

} // namespace sonivera
