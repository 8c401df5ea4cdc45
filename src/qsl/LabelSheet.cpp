#include "LabelSheet.h"
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
constexpr double kInch = 25.4;
} // namespace

LabelSheet sheetOf(SheetKind kind)
{
    switch (kind) {
    case SheetKind::A4By24: // 70 x 37 mm, the 296 mm of labels centred on the 297 mm page
        return {QPageSize::A4, 3, 8, 70, 37, 70, 37, 0.5, 0};
    case SheetKind::A4By21: // 70 x 42.3 mm
        return {QPageSize::A4, 3, 7, 70, 42.3, 70, 42.3, 0.45, 0};
    case SheetKind::LetterBy30: // 2 5/8 x 1 inch, an eighth of an inch between columns
        return {QPageSize::Letter, 3, 10, 2.625 * kInch, kInch, 2.75 * kInch, kInch, 0.5 * kInch, 0.1875 * kInch};
    }
    return sheetOf(SheetKind::A4By24);
}

QString sheetName(SheetKind kind)
{
    switch (kind) {
    case SheetKind::A4By24: return u"A4, 3 × 8 etiquetas de 70 × 37 mm"_s;
    case SheetKind::A4By21: return u"A4, 3 × 7 etiquetas de 70 × 42,3 mm"_s;
    case SheetKind::LetterBy30: return u"Carta, 3 × 10 etiquetas de 2 5/8 × 1 pulgadas"_s;
    }
    return {};
}

std::vector<LabelPlace> placeLabels(const LabelSheet &sheet, int count, int start)
{
    std::vector<LabelPlace> places;
    if (count <= 0 || sheet.perSheet() <= 0)
        return places;
    places.reserve(size_t(count));
    const int first = std::clamp(start, 1, sheet.perSheet()) - 1;
    for (int i = 0; i < count; ++i) {
        const int position = first + i;
        const int onSheet = position % sheet.perSheet();
        const int row = onSheet / sheet.columns, column = onSheet % sheet.columns;
        places.push_back({position / sheet.perSheet(),
                          QRectF(sheet.left + column * sheet.pitchX, sheet.top + row * sheet.pitchY, sheet.labelWidth,
                                 sheet.labelHeight)});
    }
    return places;
}
