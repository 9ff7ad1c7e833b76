#include "upgrader/DeviceHelpers.h"
#include "upgrader/FirmwareUpgradeComponent.h"
#include "upgrader/Product.h"
#include "upgrader/WizardFlags.h"
#include "tests/support/ScopedMidiSystem.h"

#include <gtest/gtest.h>

namespace DH = zorv::DeviceHelpers;
using zorv::FirmwareUpgradeComponent;

namespace
{
    const char* const shown = "Zorv firmware upgrade manager";

    // A MIDI system of its own for each test, with the wizard's mode flags at
    // their start values and put back afterwards.
    class PortNames : public testing::Test
    {
    protected:
        PortNames() : scope (midi)
        {
            savedTest = zorv::bTest_fwug;
            savedAuto = bAuto;
            savedVariant = zorv::g_forSpecialDeviceQ;
            zorv::bTest_fwug = false;
            bAuto = false;
            zorv::g_forSpecialDeviceQ = 0;
        }

        ~PortNames() override
        {
            zorv::bTest_fwug = savedTest;
            bAuto = savedAuto;
            zorv::g_forSpecialDeviceQ = savedVariant;
        }

        void addOutputs (std::initializer_list<const char*> names)
        {
            for (auto* name : names)
                midi.addDevice (name, "");
        }

        VirtualMidiSystem midi;
        ScopedMidiSystem scope;
        bool savedTest = false, savedAuto = false;
        juce::uint32 savedVariant = 0;
    };
}

TEST_F (PortNames, ValidDeviceNameByPortKindAndAllowFlag)
{
    // Product ports: never a system synth port; upgrade-mode ports only when allowed.
    EXPECT_TRUE (DH::validDeviceName ("Trevan M", true, false));
    EXPECT_TRUE (DH::validDeviceName ("Trevan M", true, true));
    EXPECT_TRUE (DH::validDeviceName ("", true, false));
    EXPECT_FALSE (DH::validDeviceName ("Microsoft GS Wavetable Synth", true, true));
    EXPECT_FALSE (DH::validDeviceName ("Trevan M (mICROSOFT)", true, false));
    EXPECT_FALSE (DH::validDeviceName ("ZORV FIRMWARE UPGRADE 1", true, false));
    EXPECT_TRUE (DH::validDeviceName ("ZORV FIRMWARE UPGRADE 1", true, true));

    // Upgrade-mode ports: the allow flag plays no part.
    for (bool allow : { false, true })
    {
        EXPECT_TRUE (DH::validDeviceName ("zorv firmware upgrade", false, allow));
        EXPECT_FALSE (DH::validDeviceName ("Trevan M", false, allow));
        EXPECT_FALSE (DH::validDeviceName ("", false, allow));
    }
}

TEST_F (PortNames, GenericZorvPortsCountAsUpgradePortsOnlyInTestModeWithoutAutoMode)
{
    EXPECT_TRUE (DH::isFwugPortName ("Zorv Firmware Upgrade Port 2"));
    EXPECT_FALSE (DH::isFwugPortName ("Zorv firmware"));
    EXPECT_FALSE (DH::isFwugPortName ("ZORV Midi 1"));

    zorv::bTest_fwug = true;
    EXPECT_TRUE (DH::isFwugPortName ("ZORV Midi 1"));
    EXPECT_TRUE (DH::isFwugPortName ("  zorv usb midi  "));
    EXPECT_FALSE (DH::isFwugPortName ("My ZORV Midi"));
    EXPECT_TRUE (DH::validDeviceName ("ZORV Midi 1", false, false));

    bAuto = true;
    EXPECT_FALSE (DH::isFwugPortName ("ZORV Midi 1"));
    EXPECT_TRUE (DH::isFwugPortName ("Zorv firmware upgrade"));
}

TEST_F (PortNames, DeviceListsDropDuplicatesBlanksAndSystemSynthPorts)
{
    midi.addDevice ("Trevan M", "Trevan M In");
    midi.addDevice ("Microsoft GS Wavetable Synth", "MICROSOFT MIDI Mapper");
    midi.addDevice ("   ", "Trevan M In");
    midi.addDevice ("Trevan X", "");
    midi.addDevice ("Trevan M", "trevan m in");
    midi.addDevice ("trevan m", "");
    midi.addDevice ("Zorv firmware upgrade", "Zorv firmware upgrade");
    midi.addDevice ("Zorv firmware upgrade", "");

    EXPECT_EQ (DH::getDeviceNames0 (true),
               juce::StringArray ({ "Trevan M", "Trevan X", "trevan m", "Zorv firmware upgrade" }));
    EXPECT_EQ (DH::getDeviceNames0 (false),
               juce::StringArray ({ "Trevan M In", "trevan m in", "Zorv firmware upgrade" }));
}

TEST_F (PortNames, EmptyPortListsGiveEmptyLists)
{
    EXPECT_TRUE (DH::getDeviceNames0 (true).isEmpty());
    EXPECT_TRUE (DH::getDeviceNames (true).isEmpty());
    EXPECT_EQ (DH::convFwugMan (shown), "");
    EXPECT_EQ (FirmwareUpgradeComponent::getNumsOf_Fwug_and_Prod (117, 16), 0);
    EXPECT_EQ (FirmwareUpgradeComponent::indexForFirstDevice ("", true), -1);
}

TEST_F (PortNames, UpgradePortsAreShownUnderOneName)
{
    addOutputs ({ "Trevan M", "Zorv firmware upgrade 1", "Microsoft Synth", "ZORV FIRMWARE UPGRADE 2", "Trevan X" });

    EXPECT_EQ (DH::getDeviceNames (false),
               juce::StringArray ({ "Trevan M", shown, shown, "Trevan X" }));
    EXPECT_EQ (DH::getDeviceNames (true).size(), DH::getDeviceNames0 (true).size());
}

TEST_F (PortNames, ConvFwugManMapsTheShownNameToTheFirstUpgradePort)
{
    addOutputs ({ "Trevan M", "Zorv firmware upgrade 1", "Zorv firmware upgrade 2" });

    EXPECT_EQ (DH::convFwugMan (shown), "Zorv firmware upgrade 1");

    // A real upgrade-mode port name is not in the shown list.
    EXPECT_EQ (DH::convFwugMan ("Zorv firmware upgrade 2"), "");

    // The lookup of the shown name is exact.
    EXPECT_EQ (DH::convFwugMan ("zorv firmware upgrade manager"), "");

    // Every other name, missing ports and the empty text included, is returned as it is.
    EXPECT_EQ (DH::convFwugMan ("Trevan M"), "Trevan M");
    EXPECT_EQ (DH::convFwugMan ("Not Connected"), "Not Connected");
    EXPECT_EQ (DH::convFwugMan (""), "");
}

TEST_F (PortNames, UpgradePortsAndProductPortsAreCountedWithWeight)
{
    addOutputs ({ "Trevan M", "Zorv firmware upgrade", "Trevan M", "Trevan X" });

    EXPECT_EQ (FirmwareUpgradeComponent::getNumsOf_Fwug_and_Prod (117, 16), 18);
    EXPECT_EQ (FirmwareUpgradeComponent::getNumsOf_Fwug_and_Prod (118, 16), 17);
    EXPECT_EQ (FirmwareUpgradeComponent::getNumsOf_Fwug_and_Prod (118, 1), 2);
    EXPECT_EQ (FirmwareUpgradeComponent::getNumsOf_Fwug_and_Prod (156, 16), 16);
}

TEST_F (PortNames, CountingOfUpgradePortsIsCaseSensitive)
{
    // Lower case is an upgrade-mode port to the name rules but not to the counts.
    addOutputs ({ "zorv firmware upgrade", "Trevan M", "Microsoft Trevan M" });

    EXPECT_EQ (FirmwareUpgradeComponent::getNumsOf_Fwug_and_Prod (117, 16), 2);
    EXPECT_EQ (FirmwareUpgradeComponent::numberForDevice ("Zorv firmware upgrade", true), 0);
    EXPECT_EQ (FirmwareUpgradeComponent::numberForDevice ("zorv firmware upgrade", true), 1);
}

TEST_F (PortNames, NumberForDeviceCountsRawPortsOfEitherDirection)
{
    // One unit in upgrade mode seen through two ports of the same name.
    midi.addDevice ("Zorv firmware upgrade", "Zorv firmware upgrade");
    midi.addDevice ("Zorv firmware upgrade", "Zorv firmware upgrade");
    midi.addDevice ("Trevan M", "");

    EXPECT_EQ (DH::getDeviceNames0 (true).size(), 2);
    EXPECT_EQ (FirmwareUpgradeComponent::numberForDevice ("Zorv firmware upgrade", true), 2);
    EXPECT_EQ (FirmwareUpgradeComponent::numberForDevice ("Zorv firmware upgrade", false), 2);
    EXPECT_EQ (FirmwareUpgradeComponent::numberForDevice ("Trevan", false), 0);
    EXPECT_EQ (FirmwareUpgradeComponent::numberForDevice ("Trevan", true), 1);
}

TEST_F (PortNames, IndexForFirstDeviceIsThePositionInTheFilteredList)
{
    midi.addDevice ("Microsoft Trevan Synth", "");
    midi.addDevice ("Trevan X", "In A");
    midi.addDevice ("Trevan X", "In A");
    midi.addDevice ("  ", "");
    midi.addDevice ("Trevan M", "In B");

    EXPECT_EQ (FirmwareUpgradeComponent::indexForFirstDevice ("Trevan M", true), 1);
    EXPECT_EQ (FirmwareUpgradeComponent::indexForFirstDevice ("Trevan", true), 0);
    EXPECT_EQ (FirmwareUpgradeComponent::indexForFirstDevice ("In B", false), 1);
    EXPECT_EQ (FirmwareUpgradeComponent::indexForFirstDevice ("trevan m", true), -1);

    // Only a system synth port holds this text, and those are never listed.
    EXPECT_EQ (FirmwareUpgradeComponent::indexForFirstDevice ("Synth", true), -1);
}

TEST (FirstTargetNameByPid, FindsTheFirstPortOfTheProduct)
{
    const juce::StringArray names { "Zorv firmware upgrade manager", "Trevan M+", "Trevan M 2", "Trevan M" };

    EXPECT_EQ (FirmwareUpgradeComponent::firstTargetNameByPid (117, names), "Trevan M 2");
    EXPECT_EQ (FirmwareUpgradeComponent::firstTargetNameByPid (156, names), "Trevan M+");
    EXPECT_EQ (FirmwareUpgradeComponent::firstTargetNameByPid (118, names), "");
    EXPECT_EQ (FirmwareUpgradeComponent::firstTargetNameByPid (117, {}), "");
}
