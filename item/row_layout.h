#pragma once

// Where the row's 16x16 icons stand, in the item window's client
// coordinates: painting draws these cells and taps are tested against them.
const int kCellTop = 2;
const int kCellSize = 16;
const int kItemIconX = 3;
const int kButtonX = 132;
const int kStatusTextX = 152;

inline int CardX(int position)
{
    return 30 + 20 * position;
}

// Whether a point lies in the cell at x: left and top edges inside, right
// and bottom outside.
inline bool InCell(int cellX, int x, int y)
{
    return cellX <= x && x < cellX + kCellSize && kCellTop <= y && y < kCellTop + kCellSize;
}
