#include "gui/app/CommandTable.h"

#include "gui/app/CommandIds.h"
#include "gui/app/Strings.h"

#include <wx/accel.h>
#include <wx/defs.h>

#include <algorithm>

namespace sonivera {

const std::vector<MenuLayout>& MainMenuLayout() {
    static const std::vector<MenuLayout> menus = {
        {text::kMenuFile,
         {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, kSeparator, ID_FILE_MRU_FILE1,
          kSeparator, ID_APP_EXIT}},
        {text::kMenuEdit,
         {ID_EDIT_UNDO, ID_EDIT_REDO, kSeparator, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}},
        {text::kMenuView,
         {ID_VIEW_TOOLBAR, ID_VIEW_SCENE_BAR, ID_VIEW_STATUS_BAR, ID_VIEW_EFFECT_PANE, kSeparator,
          ID_VIEW_RESET_LAYOUT, kSeparator, ID_VIEW_PATHS}},
        {text::kMenuScene,
         {ID_SCENE_SIZE_GRID, ID_SCENE_PARAMETERS, kSeparator, ID_ZOOM_IN, ID_ZOOM_OUT, kSeparator,
          ID_CALC_EFFECT, ID_CHECK_SCENE}},
        ObjectsMenuLayout(),
        {text::kMenuHelp, {ID_APP_ABOUT}},
    };
    return menus;
}

const MenuLayout& ObjectsMenuLayout() {
    static const MenuLayout menu = {text::kMenuObjects,
                                    {ID_TOOL_SELECT, ID_TOOL_MOVE, ID_TOOL_RECT, ID_TOOL_SOURCE,
                                     kSeparator, ID_DELETE_OBJECT, ID_OBJECT_PROPERTIES}};
    return menu;
}

const std::vector<int>& MainToolbarLayout() {
    static const std::vector<int> items = {ID_FILE_NEW,   ID_FILE_OPEN, ID_FILE_SAVE,  kSeparator,
                                           ID_EDIT_CUT,   ID_EDIT_COPY, ID_EDIT_PASTE, kSeparator,
                                           ID_FILE_PRINT, kSeparator,   ID_APP_ABOUT};
    return items;
}

const std::vector<int>& SceneToolbarLayout() {
    static const std::vector<int> items = {
        ID_SCENE_SIZE_GRID, ID_SCENE_PARAMETERS, ID_ZOOM_IN,   ID_ZOOM_OUT,
        ID_TOOL_SELECT,     ID_TOOL_MOVE,        ID_TOOL_RECT, ID_TOOL_SOURCE,
        ID_DELETE_OBJECT,   ID_OBJECT_PROPERTIES};
    return items;
}

const std::vector<AcceleratorLayout>& AcceleratorLayouts() {
    static const std::vector<AcceleratorLayout> keys = {
        {wxACCEL_ALT, 'C', ID_CALC_EFFECT},
        {wxACCEL_ALT, 'I', ID_ZOOM_IN},
        {wxACCEL_ALT, 'O', ID_ZOOM_OUT},
        {wxACCEL_CTRL, 'N', ID_FILE_NEW},
        {wxACCEL_CTRL, 'O', ID_FILE_OPEN},
        {wxACCEL_CTRL, 'S', ID_FILE_SAVE},
        {wxACCEL_CTRL, 'P', ID_SCENE_SIZE_GRID},
        {wxACCEL_NORMAL, WXK_DELETE, ID_DELETE_OBJECT},
        {wxACCEL_NORMAL, WXK_F1, ID_APP_ABOUT},
        {wxACCEL_ALT, 'X', ID_APP_EXIT},
        {wxACCEL_CTRL, 'Z', ID_EDIT_UNDO},
        {wxACCEL_CTRL, 'Y', ID_EDIT_REDO},
        {wxACCEL_CTRL | wxACCEL_SHIFT, 'Z', ID_EDIT_REDO},
        {wxACCEL_CTRL, 'X', ID_EDIT_CUT},
        {wxACCEL_CTRL, 'C', ID_EDIT_COPY},
        {wxACCEL_CTRL, 'V', ID_EDIT_PASTE},
    };
    return keys;
}

const std::vector<int>& AllCommandIds() {
    static const std::vector<int> ids = [] {
        std::vector<int> all;
        auto add = [&all](int id) {
            if (id != kSeparator && std::find(all.begin(), all.end(), id) == all.end()) {
                all.push_back(id);
            }
        };
        for (const auto& menu : MainMenuLayout()) {
            std::for_each(menu.items.begin(), menu.items.end(), add);
        }
        std::for_each(MainToolbarLayout().begin(), MainToolbarLayout().end(), add);
        std::for_each(SceneToolbarLayout().begin(), SceneToolbarLayout().end(), add);
        for (int id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_FILE4; ++id) {
            add(id);
        }
        return all;
    }();
    return ids;
}

bool IsCommandId(int id) {
    const auto& ids = AllCommandIds();
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool IsCheckCommand(int id) {
    switch (id) {
    case ID_VIEW_TOOLBAR:
    case ID_VIEW_SCENE_BAR:
    case ID_VIEW_STATUS_BAR:
    case ID_VIEW_EFFECT_PANE:
    case ID_TOOL_SELECT:
    case ID_TOOL_MOVE:
    case ID_TOOL_RECT:
    case ID_TOOL_SOURCE:
    case ID_VIEW_PATHS:
        return true;
    default:
        return false;
    }
}

} // namespace sonivera
