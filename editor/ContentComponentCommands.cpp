#include "editor/ContentComponent.h"

#include "editor/AidForCid.h"
#include "editor/DeviceSelectComponent.h"

#include "core/ControlIds.h"
#include "core/CtMap.h"
#include "core/Defa.h"
#include "core/HuiTables.h"
#include "core/MirrorTables.h"
#include "core/ProToolsTables.h"
#include "core/RecordRow.h"
#include "core/SharedFlags.h"
#include "core/TrvPlus.h"
#include "upgrader/FirmwareUpgrade.h"

#include <memory>

namespace
{
    // The ids a jog-half button stands for in some zoom state.
    bool isJogHalfId (int cid)
    {
        return ControlIds::isJogHalf (cid) || ControlIds::isCursorTarget (cid);
    }

    bool isLeftJogHalfId (int cid)
    {
        return cid == ControlIds::leftJogHalf || cid == ControlIds::cursorLeft || cid == ControlIds::cursorUp;
    }

    // The value a jog half stands for in mode m at zoom state z.
    int jogHalfValue (int m, int z, int cid, bool left)
    {
        switch (m)
        {
            case CtMode::proTools:
                return z == 0 ? protoolsJogIndexesWhenZmN[0]
                              : protoolsJogIndexesWhenZmLR[2 * z - (left ? 2 : 1)];

            case CtMode::usrdefHui:
                return z == 0 ? HuiJogMappIndex[left ? 0 : 1]
                              : HuiBtnMappIndex[aidForCid (CtMode (m), CtKind (CtKind::button), cid)];

            default:
                return arrForMoid[m][rowForCid (cid)][2];
        }
    }

    void showWarning (const juce::String& title, const juce::String& message)
    {
        juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon, title, message);
    }
}

//==============================================================================
void ContentComponent::buttonClicked (juce::Button* button)
{
    // Every command opens a box, a dialog or a chooser, or sends a mapping
    // with pauses of its own; during a firmware step any of them would hold
    // the step where it is.
    const bool isCommand = button == &connectBtn || button == &sendBtn || button == &saveBtn
                        || button == &loadBtn || button == &firmwareBtn;

    if (isCommand && zorv::FirmwareUpgrade::isStepProtected())
        return;

    if (button == &connectBtn)
        connectToDevice();
    else if (button == &sendBtn)
        sendMapping();
    else if (button == &saveBtn)
        saveToFile();
    else if (button == &loadBtn)
        loadFromFile();
    else if (button == &firmwareBtn)
        zorv::FirmwareUpgrade::runWizardDialogModal (layoutProductId(), this, true, true);
    else if (auto* control = dynamic_cast<MappableButton*> (button))
        selectControl (*control);
}

//==============================================================================
void ContentComponent::connectToDevice()
{
    auto picker = std::make_unique<DeviceSelectComponent>();
    const auto pickerSize = picker->getLocalBounds();

    juce::DialogWindow::LaunchOptions options;
    options.content.setNonOwned (picker.get());
    options.dialogTitle = "Select your device";
    options.componentToCentreAround = this;
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = true;
    options.resizable = false;

    // The dialog goes before the picker it shows, also when the application
    // quits in the middle of the loop.
    std::unique_ptr<juce::DialogWindow> dialog (options.create());

    // The dialog is first sized for JUCE's own title bar and only then given
    // the native one, which leaves the picker stretched by that bar's height
    // and border; size it again around the picker and re-centre it.
    dialog->setContentComponentSize (pickerSize.getWidth(), pickerSize.getHeight());
    dialog->centreAroundComponent (this, dialog->getWidth(), dialog->getHeight());

    // The port is only named here; the transfer opens it by name each time.
    if (dialog->runModalLoop() > 0)
        TrvPlus::getInstance()->setCurrentOutputDevice (picker->selectedName);
}

void ContentComponent::sendMapping()
{
    const auto result = TrvPlus::getInstance()->sendCurrentMapping();
    showWarning ("Send Mapping", result.failed() ? result.getErrorMessage() : juce::String ("Done!"));
}

void ContentComponent::saveToFile()
{
    juce::FileChooser chooser ("Save Mapping", {}, "*.quelt", true, false, nullptr);

    if (! chooser.browseForFileToSave (true))
        return;

    const auto result = TrvPlus::getInstance()->saveCurrentMapping (chooser.getResult());

    if (result.failed())
        showWarning ("Save Mapping", result.getErrorMessage());
}

void ContentComponent::loadFromFile()
{
    juce::FileChooser chooser ("Load Mapping", {}, "*.quelt", true, false, nullptr);

    if (chooser.browseForFileToOpen())
        loadMapping (chooser.getResult());
}

void ContentComponent::loadMapping (const juce::File& file)
{
    auto* trv = TrvPlus::getInstance();
    const auto result = trv->openFile (file);

    if (result.failed())
        showWarning ("Load Mapping", result.getErrorMessage());

    // Also after a failure: the page shows the current map as it now is.
    const int m = trv->getCurrentMap().getCtMode();
    modeBox.setSelectedItemIndex (juce::jmin (m, 3), juce::dontSendNotification);
    stabilize_controls();
}

//==============================================================================
void ContentComponent::selectControl (MappableButton& clicked)
{
    const int c = clicked.cid;
    MappableButton* target = &clicked;

    clearToggleStates();

    if (ControlIds::isZoomButton (c))
    {
        // A second click on the active zoom button returns to the jog state.
        const int state = c - ControlIds::zoomButton1 + 1;
        isZoomNorLR = (state == isZoomNorLR) ? 0 : state;
        ToggOnZoomNorLR();
        ToggOnJogLorR();
        target = isJogLorR == 1 ? controls.rightJogHalf.get() : controls.leftJogHalf.get();
    }
    else if (isJogHalfId (c))
    {
        isJogLorR = isLeftJogHalfId (c) ? 0 : 1;
        ToggOnJogLorR();
        ToggOnZoomNorLR();
        target = isJogLorR == 1 ? controls.rightJogHalf.get() : controls.leftJogHalf.get();
    }
    else
    {
        clicked.setToggleState (true, juce::dontSendNotification);

        if (clicked.isShowing())
            clicked.grabKeyboardFocus();
    }

    updAttrBoxesWith (*target);
}

void ContentComponent::dropHiddenSelection()
{
    auto* selected = findSelectedControl();

    if (selected == nullptr || ! controls.isParentOf (selected) || controls.isVisible())
        return;

    // The boxes would otherwise keep showing, and editing, a control that is
    // not on the page. The zoom state stays: it belongs to the unit's wheel.
    clearToggleStates();

    for (auto* box : { &typeBox, &chanBox, &funcBox, &rotBox })
    {
        box->clear (juce::dontSendNotification);
        box->getValues().clearQuick();
    }

    rotBox.setVisible (false);
    rotLabel.setVisible (false);
}

void ContentComponent::clearToggleStates()
{
    for (auto* child : panelChildren())
        if (auto* button = dynamic_cast<MappableButton*> (child))
            button->setToggleState (false, juce::dontSendNotification);
}

void ContentComponent::ToggOnZoomNorLR()
{
    if (isZoomNorLR == 1)
        controls.zoomButton1->setToggleState (true, juce::dontSendNotification);
    else if (isZoomNorLR == 2)
        controls.zoomButton2->setToggleState (true, juce::dontSendNotification);
}

void ContentComponent::ToggOnJogLorR()
{
    auto* trv = TrvPlus::getInstance();
    const int m = trv->getCurrentCtMode();
    const int z = juce::jlimit (0, 2, isZoomNorLR);
    const int cL = zomjog2cid[z][0];
    const int cR = zomjog2cid[z][1];

    auto& left = *controls.leftJogHalf;
    auto& right = *controls.rightJogHalf;

    // In the factory modes the halves keep the binding to controls 73 and 74
    // that the panel gave them.
    if (m == CtMode::usrdefMcp || m == CtMode::usrdefHui)
    {
        const auto map = trv->getCurrentMap();

        left.kind = CtKind (Defa::kindForCid (cL));
        left.setMapping (map.getControlById (cL));
        right.kind = CtKind (Defa::kindForCid (cR));
        right.setMapping (map.getControlById (cR));
    }

    left.setValue (jogHalfValue (m, z, cL, true));
    right.setValue (jogHalfValue (m, z, cR, false));

    auto& active = isJogLorR == 1 ? right : left;
    auto& other = isJogLorR == 1 ? left : right;

    active.setToggleState (true, juce::dontSendNotification);

    if (active.isShowing())
        active.grabKeyboardFocus();

    other.updateText();
}
