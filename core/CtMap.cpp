#include "core/CtMap.h"

#include "core/CidSorter.h"
#include "core/ControlIds.h"
#include "core/CtKind.h"
#include "core/Defa.h"
#include "core/MirrorTables.h"
#include "core/Tags.h"

CtMap::CtMap()
    : tree (Tags::map)
{
    addMissingProperties();
    setDefaultValues();
}

CtMap::CtMap (CtMode mode)
    : tree (Tags::map)
{
    addMissingProperties();

    tree.setProperty (Tags::mode, CtMode::slugForType (mode), nullptr);
    tree.setProperty (Tags::name, CtMode::nameForType (mode), nullptr);
    tree.setProperty (Tags::ptcl, CtMode::isHui (mode) ? 1 : 0, nullptr);

    setDefaultValues();
}

CtMap::CtMap (const juce::ValueTree& mapTree)
    : tree (mapTree)
{
}

CtMap::~CtMap() = default;

void CtMap::addMissingProperties()
{
    const auto mode = getCtMode();

    tree.setProperty (Tags::mode, CtMode::slugForType (mode), nullptr);
    tree.setProperty (Tags::name, CtMode::nameForType (mode), nullptr);
    tree.setProperty (Tags::ptcl, 0, nullptr);

    auto controls = tree.getOrCreateChildWithName (Tags::controls, nullptr);
    controls.removeAllChildren (nullptr);

    for (int id = 1; id <= ControlIds::count; ++id)
    {
        juce::ValueTree control (Tags::control);
        control.setProperty (Tags::cid, id, nullptr);
        control.setProperty (Tags::kind, CtKind::slugForType (Defa::kindForCid (id)), nullptr);
        control.setProperty (Tags::type, juce::String(), nullptr);
        control.setProperty (Tags::chan, 1, nullptr);
        control.setProperty (Tags::value, 0, nullptr);
        control.setProperty (Tags::v1, 0, nullptr);
        control.setProperty (Tags::v2, 0, nullptr);
        control.setProperty (Tags::velo, 127, nullptr);
        controls.addChild (control, id - 1, nullptr);
    }
}

void CtMap::setDefaultValues()
{
    const int mode = getCtMode();

    // The factory values of Mackie Control buttons are read back from the
    // refilled record tables, so the refill must come first.
    refillMirrorTables (mode);

    auto controls = tree.getChildWithName (Tags::controls);

    for (int position = 0; position < ControlIds::count; ++position)
    {
        auto control = controls.getChild (position);

        if (! control.isValid())
            break;

        const int id = control.getProperty (Tags::cid);

        control.setProperty (Tags::v1, Defa::factoryV1V2 (mode, id, 1), nullptr);
        control.setProperty (Tags::v2, Defa::factoryV1V2 (mode, id, 2), nullptr);
        control.setProperty (Tags::value, Defa::factoryValue (mode, id), nullptr);
        control.setProperty (Tags::type, Defa::getMstyStr (Defa::getMsgType (mode, id)), nullptr);
        control.setProperty (Tags::chan, Defa::getChan (mode, id), nullptr);
        control.setProperty (Tags::velo, Defa::getVelo (mode, id), nullptr);
    }
}

void CtMap::reset()
{
    setDefaultValues();
}

CtMode CtMap::getCtMode() const
{
    return CtMode (tree.getProperty (Tags::mode).toString());
}

juce::ValueTree CtMap::getControl (int index) const
{
    return tree.getChildWithName (Tags::controls).getChild (index);
}

juce::ValueTree CtMap::getControlById (int id) const
{
    const juce::var wanted (id);

    for (const auto& control : tree.getChildWithName (Tags::controls))
        if (control.getProperty (Tags::cid) == wanted)
            return control;

    return {};
}

void CtMap::getControls (juce::Array<juce::ValueTree>& buttons,
                         juce::Array<juce::ValueTree>& knobs,
                         juce::Array<juce::ValueTree>& jogWheels,
                         juce::Array<juce::ValueTree>& faders,
                         juce::Array<juce::ValueTree>& masterFaders) const
{
    for (const auto& control : tree.getChildWithName (Tags::controls))
    {
        switch (CtKind (control.getProperty (Tags::kind).toString()))
        {
            case CtKind::knob:         knobs.add (control);        break;
            case CtKind::jogWheel:     jogWheels.add (control);    break;
            case CtKind::fader:        faders.add (control);       break;
            case CtKind::masterFader:  masterFaders.add (control); break;
            default:                   buttons.add (control);      break;
        }
    }

    CidSorter sorter;

    for (auto* list : { &buttons, &knobs, &jogWheels, &faders, &masterFaders })
        list->sort (sorter);
}
