#pragma once
// Sheets of sticky labels for QSL cards, and where each label of a run falls on them: a run
// may start part way down a sheet already used, and the operator may move the whole grid of
// labels to suit the printer. All lengths in millimetres from the paper's top left corner.
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <vector>

enum class SheetKind { A4By24, A4By21, LetterBy30 };
inline constexpr SheetKind kSheetKinds[] = {SheetKind::A4By24, SheetKind::A4By21, SheetKind::LetterBy30};

struct LabelSheet
{
    QPageSize::PageSizeId page;
    int columns, rows;
    double labelWidth, labelHeight;
    double pitchX, pitchY;        // from one label's left (top) edge to the next one's
    double top, left;             // the margins: paper edge to the first label
    int perSheet() const { return columns * rows; }
};

LabelSheet sheetOf(SheetKind kind);
QString sheetName(SheetKind kind);          // as the sheet choice shows it

struct LabelPlace
{
    int page;                     // from 0
    QRectF rect;                  // mm on its page
};

// The places of `count` labels filled row by row, the first at position `start` (1 is the top
// left label) of the first sheet; a start beyond the sheet counts as its last position.
std::vector<LabelPlace> placeLabels(const LabelSheet &sheet, int count, int start);
