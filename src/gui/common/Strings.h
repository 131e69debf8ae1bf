#pragma once

#include <string_view>

class wxString;

namespace sonivera {

// Every text the editor shows, in UTF-8. A text becomes a wxString only through Ui(), which
// decodes it as UTF-8 whatever the C locale says.
namespace text {

// Application and settings.
inline constexpr const char* kAppTitle = "Sonivera";
inline constexpr const char* kSettingsVendor = "ЛИРО";
inline constexpr const char* kRecentFileGroup = "Recent File List";
inline constexpr const char* kRecentFileEntry = "File%d"; // numbered from 1
inline constexpr const char* kUntitled = "Untitled";
inline constexpr const char* kTitleSeparator = " - ";

// Main frame.
inline constexpr const char* kReady = "Готово";
inline constexpr const char* kMainBarCaption = "Основная";
inline constexpr const char* kSceneBarCaption = "Сцена";
inline constexpr const char* kMenuFile = "&Файл";
inline constexpr const char* kMenuEdit = "Пр&авка"; // Alt+П stays with "&Помощь"
inline constexpr const char* kMenuView = "&Вид";
inline constexpr const char* kMenuScene = "&Сцена";
inline constexpr const char* kMenuObjects = "&Работа с объектами";
inline constexpr const char* kMenuHelp = "&Помощь";
inline constexpr const char* kRecentPlaceholder = "Недавно открытый файл";
inline constexpr const char* kRecentPrompt = "Открытие данного документа";

// Echo paths on the plan: the legend and the hovered path's description (delay in ms, level in
// dB, reflections, passages).
inline constexpr const char* kPathsLegendTitle = "Задержка пути";
// The acoustic map.
inline constexpr const char* kMapDialogTitle = "Расчёт карты";
inline constexpr const char* kMapStepX = "Шаг по X, м:";
inline constexpr const char* kMapStepY = "Шаг по Y, м:";
inline constexpr const char* kMapFigure = "Показатель:";
// The map's steps: a number of metres, a comma or a point before the decimals.
inline constexpr const char* kMapStepRefused =
    "Шаг карты — число метров от 0,1 до 1000 (например 0,5).";
inline constexpr const char* kMapStepTooLong =
    "Шаг карты длиннее стороны сцены: ни одна клетка не помещается целиком. Возьмите шаг не "
    "больше %g м.";
inline constexpr const char* kMapTooManyPoints =
    "Карта с таким шагом имела бы %.0f точек; можно не больше 1000000. Возьмите шаг крупнее.";
inline constexpr const char* kMapFigureTitle = "Показатель карты";
inline constexpr const char* kMapFigureQuestion = "Какой показатель показать на карте?";
inline constexpr const char* kMapProgress = "Карта: %d %%";
inline constexpr const char* kMapRemaining = ", осталось %s";
inline constexpr const char* kMapStopButton = "Стоп";
inline constexpr const char* kMapStaleLegend = "(устарела)";
inline constexpr const char* kMapStopped = "Расчёт карты остановлен";
inline constexpr const char* kMapDone = "Карта рассчитана";
inline constexpr const char* kMapNoSound =
    "Карта рассчитана, но звук не доходит ни до одной точки (нет источников звука?)";
inline constexpr const char* kMapAllRefused =
    "Карта не рассчитана: проверка сцены отвергла все её точки";
inline constexpr const char* kMapFailed = "Карта не рассчитана: %s";
inline constexpr const char* kMapNotYet = "Карта (%s; %s): ещё не рассчитана";
inline constexpr const char* kMillisecondsSuffix = " мс";
inline constexpr const char* kPathHoverFormat =
    "Путь: задержка %s мс, уровень %s дБ, отражений %d, прохождений %d";

// Undo and redo: the items name what they undo ("Отменить перемещение объекта"); the name of an
// edit is in the accusative, as it follows the verb. %s is the name, the accelerator follows.
inline constexpr const char* kUndoNamed = "&Отменить %s\tCtrl+Z";
inline constexpr const char* kRedoNamed = "&Повторить %s\tCtrl+Y";
inline constexpr const char* kEditAddSource = "добавление источника звука";
inline constexpr const char* kEditDrawRect = "рисование прямоугольника";
inline constexpr const char* kEditMoveObject = "перемещение объекта";
inline constexpr const char* kEditDeleteObject = "удаление объекта";
inline constexpr const char* kEditCutObject = "вырезание объекта";
inline constexpr const char* kEditPasteObject = "вставку объекта";
inline constexpr const char* kEditObjectProperties = "изменение свойств объекта";
inline constexpr const char* kEditSceneSize = "изменение размеров сцены и сетки";
inline constexpr const char* kEditSceneParameters = "изменение параметров сцены";
// The effect pane.
inline constexpr const char* kEffectPaneCaption = "Эффект";
inline constexpr const char* kEffectDbSwitch = "дБ";
inline constexpr const char* kEffectOnsetLabel = "Начало (t₀), дБ от пика:";
inline constexpr const char* kEffectOnsetHint =
    "Время отсчёта (t₀): первый бин, чей уровень не ниже пика минус столько дБ";

// Files.
inline constexpr const char* kSceneFilterName = "Файлы эффекта объёмности (*.3d)";
inline constexpr const char* kSceneFilterPattern = "*.3d";
inline constexpr const char* kSceneExtension = "3d";
inline constexpr const char* kAllFilesFilterName = "All Files (*.*)";
inline constexpr const char* kAllFilesPattern = "*";
inline constexpr const char* kOpenTitle = "Open";
inline constexpr const char* kSaveAsTitle = "Save As";
// The document template's type names: the new-file type name, and the view type name (the
// registered type name; no shell registration is made).
inline constexpr const char* kDocTypeName = "Vorta";
inline constexpr const char* kViewTypeName = "Sonivera Document";
inline constexpr const char* kSaveChanges = "Save changes to %s?";
// Its buttons, in this order, with their mnemonics.
inline constexpr const char* kYesButton = "&Yes";
inline constexpr const char* kNoButton = "&No";
inline constexpr const char* kCancelButton = "Cancel";
inline constexpr const char* kReplaceExisting = "%s already exists.\nDo you want to replace it?";
inline constexpr const char* kSaveFailed = "The scene was not saved.\n%s";
// A double-click on the map: the hint in the read-out, and the refusal inside a rectangle.
inline constexpr const char* kMapDoubleClickHint = " [двойной щелчок — слушатель сюда]";
inline constexpr const char* kMapListenerInside =
    "Слушателя нельзя перенести внутрь прямоугольника";

// Importing a plan from a DXF drawing.
inline constexpr const char* kImportPlanTitle = "Импорт плана";
inline constexpr const char* kDrawingFilter = "Чертежи DXF (*.dxf)|*.dxf;*.DXF";
inline constexpr const char* kImportPlanFailed = "План не импортирован.\n%s: %s";
inline constexpr const char* kImportPlanProgress = "Чтение чертежа...";
inline constexpr const char* kImportPlanOpen = "Открыть как новую сцену";
inline constexpr const char* kImportPlanHeading =
    "Сцена %s × %s м, %zu прямоугольников; слушатель в точке (%s, %s).";
inline constexpr const char* kImportPlanUnits = "Чертёж %s, единицы: %s (1 единица = %s м).";
inline constexpr const char* kImportPlanNoVersion = "без указания версии";
inline constexpr const char* kImportPlanTaken = "Взято:";
inline constexpr const char* kImportPlanLeft = "Не взято:";
inline constexpr const char* kImportPlanNone = "  ничего";
inline constexpr const char* kImportPlanItem = "  %zu × %s, слой %s";
inline constexpr const char* kImportPlanAllDrawn = "Всё, что было запрошено, нарисовано.";
inline constexpr const char* kImportPlanSomeLeft = "Не взято объектов чертежа: %zu (см. выше).";

// A save of the file being opened was ended half-way and left a whole copy of the old content.
inline constexpr const char* kOldCopyCaption = "Прерванное сохранение";
inline constexpr const char* kOldCopyFound =
    "Сохранение файла %s было прервано, и в нём может оказаться смесь старого и нового "
    "содержимого.\nПрежнее содержимое сохранено целиком в %s.\n\nОткрыть прежнее содержимое? "
    "При сохранении оно заменит файл, а копия будет удалена.";

// Common dialog buttons and boxes.
inline constexpr const char* kOk = "OK";
inline constexpr const char* kCancel = "Отмена";

// About box.
inline constexpr const char* kAboutTitle = "О программе...";
inline constexpr const char* kAboutWork =
    "Редактор двумерных акустических сцен и расчёт эффекта объёмности звучания";
inline constexpr const char* kAboutProgram = "Sonivera, версия %s";
inline constexpr const char* kAboutAuthor = "Автор: лаборатория ЛИРО";
inline constexpr const char* kAboutYear = "2026";

// Scene size and grid dialog (169).
inline constexpr const char* kSceneSizeTitle = "Установка размеров сцены и сетки";
inline constexpr const char* kSceneWidthLabel = "Размер по горизонтали (5 - 1000 м):";
inline constexpr const char* kSceneHeightLabel = "Размер по вертикали (5 - 1000 м):";
inline constexpr const char* kGridXLabel = "Размер сетки по горизонтали (1 - 10 м):";
inline constexpr const char* kGridYLabel = "Размер сетки по вертикали (1 - 10 м):";
inline constexpr const char* kSnapLabel = "Привязка к сетке";

// Scene parameters dialog (133).
inline constexpr const char* kSceneParamsTitle = "Параметры сцены";
inline constexpr const char* kRayCountLabel = "Количество лучей трассировщика (10 - 1000):";
inline constexpr const char* kGroupTimeLabel =
    "Объединение лучей в группы с разбросом\nпо времени (1 - 100 мс):";
inline constexpr const char* kPassLimitLabel =
    "Игнорировать прохождение звуковой волны\nчерез объекты с коэффициентом поглощения "
    "большим (1 - Inf):";
inline constexpr const char* kMediumAbsorptionLabel =
    "Коэффициент поглощения звуковой волны\nсредой сцены (0 - Inf):";
inline constexpr const char* kStopTimeLabel =
    "Остановка трассировки при времени\nпрохождения звуковой волны большим (мс):";
inline constexpr const char* kStopAmplitudeLabel =
    "Остановка трассировки при амплитуде\nзвуковой волны меньшей:";
inline constexpr const char* kNoReflectionLabel =
    "Не учитывать отражения звуковых волн от предметов сцены";
inline constexpr const char* kNoTransmissionLabel =
    "Не учитывать прохождение звуковых волн через предметы сцены";
inline constexpr const char* kNormalizeLabel = "Нормализовать конечную амплитуду";

// Objects' properties: the rectangle's dialog (167), the sound source's dialog (168) and the
// listener's message (captioned with the application title, no icon).
inline constexpr const char* kRectPropsTitle = "Свойства объекта \"прямоугольник\"";
inline constexpr const char* kRectAbsorptionLabel =
    "Коэффициент поглощения\nзвуковой волны (0 - Inf):";
inline constexpr const char* kRectReflectionLabel =
    "Коэффициент отражения\nзвуковой волны (0 - 100%):";
inline constexpr const char* kSourcePropsTitle = "Свойства объекта \"источник звука\"";
inline constexpr const char* kSourcePowerLabel = "Мощность (0-100%):";
inline constexpr const char* kNoProperties = "Объект не имеет особых свойств";

// Scene check and effect calculation dialog (134).
inline constexpr const char* kErrorCaption = "Ошибка";
inline constexpr const char* kCalcTitle = "Рассчёт эффекта";
inline constexpr const char* kCalculateButton = "Рассчитать эффект";
inline constexpr const char* kSaveEffectButton = "Сохранить...";
inline constexpr const char* kCloseButton = "Закрыть";
inline constexpr const char* kRemainingTime = "Осталось примерно %d с";
inline constexpr const char* kPathsNotKept =
    "Эффект рассчитан без путей эхо: для их хранения понадобилось бы больше памяти, чем "
    "допустимо на этом компьютере (половина его памяти).";
inline constexpr const char* kCalculationStopped =
    "Расчёт остановлен; сцена сохранила прежний эффект";
inline constexpr const char* kEffectStale = "Эффект устарел: сцена изменена после расчёта";
inline constexpr const char* kEffectStopped = "Новый расчёт остановлен: показан прежний эффект";
inline constexpr const char* kEffectNoSources =
    "В сцене нет источников звука: эффект пуст (добавьте источник)";
inline constexpr const char* kEffectSilent = "Ни одно эхо не дошло до слушателя: эффект пуст";
inline constexpr const char* kEffectFileFilter =
    "Файлы 3D эффектов (*.e3d)|*.e3d|Все файлы (*.*)|*";
inline constexpr const char* kEffectExtension = "e3d";
inline constexpr const char* kEffectSaveFailed = "The effect was not saved.\n%s";

// Listening to the effect: the impulse response's export and the dry sound played through it.
inline constexpr const char* kExportWavButton = "Экспорт WAV...";
inline constexpr const char* kListenButton = "Прослушать...";
inline constexpr const char* kWavFileFilter = "Файлы WAV (*.wav)|*.wav|Все файлы (*.*)|*";
inline constexpr const char* kWavExtension = "wav";
inline constexpr const char* kSoundFileFilter =
    "Звуковые файлы (*.wav, *.flac, *.aiff, *.ogg)|"
    "*.wav;*.WAV;*.flac;*.FLAC;*.aiff;*.AIFF;*.aif;*.AIF;*.ogg;*.OGG|Все файлы (*.*)|*";
inline constexpr const char* kDrySoundTitle = "Звук для прослушивания";
inline constexpr const char* kListenTitle = "Прослушивание";
inline constexpr const char* kListenPreparing = "Свёртка звука с эффектом...";
inline constexpr const char* kListenPlaying = "Воспроизведение: %s";
inline constexpr const char* kStopButton = "Стоп";
inline constexpr const char* kNoAudioDevice =
    "Нет устройства вывода звука: прослушать результат нельзя.\nСохранить его в файл WAV?";
inline constexpr const char* kSoundFailed = "Звук не получен.\n%s";
inline constexpr const char* kWavSaveFailed = "Файл WAV не сохранён.\n%s";

// Numeric exchange of dialog fields; %1 and %2 are the bounds.
inline constexpr const char* kEnterInteger = "Please enter an integer.";
inline constexpr const char* kEnterNumber = "Please enter a number.";
inline constexpr const char* kEnterIntegerBetween = "Please enter an integer between %1 and %2.";
inline constexpr const char* kEnterNumberBetween = "Please enter a number between %1 and %2.";

// The accusative name of an edit (see EditKind), for the undo and redo items.
const char* EditName(int editKind);

} // namespace text

// A UTF-8 text as a wxString.
wxString Ui(std::string_view utf8);

} // namespace sonivera
