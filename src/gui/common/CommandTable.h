#pragma once

#include "gui/common/CommandContext.h"

#include <span>
#include <vector>

namespace sonivera {

// Every command of the editor declared once, as one row: its id (CommandIds.h), its texts, its
// key, where it stands on the menus and toolbars, and its enable, check and label rules. The
// frame's menu bar, the objects' context menu, both toolbars, the accelerator table and the
// commands' state are all built from these rows; the handler that carries a command out stays
// with the class that serves it (an EVT_MENU entry).

// The popups of the menu bar, in their order; Objects is also the view's context menu.
enum class MenuPlace { None, File, Edit, View, Scene, Objects, Help };
// The toolbars.
enum class BarPlace { None, Main, Scene };

using CommandRule = bool (*)(const CommandContext&);
using CommandLabelRule = wxString (*)(const CommandContext&);

struct CommandDecl {
    int id = 0;
    // UTF-8. The menu item's text with its mnemonic and, after a tab, the key that gives the
    // command anywhere in the main window; the status-bar prompt; the toolbar tooltip.
    const char* label = "";
    const char* prompt = "";
    const char* tooltip = "";
    // A further key for the command that its menu item does not show, or "".
    const char* extraKey = "";
    // The menu item and toolbar button carry a check mark.
    bool check = false;
    // Where the command stands; rows of one popup or bar appear in the order of the table.
    MenuPlace menu = MenuPlace::None;
    bool menuSeparatorBefore = false;
    BarPlace bar = BarPlace::None;
    bool barSeparatorBefore = false;
    // Null `enabled`: nothing serves the command and it is always disabled.
    CommandRule enabled = nullptr;
    CommandRule checked = nullptr;
    CommandLabelRule dynamicLabel = nullptr;
};

// The rows, in menu order.
std::span<const CommandDecl> Commands();
// The row of a command id, or null.
const CommandDecl* FindCommand(int id);
// The state the row's rules give in the context.
CommandState EvaluateCommand(const CommandDecl& command, const CommandContext& context);

// --- Derived from the rows ---

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

// The popups of the menu bar, in order.
const std::vector<MenuLayout>& MainMenuLayout();
// The popup that is also the editor view's context menu.
const MenuLayout& ObjectsMenuLayout();
// The main toolbar's and the scene toolbar's entries, in order.
const std::vector<int>& MainToolbarLayout();
const std::vector<int>& SceneToolbarLayout();
// The keys that act on commands anywhere in the main window.
const std::vector<AcceleratorLayout>& AcceleratorLayouts();

// Every declared command, each once.
const std::vector<int>& AllCommandIds();
bool IsCommandId(int id);
// Commands whose menu items and buttons carry a check mark (bar toggles and editing tools).
bool IsCheckCommand(int id);

} // namespace sonivera
