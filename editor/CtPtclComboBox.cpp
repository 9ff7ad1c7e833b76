#include "editor/CtPtclComboBox.h"

#include "core/CtMode.h"
#include "core/MessageTypes.h"
#include "core/TrvPlus.h"

CtPtclComboBox::CtPtclComboBox()
{
    for (int i = 0; i < (int) juce::numElementsInArray (PtclName); ++i)
        addItem (juce::String (i + 1) + ") " + PtclName[i], i + 1);

    auto* trv = TrvPlus::getInstance();
    setSelectedItemIndex (trv->getCurrPtcl(), juce::dontSendNotification);

    const int mode = trv->getCurrentCtMode();
    setEnabled (mode == CtMode::usrdefMcp || mode == CtMode::usrdefHui);
}

CtPtclComboBox::~CtPtclComboBox() = default;

int CtPtclComboBox::getSelectedPtcl() const
{
    return getSelectedItemIndex();
}
