#include "gui/app/Strings.h"

#include "gui/app/CommandIds.h"
#include "core/edit/SceneEdit.h"

#include <wx/string.h>

namespace sonivera {

namespace text {

CommandTexts TextsOf(int commandId) {
    switch (commandId) {
    case ID_FILE_NEW:
        return {"Созд&ать\tCtrl+N", "Создание нового документа", "Создать"};
    case ID_FILE_OPEN:
        return {"&Открыть...\tCtrl+O", "Открытие существующего документа", "Открыть"};
    case ID_FILE_SAVE:
        return {"&Сохранить\tCtrl+S", "Сохранение активного документа", "Сохранить"};
    case ID_FILE_SAVE_AS:
        return {"Сохранить &как...", "Сохранение документа под другим именем", "Сохранить как"};
    case ID_APP_EXIT:
        return {"В&ыход\tAlt+X", "Завершение работы с программой", "Выход"};
    case ID_VIEW_TOOLBAR:
        return {"&Основная панель инструментов", "Отображение основной панели инструментов", ""};
    case ID_VIEW_SCENE_BAR:
        return {"&Панель инструментов \"сцена\"", "Отображение панели инструментов \"сцена\"", ""};
    case ID_VIEW_STATUS_BAR:
        return {"&Строка состояния", "Отображение строки состояния", ""};
    case ID_VIEW_PATHS:
        return {"Показать пу&ти",
                "Показ на плане путей самых сильных эхо последнего расчёта, цвет по задержке", ""};
    case ID_VIEW_RESET_LAYOUT:
        return {"&Исходное расположение панелей",
                "Возврат панелей инструментов на их исходные места", ""};
    case ID_EDIT_UNDO:
        return {"&Отменить\tCtrl+Z", "Отмена последнего действия", "Отменить"};
    case ID_EDIT_REDO:
        return {"&Повторить\tCtrl+Y", "Повторение отменённого действия", "Повторить"};
    case ID_EDIT_CUT:
        return {"&Вырезать\tCtrl+X", "Удаление выделенного объекта с переносом его в буфер обмена",
                "Вырезать"};
    case ID_EDIT_COPY:
        return {"&Копировать\tCtrl+C", "Копирование выделенного объекта в буфер обмена",
                "Копировать"};
    case ID_EDIT_PASTE:
        return {"Вст&авить\tCtrl+V", "Вставка объекта из буфера обмена", "Вставить"};
    case ID_VIEW_EFFECT_PANE:
        return {"&Эффект", "Отображение панели эффекта: эхограмма, кривая спада и показатели", ""};
    case ID_SCENE_SIZE_GRID:
        return {"&Установить размеры и сетку...\tCtrl+P",
                "Установка размеров сцены по горизонтали и вертикали, а также параметров сетки",
                "Установка размеров сцены и сетки"};
    case ID_SCENE_PARAMETERS:
        return {"Параметры &сцены", "Установка параметров и свойств сцены",
                "Установка параметров сцены"};
    case ID_ZOOM_IN:
        return {"У&величить\tAlt+I", "Уменьшение масштаба просмотра документа", "Увеличить"};
    case ID_ZOOM_OUT:
        return {"У&меньшить\tAlt+O", "Увеличение масштаба просмотра документа", "Уменьшить"};
    case ID_CALC_EFFECT:
        return {"&Рассчёт эффекта\tAlt+C", "Рассчёт эффекта объёмности звучания", ""};
    case ID_CHECK_SCENE:
        return {"&Проверить сцену", "Проверка сцены на наличие ошибок", ""};
    case ID_TOOL_SELECT:
        return {"&Выделение объектов", "Режим выделения объектов сцены", "Выделение объектов"};
    case ID_TOOL_MOVE:
        return {"&Перемещение объектов", "Режим перемещения объектов сцены",
                "Перемещение объектов"};
    case ID_TOOL_RECT:
        return {"&Рисование прямоугольников", "Режим рисования прямоугольников",
                "Рисование прямоугольников"};
    case ID_TOOL_SOURCE:
        return {"Добавление источника &звука", "Добавление в сцену источника звука",
                "Добавление источника звука"};
    case ID_DELETE_OBJECT:
        return {"&Удалить объект\tDel", "Удаление выделенного объекта", "Удаление объекта"};
    case ID_OBJECT_PROPERTIES:
        return {"&Свойства объекта...", "Установка свойств объекта", "Свойства объекта"};
    case ID_APP_ABOUT:
        return {"&О программе...\tF1", "Вывод сведений о программе, ее версии и авторских правах",
                "О программе"};
    default:
        if (commandId >= ID_FILE_MRU_FILE1 && commandId <= ID_FILE_MRU_FILE4) {
            return {kRecentPlaceholder, kRecentPrompt, ""};
        }
        return {};
    }
}

const char* EditName(int editKind) {
    switch (static_cast<EditKind>(editKind)) {
    case EditKind::AddSource:
        return kEditAddSource;
    case EditKind::DrawRect:
        return kEditDrawRect;
    case EditKind::MoveObject:
        return kEditMoveObject;
    case EditKind::DeleteObject:
        return kEditDeleteObject;
    case EditKind::CutObject:
        return kEditCutObject;
    case EditKind::PasteObject:
        return kEditPasteObject;
    case EditKind::ObjectProperties:
        return kEditObjectProperties;
    case EditKind::SceneSize:
        return kEditSceneSize;
    case EditKind::SceneParameters:
        return kEditSceneParameters;
    }
    return "";
}

} // namespace text

wxString Ui(std::string_view utf8) {
    return wxString::FromUTF8(utf8.data(), utf8.size());
}

} // namespace sonivera
