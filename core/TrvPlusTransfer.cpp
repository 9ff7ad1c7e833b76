#include "core/TrvPlusImpl.h"

#include "core/ControlIds.h"
#include "core/Messages.h"
#include "core/RecordSenders.h"
#include "core/SharedFlags.h"
#include "platform/MidiPorts.h"
#include "platform/PrecisePause.h"

namespace
{
    // Rows 1..46 and 58..66: the button controls in the controller's row order.
    constexpr int buttonRowsFirst[] = { 25, 26, 27, 28, 29, 30, 31, 32,
                                        17, 18, 19, 20, 21, 22, 23, 24,
                                         9, 10, 11, 12, 13, 14, 15, 16,
                                         1,  2,  3,  4,  5,  6,  7,  8,
                                        52, 51, 50, 49,
                                        57, 56, 55, 54,
                                        58, 59, 61, 60, 63, 62 };

    constexpr int buttonRowsAfterSpare[] = { 33, 34, 35, 36, 37, 38, 39, 40, 64 };

    // Rows 81..89: the fader touch sensors and the master's.
    constexpr int touchRows[] = { 41, 42, 43, 44, 45, 46, 47, 48, 53 };
}

juce::Result TrvPlus::Impl::sendCurrentMapping()
{
    // Every map of the model holds all 89 controls: loading a file adds the
    // ones it lacks with their factory values.
    const CtMap map (current);
    const int mode = map.getCtMode().getValue();

    if (outputDeviceName.isEmpty())
        return juce::Result::fail ("No device selected");

    const int index = MidiPorts::getOutputNames().indexOf (outputDeviceName);

    if (index < 0)
        return juce::Result::fail (outputDeviceName + ": device does not exist");

    auto out = MidiPorts::openOutput (index);

    if (out == nullptr)
        return juce::Result::fail (outputDeviceName + ": could not open device");

    pid = layoutProductId();

    out->sendMessageNow (Messages::frameMarker());
    out->sendMessageNow (Messages::makeStart ((int) pid, mode));
    precisePause (2, WhilePausing::sleep);

    RecordSenders send (*out);

    for (int id : buttonRowsFirst)                  // rows 1..46
        send.sendButtonRecord (map.getControlById (id), mode);

    send.sendFixedButtonRecord (47, mode);          // the two zoom buttons
    send.sendFixedButtonRecord (48, mode);

    for (int spare = 0; spare < 9; ++spare)         // rows 49..57 belong to no control
        send.sendButtonRecord (map.getControlById (49), mode);

    for (int id : buttonRowsAfterSpare)             // rows 58..66
        send.sendButtonRecord (map.getControlById (id), mode);

    for (int row = 67; row <= 70; ++row)            // the jog wheel's cursor targets
        send.sendTableRowRecord (row, mode);

    // Rows 71..78.
    for (int id = ControlIds::firstKnob; id <= ControlIds::lastKnob; ++id)
        send.sendKnobRecord (map.getControlById (id), mode);

    send.sendJogRecord (79, mode);
    send.sendJogRecord (80, mode);

    for (int id : touchRows)                        // rows 81..89
        send.sendButtonRecord (map.getControlById (id), mode);

    // Rows 90..98.
    for (int id = ControlIds::firstFader; id <= ControlIds::masterFader; ++id)
        send.sendFaderRecord (map.getControlById (id), mode);

    send.sendMessageSingly (Messages::frameMarker());
    send.sendMessageSingly (Messages::makeEnd());

    return juce::Result::ok();
}
