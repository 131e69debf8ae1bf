// The menu bar, the context menu, the toolbars and the accelerator table as the command rows
// (CommandTable.cpp) place them.
#include "gui/common/CommandIds.h"
#include "gui/common/CommandTable.h"
#include "gui/common/Strings.h"

#include <wx/accel.h>

#include <algorithm>

namespace sonivera {

namespace {

struct MenuTitle {
    MenuPlace place;
    const char* title;
};

// The popups of the menu bar, in order.
constexpr MenuTitle kMenus[] = {
    {MenuPlace::File, text::kMenuFile},       {MenuPlace::Edit, text::kMenuEdit},
    {MenuPlace::View, text::kMenuView},       {MenuPlace::Scene, text::kMenuScene},
    {MenuPlace::Objects, text::kMenuObjects}, {MenuPlace::Help, text::kMenuHelp},
};

MenuLayout MenuOf(const MenuTitle& menu) {
    MenuLayout layout{menu.title, {}};
    for (const CommandDecl& command : Commands()) {
        if (command.menu != menu.place) {
            continue;
        }
        if (command.menuSeparatorBefore && !layout.items.empty()) {
            layout.items.push_back(kSeparator);
        }
        layout.items.push_back(command.id);
    }
    return layout;
}

std::vector<int> BarOf(BarPlace bar) {
    std::vector<int> items;
    for (const CommandDecl& command : Commands()) {
        if (command.bar != bar) {
            continue;
        }
        if (command.barSeparatorBefore && !items.empty()) {
            items.push_back(kSeparator);
        }
        items.push_back(command.id);
    }
    return items;
}

} // namespace

const std::vector<MenuLayout>& MainMenuLayout() {
    static const std::vector<MenuLayout> menus = [] {
        std::vector<MenuLayout> all;
        for (const MenuTitle& menu : kMenus) {
            all.push_back(MenuOf(menu));
        }
        return all;
    }();
    return menus;
}

const MenuLayout& ObjectsMenuLayout() {
    static const MenuLayout menu =
        MenuOf(*std::find_if(std::begin(kMenus), std::end(kMenus),
                             [](const MenuTitle& m) { return m.place == MenuPlace::Objects; }));
    return menu;
}

const std::vector<int>& MainToolbarLayout() {
    static const std::vector<int> items = BarOf(BarPlace::Main);
    return items;
}

const std::vector<int>& SceneToolbarLayout() {
    static const std::vector<int> items = BarOf(BarPlace::Scene);
    return items;
}

const std::vector<AcceleratorLayout>& AcceleratorLayouts() {
    static const std::vector<AcceleratorLayout> keys = [] {
        std::vector<AcceleratorLayout> all;
        auto add = [&all](const char* keyText, int id) {
            wxAcceleratorEntry entry;
            if (entry.FromString(Ui(keyText))) {
                all.push_back({entry.GetFlags(), entry.GetKeyCode(), id});
            }
        };
        for (const CommandDecl& command : Commands()) {
            // The key a menu item shows follows its tab.
            if (std::string_view(command.label).find('\t') != std::string_view::npos) {
                add(command.label, command.id);
            }
            if (*command.extraKey != '\0') {
                add(command.extraKey, command.id);
            }
        }
        return all;
    }();
    return keys;
}

const std::vector<int>& AllCommandIds() {
    static const std::vector<int> ids = [] {
        std::vector<int> all;
        for (const CommandDecl& command : Commands()) {
            all.push_back(command.id);
        }
        return all;
    }();
    return ids;
}

bool IsCommandId(int id) {
    return FindCommand(id) != nullptr;
}

bool IsCheckCommand(int id) {
    const CommandDecl* command = FindCommand(id);
    return command != nullptr && command->check;
}

} // namespace sonivera
