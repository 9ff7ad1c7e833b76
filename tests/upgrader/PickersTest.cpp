#include "platform/FixedSizeDialog.h"
#include "upgrader/DeviceSelectComponent.h"
#include "upgrader/FirmwareSelectComponent.h"
#include "upgrader/FirmwareServer.h"
#include "upgrader/WizardFlags.h"
#include "tests/support/ScopedMidiSystem.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>

using zorv::DeviceSelectComponent;
using zorv::FirmwareSelectComponent;

namespace
{
    const char* const upgradeText = "Zorv firmware upgrade";

    juce::ComboBox& listOf (juce::Component& picker)
    {
        for (auto* child : picker.getChildren())
            if (auto* list = dynamic_cast<juce::ComboBox*> (child))
                return *list;

        throw std::runtime_error ("picker without a list");
    }

    juce::Button& buttonOf (juce::Component& picker, const char* text)
    {
        for (auto* child : picker.getChildren())
            if (auto* button = dynamic_cast<juce::TextButton*> (child); button != nullptr && button->getButtonText() == text)
                return *button;

        throw std::runtime_error ("picker without that button");
    }

    // Alert boxes and windows on the desktop need an X server (Xvfb under ctest).
    bool desktopAvailable()     { return juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty(); }

    // The wizard's dialog kept off the desktop, where modal state and result
    // work as on the desktop without an X server.
    struct PickerDialog : juce::DialogWindow
    {
        explicit PickerDialog (juce::Component& picker)
            : juce::DialogWindow ({}, juce::Colours::lightgrey, true, false)
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

        // Runs the message loop until the dialog has ended (20 s at most,
        // against hanging).
        std::optional<int> waitForResult()
        {
            const auto deadline = juce::Time::getMillisecondCounter() + 20000;

            while (! result->has_value() && juce::Time::getMillisecondCounter() < deadline)
                juce::MessageManager::getInstance()->runDispatchLoopUntil (10);

            return *result;
        }

        std::shared_ptr<std::optional<int>> result = std::make_shared<std::optional<int>>();
    };

    // Answers every alert box that comes up while it lives and notes its text
    // (an alert describes itself as its title, ". " and its message).
    struct AlertAnswerer : juce::Timer
    {
        AlertAnswerer()             { startTimer (10); }
        ~AlertAnswerer() override   { stopTimer(); }

        void timerCallback() override
        {
            if (auto* alert = dynamic_cast<juce::AlertWindow*> (juce::Component::getCurrentlyModalComponent()))
            {
                seen.add (alert->getDescription());
                alert->exitModalState (0);
            }
        }

        juce::StringArray seen;
    };

    class Pickers : public ::testing::Test
    {
    protected:
        Pickers()           { bAuto = false; zorv::bTest_fwug = false; }
        ~Pickers() override { bAuto = savedAuto; zorv::bTest_fwug = savedTest; }

        VirtualMidiDevice& addPort (const char* name)   { return midi.addDevice (name, name); }

        VirtualMidiSystem midi;
        ScopedMidiSystem scope { midi };
        bool savedAuto = bAuto, savedTest = zorv::bTest_fwug;
    };

    class PickersOnDesktop : public Pickers
    {
    protected:
        void SetUp() override
        {
            if (! desktopAvailable())
                GTEST_SKIP() << "needs an X server: run under xvfb-run";
        }
    };

    juce::ValueTree catalogueOf (std::initializer_list<std::pair<const char*, const char*>> nameAndPath)
    {
        juce::ValueTree catalogue ("firmwares");

        for (auto& [name, path] : nameAndPath)
            catalogue.appendChild (juce::ValueTree ("fw", { { "name", name }, { "version", "1.2" }, { "fw", path } }), nullptr);

        return catalogue;
    }
}

TEST_F (Pickers, PreselectionOverRealisticPortLists)
{
    struct Case { const char* target; std::vector<const char*> ports; int selected; bool warned; };
    const Case cases[] {
        { upgradeText, { "IAC Driver Bus 1", "Microsoft GS Wavetable Synth", "Trevan M", "Zorv firmware upgrade 1" }, 2, false },
        { upgradeText, { "Trevan M", "Zorv firmware upgrade A", "Zorv firmware upgrade B" }, 0, true },
        { upgradeText, { "Trevan M", "IAC Driver Bus 1" }, 0, true },
        { upgradeText, {}, -1, true },
        { "", { "IAC Driver Bus 1", "Trevan X", "Trevan M", "Trevan M Port 2" }, 2, false },
        { "", { "IAC Driver Bus 1", "Trevan X" }, 0, false },                            // no port of the product
        { "", { "IAC Driver Bus 1", "Trevan M", "Zorv firmware upgrade 1" }, 0, false }, // a unit in upgrade mode
        { "", {}, -1, false },
        { "", { "IAC Driver Bus 1", "Microsoft Trevan M" }, 0, true },   // counted, but never listed
    };

    for (auto& c : cases)
    {
        if (c.warned && ! desktopAvailable())
            continue;

        VirtualMidiSystem system;
        ScopedMidiSystem installed (system);

        for (auto* name : c.ports)
            system.addDevice (name, name);

        AlertAnswerer answerer;
        DeviceSelectComponent picker (117, c.target);
        const auto& list = listOf (picker);

        EXPECT_EQ (list.getSelectedItemIndex(), c.selected) << c.target << ", " << c.ports.size() << " ports";
        EXPECT_EQ (picker.selectedName, list.getText());
        EXPECT_EQ (answerer.seen, c.warned ? juce::StringArray (". Warning: Cannot find target unit!") : juce::StringArray());
    }

    // Upgrade-mode ports are listed under one shown name.
    addPort ("Zorv firmware upgrade 1");
    DeviceSelectComponent picker (117, upgradeText);
    EXPECT_EQ (picker.selectedName, "Zorv firmware upgrade manager");
}

TEST_F (PickersOnDesktop, LaterTriesFindOnlyAPortThatTheListShowsWhereItShowsIt)
{
    {
        // The second unit goes away during the first wait; the second try finds the first unit.
        addPort ("Trevan M");
        addPort ("Zorv firmware upgrade A");
        auto& second = addPort ("Zorv firmware upgrade B");
        juce::MessageManager::callAsync ([&] { second.setConnected (false); });

        AlertAnswerer answerer;
        DeviceSelectComponent picker (117, upgradeText);
        EXPECT_TRUE (answerer.seen.isEmpty());
        EXPECT_EQ (listOf (picker).getSelectedItemIndex(), 1);
    }

    // A unit that shows up only after the list was read has no entry to select.
    VirtualMidiSystem system;
    ScopedMidiSystem installed (system);
    system.addDevice ("Trevan M", "Trevan M");
    auto& late = system.addDevice ("Zorv firmware upgrade A", "Zorv firmware upgrade A");
    late.setConnected (false);
    juce::MessageManager::callAsync ([&] { late.setConnected (true); });

    AlertAnswerer answerer;
    DeviceSelectComponent picker (117, upgradeText);
    EXPECT_EQ (answerer.seen.size(), 1);
    EXPECT_EQ (listOf (picker).getNumItems(), 1);
    EXPECT_EQ (listOf (picker).getSelectedItemIndex(), 0);
}

TEST_F (PickersOnDesktop, AutoModePressesOkOnlyWhenTheTargetWasFound)
{
    bAuto = true;
    addPort ("Trevan M");

    AlertAnswerer answerer;
    // Built last: the other one runs the message loop while it waits, and the
    // click must come once the dialog is there. A click of the first one would
    // have been posted before the second's, so it would have been handled by
    // the time the second dialog has ended.
    DeviceSelectComponent missing (117, upgradeText);
    DeviceSelectComponent found (117, {});
    PickerDialog foundDialog (found), missingDialog (missing);

    EXPECT_EQ (foundDialog.waitForResult(), std::optional<int> (1));
    EXPECT_TRUE (missingDialog.isCurrentlyModal());
}

TEST_F (Pickers, OkAcceptsOnlyTheKindOfPortAskedFor)
{
    addPort ("Trevan M");
    addPort ("ZORV usb Midi 1");
    auto& leaving = addPort ("Zorv firmware upgrade 1");

    struct Case { const char* target; bool testMode; int entry; bool accepted; };
    const Case cases[] {
        { "",          false, 0, true },
        { "",          false, 2, false },   // a unit in upgrade mode is no product port...
        { "",          true,  2, true },    // ...except in test mode
        { upgradeText, false, 2, true },
        { upgradeText, false, 0, false },
        { upgradeText, false, 1, false },   // a generic port of the maker...
        { upgradeText, true,  1, true },    // ...is an upgrade port in test mode
    };

    for (auto& c : cases)
    {
        zorv::bTest_fwug = c.testMode;
        DeviceSelectComponent picker (117, c.target);
        PickerDialog dialog (picker);

        listOf (picker).setSelectedItemIndex (c.entry, juce::sendNotificationSync);
        picker.OnOkBtn();

        EXPECT_EQ (dialog.isCurrentlyModal(), ! c.accepted) << c.target << ", entry " << c.entry << ", test " << c.testMode;
    }

    // The selection is looked up in a fresh port list.
    DeviceSelectComponent picker (117, {});
    leaving.setConnected (false);
    listOf (picker).setSelectedItemIndex (2, juce::sendNotificationSync);
    EXPECT_EQ (picker.selectedIndex, -1);
    EXPECT_EQ (picker.selectedName, "Zorv firmware upgrade manager");
}

TEST_F (Pickers, BothPickersShareOneLayout)
{
    DeviceSelectComponent devicePicker (117, {});
    FirmwareSelectComponent versionPicker ({});

    for (juce::Component* picker : { (juce::Component*) &devicePicker, (juce::Component*) &versionPicker })
    {
        EXPECT_EQ (picker->getBounds(), juce::Rectangle<int> (0, 0, 300, 200));
        EXPECT_EQ (listOf (*picker).getBounds(), juce::Rectangle<int> (8, 76, 284, 24));
        EXPECT_EQ (buttonOf (*picker, "OK").getBounds(), juce::Rectangle<int> (90, 160, 100, 30));

        picker->setSize (151, 25);
        EXPECT_EQ (buttonOf (*picker, "OK").getBounds(), juce::Rectangle<int> (-10, -10, 51, 25));
    }
}

TEST_F (Pickers, VersionListItemsAndTheDownloadUrlOfTheChosenEntry)
{
    auto catalogue = catalogueOf ({ { "Trevan M", "trevan/trevan_m_1_2.bin" }, { "Trevan M", "trevan/trevan_m_1_3.bin" }, { "", "" } });
    catalogue.getChild (1).removeProperty ("version", nullptr);

    FirmwareSelectComponent picker (catalogue);
    auto& list = listOf (picker);
    const auto root = zorv::FirmwareServer::getRootUrl();

    ASSERT_EQ (list.getNumItems(), 3);
    EXPECT_EQ (list.getItemText (0), "Trevan M V1.2");
    EXPECT_EQ (list.getItemText (1), "Trevan M V");
    EXPECT_EQ (list.getItemText (2), " V1.2");
    EXPECT_EQ (picker.getDownloadUrl().toString (false), root + "trevan/trevan_m_1_2.bin");

    // The picker indexes a copy of its own.
    catalogue.removeChild (0, nullptr);
    list.setSelectedItemIndex (1, juce::sendNotificationSync);
    EXPECT_EQ (picker.getDownloadUrl().toString (false), root + "trevan/trevan_m_1_3.bin");

    list.setSelectedItemIndex (2, juce::sendNotificationSync);
    EXPECT_TRUE (picker.getDownloadUrl().isEmpty());
}

TEST_F (Pickers, VersionOkEndsWithOneUnlessTheEntryNamesTheSystemSynth)
{
    FirmwareSelectComponent accepted (catalogueOf ({ { "Trevan M", "m.bin" } }));
    FirmwareSelectComponent refused (catalogueOf ({ { "MICROSOFT wavetable", "m.bin" } }));
    PickerDialog acceptedDialog (accepted), refusedDialog (refused);

    // Clicks are handled in the order they were posted: once the second
    // dialog has ended, the first click has had its effect.
    buttonOf (refused, "OK").triggerClick();
    buttonOf (accepted, "OK").triggerClick();

    EXPECT_EQ (acceptedDialog.waitForResult(), std::optional<int> (1));
    EXPECT_TRUE (refusedDialog.isCurrentlyModal());

    // In auto mode even an empty catalogue is confirmed, with nothing to download.
    bAuto = true;
    FirmwareSelectComponent empty (juce::ValueTree ("firmwares"));
    PickerDialog emptyDialog (empty);
    EXPECT_EQ (listOf (empty).getSelectedItemIndex(), -1);
    EXPECT_EQ (emptyDialog.waitForResult(), std::optional<int> (1));
    EXPECT_TRUE (empty.getDownloadUrl().isEmpty());
}

TEST_F (PickersOnDesktop, WizardDialogReturnsOneOnOkAndZeroOnCancel)
{
    addPort ("IAC Driver Bus 1");
    addPort ("Trevan M");

    auto runDialog = [] (juce::Component& picker, const char* buttonText)
    {
        juce::MessageManager::callAsync ([&picker, buttonText] { buttonOf (picker, buttonText).triggerClick(); });

        FixedSizeDialog dialog ({ "Choose Your Zorv Device" }, picker);
        return dialog.runModalLoop();
    };

    DeviceSelectComponent devicePicker (117, {});
    FirmwareSelectComponent versionPicker (catalogueOf ({ { "Trevan M", "m.bin" } }));

    EXPECT_EQ (runDialog (devicePicker, "OK"), 1);
    EXPECT_EQ (runDialog (devicePicker, "Cancel"), 0);
    EXPECT_EQ (runDialog (versionPicker, "OK"), 1);
    EXPECT_EQ (runDialog (versionPicker, "Cancel"), 0);
}
