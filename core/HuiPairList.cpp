#include "core/HuiPairList.h"

#include "core/CtKind.h"
#include "core/HuiTables.h"

#include <iterator>

HuiPairList HuiPairList::of (int kind)
{
    switch (kind)
    {
        case CtKind::knob:         return { HuiKnVaPairs0,   (int) std::size (HuiKnVaPairs0),   true,  0 };
        case CtKind::jogWheel:     return { HuiJogVaPairs0,  (int) std::size (HuiJogVaPairs0),  false, 1 };
        case CtKind::fader:
        case CtKind::masterFader:  return { HuiFdknVaPairs0, (int) std::size (HuiFdknVaPairs0), false, 17 };
        default:                   return { HuiBnVaPairs0,   (int) std::size (HuiBnVaPairs0),   false, 0 };
    }
}

int HuiPairList::byteOf (int index, int which) const
{
    if (index < 0 || index >= size || (which != 1 && which != 2))
        return 0;

    return pairs[index][which - 1];
}

int HuiPairList::find (int value1, int value2) const
{
    for (int i = 0; i < size; ++i)
        if ((matchesSecondOnly || pairs[i][0] == value1) && pairs[i][1] == value2)
            return i;

    return -1;
}

int HuiPairList::positionOf (int value1, int value2) const
{
    const int position = find (value1, value2);
    return position >= 0 ? position : fallback;
}

int posOfPair (int kind, int first, int second)
{
    return HuiPairList::of (kind).positionOf (first, second);
}
