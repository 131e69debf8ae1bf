#pragma once

namespace sonivera {

// Numeric identifiers of the commands, resources, dialogs and controls of the editor. Menu items,
// toolbar buttons and accelerators send these command ids; the handlers are found through the
// event tables of the application, the main frame, the document and the view.

enum CommandId : int {
    // Application-level commands.
    ID_APP_ABOUT = 57664,
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_APP_EXIT = 57665,
    ID_FILE_MRU_FILE1 = 57616, // the recent files take 57616 to 57619
    ID_FILE_MRU_FILE4 = 57619,

    // Document commands.
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_SCENE_SIZE_GRID = 32847,
    ID_SCENE_PARAMETERS = 32773,

    // The "&Правка" menu: undo and redo through the document's command processor, and the
    // clipboard commands of the view (the selected rectangle or source).
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    ID_EDIT_CUT = 57635,
    ID_EDIT_COPY = 57634,
    ID_EDIT_PASTE = 57637,

    // A command nothing in the editor serves; always shown disabled.
    ID_FILE_PRINT = 57607,

    // The main frame's bar toggles.
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_SCENE_BAR = 32792,
    ID_VIEW_STATUS_BAR = 59393,
    // Puts both toolbars back where they start (the editing block 33100-33149).
    ID_VIEW_RESET_LAYOUT = 33100,
    ID_VIEW_EFFECT_PANE = 32870, // the "Эффект" pane

    // The editor view's commands.
    ID_ZOOM_IN = 32782,
    ID_ZOOM_OUT = 32783,
    ID_CALC_EFFECT = 32793,
    ID_CHECK_SCENE = 32794,
    ID_TOOL_SELECT = 32850,
    ID_TOOL_MOVE = 32848,
    ID_TOOL_RECT = 32849,
    ID_TOOL_SOURCE = 32852,
    ID_DELETE_OBJECT = 32851,
    ID_OBJECT_PROPERTIES = 32854,

    // Echo paths on the plan (33200–33249).
    ID_VIEW_PATHS = 33200,

    // The acoustic map (33250–33299).
    ID_CALC_MAP = 33250,
    ID_MAP_STOP = 33251,
    ID_VIEW_MAP = 33252,
    ID_VIEW_MAP_FIGURE = 33253,

    // A scene from an architect's drawing (33300–33309).
    ID_FILE_IMPORT_PLAN = 33300,
};

// The number of entries in the recent-file list.
constexpr int kRecentFileCount = ID_FILE_MRU_FILE4 - ID_FILE_MRU_FILE1 + 1;

// Resources: the main frame (menu, accelerators, icon, main toolbar, document template), the scene
// toolbar, and the dialog templates.
enum ResourceId : int {
    IDR_MAINFRAME = 128,
    IDR_SCENE_BAR = 131,
    IDD_ABOUTBOX = 100,
    IDD_SCENE_PARAMS = 133,
    IDD_CALC_EFFECT = 134,
    IDD_RECT_PROPERTIES = 167,
    IDD_SOURCE_PROPERTIES = 168,
    IDD_SCENE_SIZE = 169,
};

// Controls of the scene-size dialog (169).
enum SceneSizeControl : int {
    IDC_SCENE_WIDTH = 1129,
    IDC_SCENE_HEIGHT = 1130,
    IDC_GRID_X = 1134,
    IDC_GRID_Y = 1135,
    IDC_SNAP_TO_GRID = 1136,
};

// Controls of the scene-parameters dialog (133).
enum SceneParamsControl : int {
    IDC_RAY_COUNT = 1000,
    IDC_GROUP_TIME = 1002,
    IDC_PASS_LIMIT = 1003,
    IDC_MEDIUM_ABSORPTION = 1004,
    IDC_STOP_TIME = 1005,
    IDC_STOP_AMPLITUDE = 1006,
    IDC_NO_REFLECTION = 1007,
    IDC_NO_TRANSMISSION = 1008,
    IDC_NORMALIZE = 1009,
};

// Controls of the rectangle's (167) and the sound source's (168) properties dialogs.
enum ObjectPropsControl : int {
    IDC_RECT_ABSORPTION = 1131,
    IDC_RECT_REFLECTION = 1132,
    IDC_SOURCE_POWER = 1133,
};

} // namespace sonivera
