#include "support/AppFixture.h"
#include "support/SceneBytes.h"

#include "core/model/Listener.h"
#include "gui/app/SceneDocManager.h"
#include "gui/common/CommandIds.h"
#include "gui/common/CommandTable.h"
#include "gui/view/C3DView.h"

#include <wx/aui/auibar.h>
#include <wx/clipbrd.h>
#include <wx/statusbr.h>

#include <set>

namespace sonivera {

namespace {

std::string Utf8(const wxString& s) {
    return s.utf8_string();
}

} // namespace

TEST_F(AppTest, StartsWithANewUntitledSceneInTheMainWindow) {
    EXPECT_EQ(Title(), "Untitled - Sonivera");
    EXPECT_TRUE(Frame().IsShown());
    EXPECT_FALSE(Doc().IsModified());
    const SceneSettings* scene = Doc().GetScene();
    ASSERT_NE(scene, nullptr);
    ASSERT_EQ(scene->objects.size(), 1u);
    EXPECT_NE(dynamic_cast<const CListener*>(scene->FirstObject()), nullptr);
    EXPECT_EQ(scene->FirstObject()->m_x, 50.0);
    EXPECT_EQ(scene->FirstObject()->m_y, 50.0);
    EXPECT_EQ(scene->width, 100.0);
    EXPECT_EQ(scene->effect, nullptr);
    // The view shows the document's scene.
    auto* view = wxDynamicCast(App().GetDocManager()->GetCurrentView(), C3DView);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->ShownScene(), scene);
    EXPECT_EQ(view->GetFrame(), &Frame());
}

TEST_F(AppTest, DeleteContentsReleasesTheSceneAndItsCommandsBecomeUnavailable) {
    auto* view = wxDynamicCast(App().GetDocManager()->GetCurrentView(), C3DView);
    ASSERT_NE(view, nullptr);
    view->OnKeyDown(EditorController::Key::Tab); // selects the listener
    ASSERT_EQ(view->Selected(), Doc().GetScene()->FirstObject());
    Doc().DeleteContents();
    EXPECT_EQ(Doc().GetScene(), nullptr);
    EXPECT_EQ(view->ShownScene(), nullptr);
    EXPECT_EQ(view->Selected(), nullptr);
    for (int id : {ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_SCENE_SIZE_GRID, ID_SCENE_PARAMETERS}) {
        EXPECT_FALSE(MenuItem(id)->IsEnabled()) << id;
        Command(id); // refused by the gate: no dialog, no crash
    }
    Command(ID_FILE_NEW);
    ASSERT_NE(Doc().GetScene(), nullptr);
    EXPECT_EQ(view->ShownScene(), Doc().GetScene());
}

TEST_F(AppTest, BarsStartDockedWithTheirCaptionsAndTheStatusBarHasThreePanes) {
    const wxAuiPaneInfo& main = Frame().GetAuiManager().GetPane(CMainFrame::kMainBarPane);
    const wxAuiPaneInfo& scene = Frame().GetAuiManager().GetPane(CMainFrame::kSceneBarPane);
    EXPECT_TRUE(main.IsShown() && main.IsDocked() && main.IsToolbar());
    EXPECT_EQ(main.dock_direction, wxAUI_DOCK_TOP);
    EXPECT_EQ(Utf8(main.caption), "Основная");
    EXPECT_TRUE(scene.IsShown() && scene.IsDocked());
    EXPECT_EQ(scene.dock_direction, wxAUI_DOCK_BOTTOM);
    EXPECT_EQ(Utf8(scene.caption), "Сцена");
    for (const wxAuiPaneInfo* pane : {&main, &scene}) {
        EXPECT_TRUE(pane->IsTopDockable() && pane->IsBottomDockable() && pane->IsLeftDockable() &&
                    pane->IsRightDockable() && pane->IsFloatable());
    }

    wxStatusBar* status = Frame().GetStatusBar();
    ASSERT_NE(status, nullptr);
    ASSERT_EQ(status->GetFieldsCount(), 3);
    EXPECT_EQ(status->GetStatusWidth(0), -1);
    // 100 pixels, or wide enough for the view's widest texts in the status bar's font.
    for (int pane : {1, 2}) {
        EXPECT_GE(status->GetStatusWidth(pane), 100);
        EXPECT_GE(status->GetStatusWidth(pane),
                  status
                      ->GetTextExtent(pane == 1 ? "x = 1000.0, y = 1000.0"
                                                : wxString::FromUTF8("Масштаб 1:4.286"))
                      .x);
    }
    EXPECT_EQ(status->GetStatusStyle(0), wxSB_FLAT);
    EXPECT_EQ(status->GetStatusStyle(1), wxSB_SUNKEN);
    EXPECT_EQ(status->GetStatusStyle(2), wxSB_SUNKEN);
    EXPECT_EQ(Utf8(status->GetStatusText(0)), "Готово");

    EXPECT_TRUE(MenuItem(ID_VIEW_TOOLBAR)->IsChecked());
    EXPECT_TRUE(MenuItem(ID_VIEW_SCENE_BAR)->IsChecked());
    EXPECT_TRUE(MenuItem(ID_VIEW_STATUS_BAR)->IsChecked());
}

// The menu bar and both toolbars as built, one line per item: a popup's title, then each item's
// label (mnemonic and key), check mark and prompt; a toolbar's buttons by id with check mark,
// tooltip and prompt; "-" for a separator.
static std::vector<std::string> CommandSurfaces(CMainFrame& frame) {
    std::vector<std::string> lines;
    wxMenuBar* bar = frame.GetMenuBar();
    for (size_t m = 0; m < bar->GetMenuCount(); ++m) {
        lines.push_back(Utf8(bar->GetMenuLabel(m)));
        for (const wxMenuItem* item : bar->GetMenu(m)->GetMenuItems()) {
            lines.push_back(item->IsSeparator() ? "  -"
                                                : "  " + Utf8(item->GetItemLabel()) +
                                                      (item->IsCheckable() ? " [x]" : "") + " | " +
                                                      Utf8(item->GetHelp()));
        }
    }
    for (wxAuiToolBar* toolbar : {frame.GetMainBar(), frame.GetSceneBar()}) {
        lines.push_back("bar");
        for (size_t i = 0; i < toolbar->GetToolCount(); ++i) {
            const wxAuiToolBarItem* tool = toolbar->FindToolByIndex(static_cast<int>(i));
            lines.push_back(tool->GetKind() == wxITEM_SEPARATOR
                                ? "  -"
                                : "  " + std::to_string(tool->GetId()) +
                                      (tool->GetKind() == wxITEM_CHECK ? " [x]" : "") + " " +
                                      Utf8(tool->GetShortHelp()) + " | " +
                                      Utf8(tool->GetLongHelp()));
        }
    }
    return lines;
}

TEST_F(AppTest, MenuBarAndToolbarsHoldExactlyTheseItems) {
    const std::vector<std::string> expected = {
        "&Файл",
        "  Созд&ать\tCtrl+N | Создание нового документа",
        "  &Открыть...\tCtrl+O | Открытие существующего документа",
        "  &Сохранить\tCtrl+S | Сохранение активного документа",
        "  Сохранить &как... | Сохранение документа под другим именем",
        "  -",
        "  Недавно открытый файл | Открытие данного документа",
        "  -",
        "  В&ыход\tAlt+X | Завершение работы с программой",
        "Пр&авка",
        "  &Отменить\tCtrl+Z | Отмена последнего действия",
        "  &Повторить\tCtrl+Y | Повторение отменённого действия",
        "  -",
        "  &Вырезать\tCtrl+X | Удаление выделенного объекта с переносом его в буфер обмена",
        "  &Копировать\tCtrl+C | Копирование выделенного объекта в буфер обмена",
        "  Вст&авить\tCtrl+V | Вставка объекта из буфера обмена",
        "&Вид",
        "  &Основная панель инструментов [x] | Отображение основной панели инструментов",
        "  &Панель инструментов \"сцена\" [x] | Отображение панели инструментов \"сцена\"",
        "  &Строка состояния [x] | Отображение строки состояния",
        "  &Эффект [x] | Отображение панели эффекта: эхограмма, кривая спада и показатели",
        "  -",
        "  &Исходное расположение панелей | Возврат панелей инструментов на их исходные места",
        "  -",
        "  Показать пу&ти [x] | Показ на плане путей самых сильных эхо последнего расчёта, цвет "
        "по задержке",
        "  &Карта [x] | Показ под объектами карты показателя, рассчитанной по сетке точек "
        "слушателя",
        "  Показатель карт&ы... | Выбор показателя, который показывает карта, без нового расчёта",
        "&Сцена",
        "  &Установить размеры и сетку...\tCtrl+P | Установка размеров сцены по горизонтали и "
        "вертикали, а также параметров сетки",
        "  Параметры &сцены | Установка параметров и свойств сцены",
        "  -",
        "  У&величить\tAlt+I | Уменьшение масштаба просмотра документа",
        "  У&меньшить\tAlt+O | Увеличение масштаба просмотра документа",
        "  -",
        "  &Рассчёт эффекта\tAlt+C | Рассчёт эффекта объёмности звучания",
        "  &Проверить сцену | Проверка сцены на наличие ошибок",
        "  Рассчитать &карту... | Расчёт показателей эффекта по сетке точек слушателя на всём "
        "плане",
        "  Ос&тановить расчёт карты | Остановка расчёта карты; рассчитанные точки остаются",
        "&Работа с объектами",
        "  &Выделение объектов [x] | Режим выделения объектов сцены",
        "  &Перемещение объектов [x] | Режим перемещения объектов сцены",
        "  &Рисование прямоугольников [x] | Режим рисования прямоугольников",
        "  Добавление источника &звука [x] | Добавление в сцену источника звука",
        "  -",
        "  &Удалить объект\tDel | Удаление выделенного объекта",
        "  &Свойства объекта... | Установка свойств объекта",
        "&Помощь",
        "  &О программе...\tF1 | Вывод сведений о программе, ее версии и авторских правах",
        "bar",
        "  57600 Создать | Создание нового документа",
        "  57601 Открыть | Открытие существующего документа",
        "  57603 Сохранить | Сохранение активного документа",
        "  -",
        "  57635 Вырезать | Удаление выделенного объекта с переносом его в буфер обмена",
        "  57634 Копировать | Копирование выделенного объекта в буфер обмена",
        "  57637 Вставить | Вставка объекта из буфера обмена",
        "  -",
        "  57607  | ",
        "  -",
        "  57664 О программе | Вывод сведений о программе, ее версии и авторских правах",
        "bar",
        "  32847 Установка размеров сцены и сетки | Установка размеров сцены по горизонтали и "
        "вертикали, а также параметров сетки",
        "  32773 Установка параметров сцены | Установка параметров и свойств сцены",
        "  32782 Увеличить | Уменьшение масштаба просмотра документа",
        "  32783 Уменьшить | Увеличение масштаба просмотра документа",
        "  -",
        "  33250 Рассчитать карту | Расчёт показателей эффекта по сетке точек слушателя на всём "
        "плане",
        "  32850 [x] Выделение объектов | Режим выделения объектов сцены",
        "  32848 [x] Перемещение объектов | Режим перемещения объектов сцены",
        "  32849 [x] Рисование прямоугольников | Режим рисования прямоугольников",
        "  32852 [x] Добавление источника звука | Добавление в сцену источника звука",
        "  32851 Удаление объекта | Удаление выделенного объекта",
        "  32854 Свойства объекта | Установка свойств объекта",
    };
    EXPECT_EQ(CommandSurfaces(Frame()), expected);
    // The menu bar's mnemonics are unique, so each Alt+letter opens one menu.
    std::set<std::string> letters;
    for (const std::string& line : expected) {
        const auto amp = line.find('&');
        if (line.empty() || line[0] == ' ' || amp == std::string::npos) {
            continue;
        }
        const wxString letter = wxString::FromUTF8(line.substr(amp + 1)).Left(1).Lower();
        EXPECT_TRUE(letters.insert(letter.utf8_string()).second) << line;
    }
    EXPECT_EQ(letters.size(), 6u);
}

TEST_F(AppTest, CommandsShowTheStateOfTheirRulesOnMenusAndToolbarsAlike) {
    Frame().UpdateCommandUI();
    for (int id :
         {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_APP_EXIT, ID_SCENE_SIZE_GRID,
          ID_SCENE_PARAMETERS, ID_APP_ABOUT, ID_CALC_EFFECT, ID_CHECK_SCENE}) {
        EXPECT_TRUE(MenuItem(id)->IsEnabled()) << id;
    }
    // The view's commands at start-up: the select tool checked, at the largest zoom, nothing
    // selected.
    for (int id : {ID_ZOOM_OUT, ID_TOOL_SELECT, ID_TOOL_MOVE, ID_TOOL_RECT, ID_TOOL_SOURCE}) {
        EXPECT_TRUE(MenuItem(id)->IsEnabled()) << id;
    }
    EXPECT_TRUE(MenuItem(ID_TOOL_SELECT)->IsChecked());
    for (int id : {ID_ZOOM_IN, ID_DELETE_OBJECT, ID_OBJECT_PROPERTIES, ID_EDIT_UNDO, ID_EDIT_REDO,
                   ID_EDIT_CUT, ID_EDIT_COPY}) {
        EXPECT_FALSE(MenuItem(id)->IsEnabled()) << id;
    }
    // "Вставить" only while the clipboard holds an object (asked when the window gains focus or a
    // menu opens): plain text is none.
    {
        wxClipboardLocker lock;
        ASSERT_TRUE(!!lock);
        wxTheClipboard->SetData(new wxTextDataObject("plain text"));
    }
    Frame().ClipboardChanged();
    Frame().UpdateCommandUI();
    EXPECT_FALSE(MenuItem(ID_EDIT_PASTE)->IsEnabled());
    EXPECT_FALSE(MenuItem(ID_FILE_MRU_FILE1)->IsEnabled()); // the empty list's placeholder
    for (wxAuiToolBar* bar : {Frame().GetMainBar(), Frame().GetSceneBar()}) {
        for (size_t i = 0; i < bar->GetToolCount(); ++i) {
            const int id = bar->FindToolByIndex(static_cast<int>(i))->GetId();
            if (id == -1 ||
                bar->FindToolByIndex(static_cast<int>(i))->GetKind() == wxITEM_SEPARATOR) {
                continue;
            }
            const bool expected = Frame().QueryCommand(id).enabled;
            EXPECT_EQ(bar->GetToolEnabled(id), expected) << id;
            if (wxMenuItem* item = Frame().GetMenuBar()->FindItem(id)) {
                EXPECT_EQ(item->IsEnabled(), expected) << id;
            }
        }
    }
    // Print stays unserved: disabled and without texts.
    EXPECT_FALSE(Frame().GetMainBar()->GetToolEnabled(ID_FILE_PRINT));
    EXPECT_TRUE(Frame().GetMainBar()->GetToolShortHelp(ID_FILE_PRINT).empty());
    EXPECT_TRUE(Frame().GetMainBar()->GetToolLongHelp(ID_FILE_PRINT).empty());
    EXPECT_EQ(Utf8(Frame().GetMainBar()->GetToolShortHelp(ID_EDIT_PASTE)), "Вставить");
    EXPECT_EQ(Utf8(Frame().GetMainBar()->GetToolShortHelp(ID_FILE_NEW)), "Создать");
    EXPECT_EQ(Utf8(Frame().GetSceneBar()->GetToolShortHelp(ID_OBJECT_PROPERTIES)),
              "Свойства объекта");
}

TEST_F(AppTest, CommandLineOpensTheNamedScene) {
    App().ShutDown();
    ASSERT_TRUE(Start({DataFile("three-objects.3d")}));
    EXPECT_EQ(Title(), "three-objects.3d - Sonivera");
    EXPECT_EQ(Doc().GetScene()->objects.size(), 3u);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(AppTest, CommandLineFileThatCannotBeOpenedEndsTheProgramAfterTheMessage) {
    App().ShutDown();
    const std::string missing = dir.File("missing.3d");
    dialogs.ThenMessage(missing);
    EXPECT_FALSE(Start({missing}));
    EXPECT_EQ(App().GetMainFrame(), nullptr);
    EXPECT_EQ(App().GetDocManager(), nullptr);
}

TEST_F(AppTest, CommandLineFileOfAnotherFormatEndsTheProgramAfterTheMessage) {
    App().ShutDown();
    const std::string path = WriteFile(dir.File("lower.3d"), LowerCaseTagScene());
    dialogs.ThenMessage("Unexpected file format.");
    EXPECT_FALSE(Start({path}));
    EXPECT_EQ(App().GetMainFrame(), nullptr);
}

TEST(SceneFileArgument, IsTheFirstArgumentThatIsNotASwitch) {
    auto arg = [](std::initializer_list<const char*> list) {
        wxArrayString args;
        for (const char* a : list) {
            args.push_back(a);
        }
        return C3DApp::SceneFileArgument(args).utf8_string();
    };
    EXPECT_EQ(arg({}), "");
    EXPECT_EQ(arg({"-v", "/tmp/a.3d", "b.3d"}), "/tmp/a.3d");
    EXPECT_EQ(arg({"--", "-odd.3d"}), "-odd.3d");
    wxArrayString several;
    for (const char* a : {"a.3d", "-v", "b.3d", "--", "-c.3d"}) {
        several.push_back(a);
    }
    const wxArrayString files = C3DApp::SceneFileArguments(several);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[1], "b.3d");
    EXPECT_EQ(files[2], "-c.3d");
}

} // namespace sonivera
