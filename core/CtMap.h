#pragma once

#include "core/CtMode.h"

#include <juce_data_structures/juce_data_structures.h>

// The controller map of one control mode: a handle on a "map" tree holding
// the mode's identity and the records of all 89 controls. Copies share the
// tree, so a CtMap handed out by the model edits the live data.
class CtMap
{
public:
    // The factory map of "mackie".
    CtMap();

    // The factory map of a mode; refills that mode's mirror tables.
    explicit CtMap (CtMode mode);

    // Wraps an existing tree without copying or checking it.
    CtMap (const juce::ValueTree& mapTree);

    ~CtMap();

    CtMap (const CtMap&) = default;
    CtMap& operator= (const CtMap&) = default;

    // Rewrites the map's identity properties and rebuilds all 89 control
    // records with placeholder values, whatever the tree held before.
    void addMissingProperties();

    // Refills the mode's mirror tables, then writes the factory values into
    // every control record present, each by its own "id".
    void setDefaultValues();
    void reset();

    CtMode getCtMode() const;

    // Invalid trees when there is no such control.
    juce::ValueTree getControl (int index) const;
    juce::ValueTree getControlById (int id) const;

    // Appends the controls to the array of their kind, then sorts each array by id.
    void getControls (juce::Array<juce::ValueTree>& buttons,
                      juce::Array<juce::ValueTree>& knobs,
                      juce::Array<juce::ValueTree>& jogWheels,
                      juce::Array<juce::ValueTree>& faders,
                      juce::Array<juce::ValueTree>& masterFaders) const;

    juce::ValueTree getTree() const { return tree; }

private:
    juce::ValueTree tree;
};
