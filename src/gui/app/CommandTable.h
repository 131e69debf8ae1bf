#pragma once

#include <vector>

namespace sonivera {

// The layout of the main frame's command surfaces: the menu bar, the two toolbars and the
// accelerator table, as lists of command ids (CommandIds.h). The texts live in Strings.h.

// Stands for a separator in the lists below.
inline constexpr int kSeparator = 0;

struct MenuLayout {
    const char* title;      // UTF-8, with the mnemonic
    std::vector<int> items; // command ids and separators, in order
};

// One accelerator: wx accelerator flags, key code, command id.
struct AcceleratorLayout {
    int flags;
    int keyCode;
    int commandId;
};

// The five popups of the menu bar, in order.
const std::vector<MenuLayout>& MainMenuLayout();
// The popup that is also the editor view's context menu.
const MenuLayout& ObjectsMenuLayout();
// The main toolbar's and the scene toolbar's entries, in order.
const std::vector<int>& MainToolbarLayout();
const std::vector<int>& SceneToolbarLayout();
// The keys that act on commands anywhere in the main window.
const std::vector<AcceleratorLayout>& AcceleratorLayouts();

// Every command that appears on a menu or toolbar (the recent files included), each once.
const std::vector<int>& AllCommandIds();
bool IsCommandId(int id);
// Commands whose menu items and buttons carry a check mark (bar toggles and editing tools).
bool IsCheckCommand(int id);

} // namespace sonivera
