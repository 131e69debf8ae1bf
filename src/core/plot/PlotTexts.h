#pragma once

namespace sonivera {

// The texts of the effect plot, UTF-8, shared by the editor and the command-line tool.
namespace plottext {
inline constexpr const char* kTimeAxis = "Время, мс";
inline constexpr const char* kValueAxis = "Амплитуда";
inline constexpr const char* kLevelAxis = "Бины, дБ отн. пика";
inline constexpr const char* kLevelAxisShort = "дБ отн. пика";
inline constexpr const char* kDecayLegend = "— спад, дБ отн. всей энергии";
inline constexpr const char* kDecayLegendShort = "— спад";
inline constexpr const char* kDecayAxis = "Спад, дБ";
inline constexpr const char* kOnsetMark = "t₀";
inline constexpr const char* kOnset = "Начало (t₀)";
inline constexpr const char* kMarkedNote = "* основа недостаточна";
inline constexpr const char* kNoEffect = "Эффект не рассчитан";
inline constexpr const char* kNotAvailable = "н/д";
inline constexpr const char* kBins = "Бинов";
inline constexpr const char* kGroupTime = "Группировка";
inline constexpr const char* kFirstArrival = "Первый приход";
inline constexpr const char* kPeak = "Пик";
inline constexpr const char* kCentreTime = "Центр. время";
inline constexpr const char* kBin = "Бин";
inline constexpr const char* kMs = "мс";
inline constexpr const char* kSeconds = "с";
inline constexpr const char* kDb = "дБ";
} // namespace plottext

} // namespace sonivera
