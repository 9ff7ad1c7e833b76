#include "editor/DeviceHelpers.h"
#include "editor/DeviceSelectComponent.h"
#include "tests/support/ScopedMidiSystem.h"
#include "tests/support/VirtualMidiSystem.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace
{
    juce::ComboBox* portListOf (juce::Component& picker)
    {
        for (auto* child : picker.getChildren())
            if (auto* list = dynamic_cast<juce::ComboBox*> (child))
                return list;

        return nullptr;
    }

    juce::Button* buttonOf (juce::Component& picker, const juce::String& text)
    {
        for (auto* child : picker.getChildren())
            if (auto* button = dynamic_cast<juce::TextButton*> (child); button != nullptr && button->getButtonText() == text)
                return button;

        return nullptr;
    }

    juce::StringArray offeredPorts (juce::ComboBox& list)
    {
        juce::StringArray names;

        for (int i = 0; i < list.getNumItems(); ++i)
            names.add (juce::String (list.getItemId (i)) + ":" + list.getItemText (i));

        return names;
    }

    // Runs the message loop until `done`, in slices of 10 ms.
    template <typename Condition>
    void runMessagesUntil (Condition done, int maxSlices = 200)
    {
        for (int i = 0; i < maxSlices && ! done(); ++i)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
    }

    // The editor's dialog, kept off the desktop: its modal state and result
    // work there as on the desktop, and no X server is needed. Off the desktop
    // a hidden window does not end its modal loop by itself (it never counted
    // as showing), so closing is seen as the close request it makes.
    struct PickerDialog : juce::DialogWindow
    {
        explicit PickerDialog (DeviceSelectComponent& picker)
            : juce::DialogWindow ("Select your device", juce::Colours::lightgrey, true, false)
        {
            setContentNonOwned (&picker, true);
            setVisible (true);
            enterModalState (false, juce::ModalCallbackFunction::create ([r = result] (int value) { *r = value; }));
        }

        ~PickerDialog() override
        {
            exitModalState (0);
            clearContentComponent();
        }

        void closeButtonPressed() override
        {
            ++closeRequests;
            setVisible (false);
        }

        std::optional<int> waitForResult()
        {
            runMessagesUntil ([this] { return result->has_value(); });
            return *result;
        }

        // The modal callback may come after the dialog has gone.
        std::shared_ptr<std::optional<int>> result = std::make_shared<std::optional<int>>();
        int closeRequests = 0;
    };

    class DeviceSelect : public ::testing::Test
    {
    protected:
        VirtualMidiSystem midi;
        ScopedMidiSystem scope { midi };

        void addPorts (std::initializer_list<const char*> names)
        {
            for (auto* name : names)
                midi.addDevice (name, name);
        }
    };
}

TEST (DeviceHelpers, NameRuleTrevanOrZorvWithMidiIgnoringCase)
{
    const std::pair<const char*, bool> cases[] {
        { "Trevan X Port 2", true }, { "my TREVAN controller", true }, { "ZORV usb Midi 2", true },
        { "MIDIZorv", true }, { "Zorv Port 1", false }, { "USB MIDI Interface", false },
        { "Trev an M", false }, { "", false },
    };

    for (auto& [name, valid] : cases)
        EXPECT_EQ (DeviceHelpers::validDeviceName (name), valid) << "\"" << name << "\"";
}

TEST_F (DeviceSelect, OffersOnlyControllerPortsOnceEachInSystemOrderAndFollowsTheList)
{
    addPorts ({ "IAC Driver Bus 1", "Trevan M", "Network Session 1", "Trevan M", "trevan m",
                "ZORV usb Midi 2", "Zorv Port", "USB MIDI Interface", "Trevan X" });
    midi.addDevice ("Trevan M Unplugged", "Trevan M Unplugged").setConnected (false);

    DeviceSelectComponent picker;
    auto* list = portListOf (picker);
    ASSERT_NE (list, nullptr);

    EXPECT_EQ (offeredPorts (*list), juce::StringArray ("1:Trevan M", "2:trevan m", "3:ZORV usb Midi 2", "4:Trevan X"));
    EXPECT_FALSE (list->isTextEditable());
    EXPECT_EQ (list->getSelectedItemIndex(), 0);
    EXPECT_EQ (picker.selectedName, "Trevan M");

    list->setSelectedId (4, juce::sendNotificationSync);
    EXPECT_EQ (picker.selectedName, "Trevan X");

    // The layout at another size than its own (the dialog test measures that one).
    picker.setSize (401, 101);
    EXPECT_EQ (buttonOf (picker, "Cancel")->getBounds(), juce::Rectangle<int> (291, 61, 100, 30));
}

TEST_F (DeviceSelect, ConnectEndsTheDialogWithOneAndCancelAsksItToClose)
{
    addPorts ({ "IAC Driver Bus 1", "Trevan X", "Trevan M" });
    {
        DeviceSelectComponent picker;
        PickerDialog dialog (picker);
        ASSERT_TRUE (dialog.isCurrentlyModal());

        buttonOf (picker, "Connect")->triggerClick();
        EXPECT_EQ (dialog.waitForResult(), std::optional<int> (1));
        EXPECT_EQ (picker.selectedName, "Trevan X");
    }

    DeviceSelectComponent picker;
    PickerDialog dialog (picker);
    buttonOf (picker, "Cancel")->triggerClick();
    runMessagesUntil ([&] { return dialog.closeRequests > 0; });

    EXPECT_EQ (dialog.closeRequests, 1);
    EXPECT_FALSE (dialog.isVisible());
    EXPECT_FALSE (dialog.result->has_value());
}

TEST_F (DeviceSelect, ConnectDoesNothingWithoutAnOfferedPort)
{
    addPorts ({ "IAC Driver Bus 1", "Zorv Port" });
    DeviceSelectComponent picker;
    EXPECT_EQ (portListOf (picker)->getNumItems(), 0);
    EXPECT_TRUE (picker.selectedName.isEmpty());

    PickerDialog dialog (picker);
    buttonOf (picker, "Connect")->triggerClick();
    runMessagesUntil ([] { return false; }, 10);

    EXPECT_TRUE (dialog.isCurrentlyModal());
    EXPECT_FALSE (dialog.result->has_value());
    EXPECT_EQ (dialog.closeRequests, 0);
}
