#pragma once

#include "core/SharedFlags.h"

// Sets the jog-wheel flags for one test and puts the previous ones back, so
// that no test leaks a cursor state into the next.
struct ScopedJogState
{
    ScopedJogState (int state, int half = 0)
        : oldState (isZoomNorLR), oldHalf (isJogLorR)
    {
        isZoomNorLR = state;
        isJogLorR = half;
    }

    ~ScopedJogState()
    {
        isZoomNorLR = oldState;
        isJogLorR = oldHalf;
    }

    void set (int state, int half = 0)
    {
        isZoomNorLR = state;
        isJogLorR = half;
    }

    const int oldState, oldHalf;
};
