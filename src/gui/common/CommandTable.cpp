#include "gui/common/CommandTable.h"

#include "core/edit/ObjectClipboard.h"
#include "core/view/CommandRules.h"
#include "gui/common/CommandIds.h"
#include "gui/common/Strings.h"

#include <algorithm>
#include <array>

namespace sonivera {

namespace {

// --- The rules, as named predicates over the context ---

bool Always(const CommandContext&) {
    return true;
}

// A recent-file entry (from 0) is enabled while the list has that many entries; the placeholder
// shown for an empty list is therefore disabled.
template <int Index> bool RecentFileEnabled(const CommandContext& c) {
    return Index < c.recentFileCount;
}

// Save, Save As and the two scene dialogs need a scene in the document.
bool DocumentHasScene(const CommandContext& c) {
    return c.hasView && c.documentHasScene;
}

// The scene check and the effect calculation need a scene in the view.
bool ViewShowsScene(const CommandContext& c) {
    return c.hasView && c.viewShowsScene;
}

// Nothing is undone, redone or put on the clipboard while a mouse button is held.
bool CanUndo(const CommandContext& c) {
    return c.hasView && c.canUndo && !c.buttonDown;
}

bool CanRedo(const CommandContext& c) {
    return c.hasView && c.canRedo && !c.buttonDown;
}

bool CanCutOrCopy(const CommandContext& c) {
    return c.hasView && CanCopyObject(c.selected) && !c.buttonDown;
}

// Asking the system clipboard on every idle turn would be a round trip to the display server
// each time; a paste of anything else than an object just beeps.
bool CanPaste(const CommandContext& c) {
    return c.hasView && c.viewShowsScene && !c.buttonDown && c.clipboardHasObject;
}

// A bar toggle carries its check mark exactly while its bar is visible.
bool MainBarShown(const CommandContext& c) {
    return c.mainBarShown;
}

bool SceneBarShown(const CommandContext& c) {
    return c.sceneBarShown;
}

bool StatusBarShown(const CommandContext& c) {
    return c.statusBarShown;
}

bool EffectPaneShown(const CommandContext& c) {
    return c.effectPaneShown;
}

bool MapAvailable(const CommandContext& c) {
    return c.hasView && c.mapAvailable;
}

bool MapShown(const CommandContext& c) {
    return c.hasView && c.mapShown;
}

bool MapRunning(const CommandContext& c) {
    return c.hasView && c.mapRunning;
}

bool PathsAvailable(const CommandContext& c) {
    return c.hasView && c.pathsAvailable;
}

bool PathsShown(const CommandContext& c) {
    return c.hasView && c.pathsShown;
}

bool ZoomInEnabled(const CommandContext& c) {
    return c.hasView && CanZoomIn(c.pixelsPerMetre);
}

bool ZoomOutEnabled(const CommandContext& c) {
    return c.hasView && CanZoomOut(c.pixelsPerMetre);
}

bool HasView(const CommandContext& c) {
    return c.hasView;
}

// A tool's command shows its check mark while that tool is current.
template <EditorTool Tool> bool ToolChecked(const CommandContext& c) {
    return c.hasView && IsToolChecked(c.tool, Tool);
}

bool DeleteEnabled(const CommandContext& c) {
    return c.hasView && CanDeleteObject(c.selected);
}

bool PropertiesEnabled(const CommandContext& c) {
    return c.hasView && CanEditProperties(c.selected);
}

// The undo and redo items name the edit they act on ("&Отменить перемещение объекта\tCtrl+Z"),
// or show their plain text.
wxString EditLabel(const char* named, int editKind, int commandId) {
    if (editKind < 0) {
        return Ui(FindCommand(commandId)->label);
    }
    return wxString::Format(Ui(named), Ui(text::EditName(editKind)));
}

wxString UndoLabel(const CommandContext& c) {
    return c.hasView ? EditLabel(text::kUndoNamed, c.canUndo ? c.undoEditKind : -1, ID_EDIT_UNDO)
                     : wxString();
}

wxString RedoLabel(const CommandContext& c) {
    return c.hasView ? EditLabel(text::kRedoNamed, c.canRedo ? c.redoEditKind : -1, ID_EDIT_REDO)
                     : wxString();
}

using M = MenuPlace;
using B = BarPlace;

// clang-format off
const CommandDecl kCommands[] = {
    // "&Файл"
    {.id = ID_FILE_NEW, .label = "Созд&ать\tCtrl+N", .prompt = "Создание нового документа",
     .tooltip = "Создать", .menu = M::File, .bar = B::Main, .enabled = Always},
    {.id = ID_FILE_OPEN, .label = "&Открыть...\tCtrl+O",
     .prompt = "Открытие существующего документа", .tooltip = "Открыть", .menu = M::File,
     .bar = B::Main, .enabled = Always},
    {.id = ID_FILE_SAVE, .label = "&Сохранить\tCtrl+S", .prompt = "Сохранение активного документа",
     .tooltip = "Сохранить", .menu = M::File, .bar = B::Main, .enabled = DocumentHasScene},
    {.id = ID_FILE_SAVE_AS, .label = "Сохранить &как...",
     .prompt = "Сохранение документа под другим именем", .tooltip = "Сохранить как",
     .menu = M::File, .enabled = DocumentHasScene},
    {.id = ID_FILE_IMPORT_PLAN, .label = "&Импорт плана...",
     .prompt = "Создание новой сцены по плану из чертежа DXF", .menu = M::File,
     .enabled = Always},
    // The recent files: the first entry's place on the menu shows the list (or the disabled
    // placeholder when the list is empty).
    {.id = ID_FILE_MRU_FILE1, .label = text::kRecentPlaceholder, .prompt = text::kRecentPrompt,
     .menu = M::File, .menuSeparatorBefore = true, .enabled = RecentFileEnabled<0>},
    {.id = ID_FILE_MRU_FILE1 + 1, .label = text::kRecentPlaceholder,
     .prompt = text::kRecentPrompt, .enabled = RecentFileEnabled<1>},
    {.id = ID_FILE_MRU_FILE1 + 2, .label = text::kRecentPlaceholder,
     .prompt = text::kRecentPrompt, .enabled = RecentFileEnabled<2>},
    {.id = ID_FILE_MRU_FILE4, .label = text::kRecentPlaceholder, .prompt = text::kRecentPrompt,
     .enabled = RecentFileEnabled<3>},
    {.id = ID_APP_EXIT, .label = "В&ыход\tAlt+X", .prompt = "Завершение работы с программой",
     .tooltip = "Выход", .menu = M::File, .menuSeparatorBefore = true, .enabled = Always},

    // "&Правка"
    {.id = ID_EDIT_UNDO, .label = "&Отменить\tCtrl+Z", .prompt = "Отмена последнего действия",
     .tooltip = "Отменить", .menu = M::Edit, .enabled = CanUndo, .dynamicLabel = UndoLabel},
    {.id = ID_EDIT_REDO, .label = "&Повторить\tCtrl+Y",
     .prompt = "Повторение отменённого действия", .tooltip = "Повторить",
     .extraKey = "Ctrl+Shift+Z", .menu = M::Edit, .enabled = CanRedo, .dynamicLabel = RedoLabel},
    {.id = ID_EDIT_CUT, .label = "&Вырезать\tCtrl+X",
     .prompt = "Удаление выделенного объекта с переносом его в буфер обмена",
     .tooltip = "Вырезать", .menu = M::Edit, .menuSeparatorBefore = true, .bar = B::Main,
     .barSeparatorBefore = true, .enabled = CanCutOrCopy},
    {.id = ID_EDIT_COPY, .label = "&Копировать\tCtrl+C",
     .prompt = "Копирование выделенного объекта в буфер обмена", .tooltip = "Копировать",
     .menu = M::Edit, .bar = B::Main, .enabled = CanCutOrCopy},
    {.id = ID_EDIT_PASTE, .label = "Вст&авить\tCtrl+V", .prompt = "Вставка объекта из буфера обмена",
     .tooltip = "Вставить", .menu = M::Edit, .bar = B::Main, .enabled = CanPaste},
    // A button nothing serves: no texts, always disabled.
    {.id = ID_FILE_PRINT, .bar = B::Main, .barSeparatorBefore = true},

    // "&Вид"
    {.id = ID_VIEW_TOOLBAR, .label = "&Основная панель инструментов",
     .prompt = "Отображение основной панели инструментов", .check = true, .menu = M::View,
     .enabled = Always, .checked = MainBarShown},
    {.id = ID_VIEW_SCENE_BAR, .label = "&Панель инструментов \"сцена\"",
     .prompt = "Отображение панели инструментов \"сцена\"", .check = true, .menu = M::View,
     .enabled = Always, .checked = SceneBarShown},
    {.id = ID_VIEW_STATUS_BAR, .label = "&Строка состояния",
     .prompt = "Отображение строки состояния", .check = true, .menu = M::View, .enabled = Always,
     .checked = StatusBarShown},
    {.id = ID_VIEW_EFFECT_PANE, .label = "&Эффект",
     .prompt = "Отображение панели эффекта: эхограмма, кривая спада и показатели", .check = true,
     .menu = M::View, .enabled = Always, .checked = EffectPaneShown},
    {.id = ID_VIEW_RESET_LAYOUT, .label = "&Исходное расположение панелей",
     .prompt = "Возврат панелей инструментов на их исходные места", .menu = M::View,
     .menuSeparatorBefore = true, .enabled = Always},
    {.id = ID_VIEW_PATHS, .label = "Показать пу&ти",
     .prompt = "Показ на плане путей самых сильных эхо последнего расчёта, цвет по задержке",
     .check = true, .menu = M::View, .menuSeparatorBefore = true, .enabled = PathsAvailable,
     .checked = PathsShown},
    {.id = ID_VIEW_MAP, .label = "&Карта",
     .prompt = "Показ под объектами карты показателя, рассчитанной по сетке точек слушателя",
     .check = true, .menu = M::View, .enabled = MapAvailable, .checked = MapShown},
    {.id = ID_VIEW_MAP_FIGURE, .label = "Показатель карт&ы...",
     .prompt = "Выбор показателя, который показывает карта, без нового расчёта",
     .menu = M::View, .enabled = MapAvailable},

    // "&Сцена"
    {.id = ID_SCENE_SIZE_GRID, .label = "&Установить размеры и сетку...\tCtrl+P",
     .prompt = "Установка размеров сцены по горизонтали и вертикали, а также параметров сетки",
     .tooltip = "Установка размеров сцены и сетки", .menu = M::Scene, .bar = B::Scene,
     .enabled = DocumentHasScene},
    {.id = ID_SCENE_PARAMETERS, .label = "Параметры &сцены",
     .prompt = "Установка параметров и свойств сцены", .tooltip = "Установка параметров сцены",
     .menu = M::Scene, .bar = B::Scene, .enabled = DocumentHasScene},
    {.id = ID_ZOOM_IN, .label = "У&величить\tAlt+I",
     .prompt = "Уменьшение масштаба просмотра документа", .tooltip = "Увеличить",
     .menu = M::Scene, .menuSeparatorBefore = true, .bar = B::Scene, .enabled = ZoomInEnabled},
    {.id = ID_ZOOM_OUT, .label = "У&меньшить\tAlt+O",
     .prompt = "Увеличение масштаба просмотра документа", .tooltip = "Уменьшить",
     .menu = M::Scene, .bar = B::Scene, .enabled = ZoomOutEnabled},
    {.id = ID_CALC_EFFECT, .label = "&Рассчёт эффекта\tAlt+C",
     .prompt = "Рассчёт эффекта объёмности звучания", .menu = M::Scene,
     .menuSeparatorBefore = true, .enabled = ViewShowsScene},
    {.id = ID_CHECK_SCENE, .label = "&Проверить сцену",
     .prompt = "Проверка сцены на наличие ошибок", .menu = M::Scene, .enabled = ViewShowsScene},
    {.id = ID_CALC_MAP, .label = "Рассчитать &карту...",
     .prompt = "Расчёт показателей эффекта по сетке точек слушателя на всём плане",
     .tooltip = "Рассчитать карту", .menu = M::Scene, .bar = B::Scene,
     .barSeparatorBefore = true, .enabled = ViewShowsScene},
    {.id = ID_MAP_STOP, .label = "Ос&тановить расчёт карты",
     .prompt = "Остановка расчёта карты; рассчитанные точки остаются", .menu = M::Scene,
     .enabled = MapRunning},

    // "&Работа с объектами", also the view's context menu.
    {.id = ID_TOOL_SELECT, .label = "&Выделение объектов",
     .prompt = "Режим выделения объектов сцены", .tooltip = "Выделение объектов", .check = true,
     .menu = M::Objects, .bar = B::Scene, .enabled = HasView, .checked = ToolChecked<ToolSelect>},
    {.id = ID_TOOL_MOVE, .label = "&Перемещение объектов",
     .prompt = "Режим перемещения объектов сцены", .tooltip = "Перемещение объектов",
     .check = true, .menu = M::Objects, .bar = B::Scene, .enabled = HasView,
     .checked = ToolChecked<ToolMove>},
    {.id = ID_TOOL_RECT, .label = "&Рисование прямоугольников",
     .prompt = "Режим рисования прямоугольников", .tooltip = "Рисование прямоугольников",
     .check = true, .menu = M::Objects, .bar = B::Scene, .enabled = HasView,
     .checked = ToolChecked<ToolDrawRect>},
    {.id = ID_TOOL_SOURCE, .label = "Добавление источника &звука",
     .prompt = "Добавление в сцену источника звука", .tooltip = "Добавление источника звука",
     .check = true, .menu = M::Objects, .bar = B::Scene, .enabled = HasView,
     .checked = ToolChecked<ToolAddSource>},
    {.id = ID_DELETE_OBJECT, .label = "&Удалить объект\tDel",
     .prompt = "Удаление выделенного объекта", .tooltip = "Удаление объекта", .menu = M::Objects,
     .menuSeparatorBefore = true, .bar = B::Scene, .enabled = DeleteEnabled},
    {.id = ID_OBJECT_PROPERTIES, .label = "&Свойства объекта...",
     .prompt = "Установка свойств объекта", .tooltip = "Свойства объекта", .menu = M::Objects,
     .bar = B::Scene, .enabled = PropertiesEnabled},

    // "&Помощь"
    {.id = ID_APP_ABOUT, .label = "&О программе...\tF1",
     .prompt = "Вывод сведений о программе, ее версии и авторских правах",
     .tooltip = "О программе", .menu = M::Help, .bar = B::Main, .barSeparatorBefore = true,
     .enabled = Always},
};
// clang-format on

} // namespace

std::span<const CommandDecl> Commands() {
    return kCommands;
}

const CommandDecl* FindCommand(int id) {
    const auto* found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                     [id](const CommandDecl& c) { return c.id == id; });
    return found == std::end(kCommands) ? nullptr : found;
}

CommandState EvaluateCommand(const CommandDecl& command, const CommandContext& context) {
    CommandState state;
    state.enabled = command.enabled != nullptr && command.enabled(context);
    state.checked = command.checked != nullptr && command.checked(context);
    if (command.dynamicLabel != nullptr) {
        state.text = command.dynamicLabel(context);
    }
    return state;
}

} // namespace sonivera
