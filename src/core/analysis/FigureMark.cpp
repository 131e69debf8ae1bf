#include "core/analysis/FigureMark.h"

#include <cmath>
#include <cstdio>

namespace sonivera {

namespace {

std::string Num(double value, const char* format = "%.3g") {
    if (std::isinf(value)) {
        return value < 0.0 ? "-inf" : "+inf";
    }
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string WithUnit(double value, const char* unit) {
    std::string text = Num(value, "%.2f");
    if (*unit != '\0' && std::isfinite(value)) {
        text += std::string(" ") + unit;
    }
    return text;
}

} // namespace

std::string MarkText(const FigureMark& mark, const char* unit) {
    switch (mark.reason) {
    case MarkReason::None:
        return {};
    case MarkReason::FewPoints:
        return "only " + Num(mark.a, "%.0f") + " bin edges in the fit range (at least " +
               Num(mark.b, "%.0f") + " needed): the grouping time is too coarse for this decay";
    case MarkReason::NonLinear:
        return "the decay is not straight in the fit range (non-linearity " + Num(mark.a, "%.1f") +
               " per mille, above " + Num(mark.b, "%.0f") + ")";
    case MarkReason::Truncated:
        return "the fit range ends at " + Num(mark.a, "%.1f") +
               " dB, less than 10 dB above where the decay is cut off by the stop time or sits "
               "on a floor (" +
               Num(mark.b, "%.1f") + " dB)";
    case MarkReason::BoundaryUnresolved:
        return "the grouping time does not resolve the boundary: the bins allow anything from " +
               WithUnit(mark.a, unit) + " to " + WithUnit(mark.b, unit);
    case MarkReason::NothingBeyond:
        return "no energy arrives after " + Num(mark.a, "%g") + " ms";
    }
    return {};
}

std::string MarkTextRu(const FigureMark& mark, const char* unit) {
    switch (mark.reason) {
    case MarkReason::None:
        return {};
    case MarkReason::FewPoints:
        return "в диапазоне аппроксимации лишь " + Num(mark.a, "%.0f") +
               " границ бинов (нужно не меньше " + Num(mark.b, "%.0f") +
               "): время группировки слишком велико для этого спада";
    case MarkReason::NonLinear:
        return "спад в диапазоне аппроксимации не прямой (нелинейность " + Num(mark.a, "%.1f") +
               " ‰, больше " + Num(mark.b, "%.0f") + " ‰)";
    case MarkReason::Truncated:
        return "диапазон аппроксимации кончается на " + Num(mark.a, "%.1f") +
               " дБ, менее чем в 10 дБ над обрезкой временем остановки или полом (" +
               Num(mark.b, "%.1f") + " дБ)";
    case MarkReason::BoundaryUnresolved:
        return "время группировки не разрешает границу: бины допускают значения от " +
               WithUnit(mark.a, unit) + " до " + WithUnit(mark.b, unit);
    case MarkReason::NothingBeyond:
        return "после " + Num(mark.a, "%g") + " мс энергии нет";
    }
    return {};
}

} // namespace sonivera
