#pragma once
// The small geometry rules of the virtual remote: where a dropped button lands, how far a
// stored place may lie off the board, and which window moves are worth storing.
#include <QPoint>

namespace koru {

// The largest board a window can show (its zoomed size).
inline constexpr int kBoardWidth = 460;
inline constexpr int kBoardHeight = 840;

// A dropped button's top-left corner: left down to a multiple of 10 (below 8 becomes 10), top
// down to a multiple of 15 (below 8 becomes 2).
QPoint SnapButtonPlace(QPoint top_left);

// A button of `width` x 26 moved so that it lies wholly on the largest board; a damaged layout
// file or a drag out of the window can then never hide a button for good.
QPoint ClampOntoBoard(QPoint top_left, int width);

// True when `where` lies outside the 20 x 20 box around the stored corner (edges belong to the
// box): smaller moves are not worth storing.
bool MovedBeyondDeadZone(QPoint where, QPoint stored);

}  // namespace koru
