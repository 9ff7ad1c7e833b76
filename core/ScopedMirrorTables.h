#pragma once

#include "core/MirrorSnapshot.h"

// Keeps every mirror table as it is across its lifetime: whatever is changed
// in between is put back when it goes. Building a mode's factory map refills
// that mode's tables; this lets the loader borrow factory controls without
// touching the tables the editor and the transfer read.
class ScopedMirrorTables
{
public:
    ScopedMirrorTables() = default;
    ~ScopedMirrorTables()   { saved.restore(); }

private:
    const MirrorSnapshot saved;

    JUCE_DECLARE_NON_COPYABLE (ScopedMirrorTables)
};
