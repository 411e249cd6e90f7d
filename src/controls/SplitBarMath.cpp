#include "controls/SplitBarMath.h"

#include <algorithm>

namespace SplitBarMath {

int ghostLeading(int pointer, int grabOffset)
{
    return pointer - grabOffset;
}

int clampLeading(int leading, int thickness, Limits limits, Alignment alignment,
                 int minOffset, int maxOffset)
{
    int lowOffset = 0;
    int highOffset = 0;
    switch (alignment) {
    case alRight:
    case alBottom:
        lowOffset = minOffset;
        highOffset = maxOffset;
        break;
    case alLeft:
    case alTop:
        lowOffset = maxOffset;
        highOffset = minOffset;
        break;
    case alNone:
        return leading;
    }
    if (leading < limits.low + lowOffset)
        leading = limits.low + lowOffset;
    if (leading + thickness > limits.high - highOffset)
        leading = limits.high - highOffset - thickness;
    return leading;
}

int travel(int startLeading, int finalLeading)
{
    return startLeading - finalLeading;
}

int newPaneSize(Alignment alignment, int size, int travel, int minimum)
{
    if (travel == 0)
        return size;
    int result = size;
    switch (alignment) {
    case alLeft:
    case alTop:
        result = size + travel;
        break;
    case alRight:
    case alBottom:
        result = size - travel;
        break;
    case alNone:
        return size;
    }
    return std::max(result, minimum);
}

bool resizesWidth(Alignment alignment)
{
    return alignment == alLeft || alignment == alRight;
}

} // namespace SplitBarMath
