#pragma once

// A rectangle of grid cells, rows top..bottom and columns left..right, both
// ends included. Empty when top > bottom or left > right.
struct GridBlock
{
    int top = 0;
    int left = 0;
    int bottom = -1;
    int right = -1;

    bool isEmpty() const { return top > bottom || left > right; }
    bool contains(int row, int col) const
    {
        return row >= top && row <= bottom && col >= left && col <= right;
    }
};
