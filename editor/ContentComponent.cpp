#include "editor/ContentComponent.h"

#include "editor/AboutComponent.h"

#include "core/CtMap.h"
#include "core/SharedFlags.h"
#include "core/TrvPlus.h"
#include "platform/FixedSizeDialog.h"
#include "upgrader/FirmwareUpgrade.h"

#include "BinaryData.h"

bool m2x_in_paint = false;

namespace
{
    const juce::Colour pageColour       { 0xFFEEEEEE };
    const juce::Colour frameFillColour  { 0xFFC8C8C8 };
    const juce::Colour frameLineColour  { 0xFFBBBBBB };
    const juce::Colour tipColour        { 0xDFFFFFFF };

    constexpr int pageHeight = 576;
    constexpr int widthWithControls = 1000;
    constexpr int widthChannelsOnly = 786;


    juce::Image imageFrom (const char* data, int size)
    {
        return juce::ImageCache::getFromMemory (data, size);
    }

    void setUpLabel (juce::Label& label, const juce::String& text)
    {
        label.setText (text, juce::dontSendNotification);
        label.setColour (juce::Label::textColourId, juce::Colours::black);
        label.setJustificationType (juce::Justification::centred);
    }
}

ContentComponent::ContentComponent()
{
    setLookAndFeel (&lookAndFeel);
    m2x_in_paint = false;
    isZoomNorLR = 0;
    isJogLorR = 0;

    // The surface pictures are decoded when their layout is first drawn
    // (surfacePicture): one that is never shown costs neither the time nor
    // the 2.4 MB of its pixels.
    makerLogo = imageFrom (BinaryData::ZorvLogo_png, BinaryData::ZorvLogo_pngSize);
    trvImage  = imageFrom (BinaryData::trv_png,      BinaryData::trv_pngSize);
    trxImage  = imageFrom (BinaryData::trx_png,      BinaryData::trx_pngSize);

    tooltipWindow.setMillisecondsBeforeTipAppears (0);

    addAndMakeVisible (mixer);
    addAndMakeVisible (controls);

    const int m = TrvPlus::getInstance()->getCurrentCtMode();
    const bool hui = CtMode::isHui (m);

    setUpLabel (ptclLabel, "Control Protocol");
    setUpLabel (modeLabel, "Control Mode");
    setUpLabel (funcLabel, (m == CtMode::mackie || m == CtMode::usrdefMcp) ? "Message" : "Function");
    setUpLabel (chanLabel, hui ? "Value2" : "Channel");
    setUpLabel (typeLabel, hui ? "Value1" : "Msg Type");
    setUpLabel (rotLabel, "Rotation Pattern");

    // The attribute boxes never take the focus: it stays with the selected
    // control, so that the page's keys keep reaching the page.
    for (auto* box : { &funcBox, &chanBox, &typeBox, &rotBox })
        box->setWantsKeyboardFocus (false);

    const std::pair<juce::Label*, juce::ComboBox*> rows[] = {
        { &ptclLabel, &ptclBox }, { &modeLabel, &modeBox }, { &funcLabel, &funcBox },
        { &chanLabel, &chanBox }, { &typeLabel, &typeBox }, { &rotLabel, &rotBox }
    };

    for (auto& [label, box] : rows)
    {
        addAndMakeVisible (*label);
        addAndMakeVisible (*box);
        box->addListener (this);
    }

    rotLabel.setVisible (false);
    rotBox.setVisible (false);

    const std::pair<CommandButton*, const char*> commands[] = {
        { &saveBtn, "Save File" }, { &loadBtn, "Load File" }, { &sendBtn, "Send Data" },
        { &firmwareBtn, "Firmware Upgrade" }, { &connectBtn, "Connect" }
    };

    for (auto& [button, text] : commands)
    {
        addAndMakeVisible (*button);
        button->setButtonText (text);
    }

    for (auto* child : getChildren())
        if (auto* command = dynamic_cast<CommandButton*> (child))
            command->addListener (this);

    // Every click on a mappable button of either panel comes here.
    for (auto* child : panelChildren())
        if (auto* button = dynamic_cast<juce::Button*> (child))
            button->addListener (this);

    auto* trv = TrvPlus::getInstance();
    trv->setPtcl (trv->getCurrPtcl());
    stabilize_controls();
    setSize (widthWithControls, pageHeight);
}

ContentComponent::~ContentComponent()
{
    setLookAndFeel (nullptr);
}

//==============================================================================
juce::Rectangle<int> ContentComponent::prodLogoArea() const
{
    const auto& image = displayingExpander ? trxImage : trvImage;
    const int w = image.getWidth();
    return { 416 - w / 2, 24, w, image.getHeight() };
}

void ContentComponent::resized()
{
    updLayoutOfComboBoxes();
    updLayoutOfCommandBtns();

    mixer.setBounds (0, prodLogoArea().getBottom(), 786, 500);

    // The panel reaches past the page's right edge; only its left part shows.
    if (! displayingExpander)
        controls.setBounds (786, 22, 450, getHeight());
}

void ContentComponent::updLayoutOfComboBoxes()
{
    const int h = getHeight();

    const std::pair<juce::ComboBox*, juce::Rectangle<int>> boxes[] = {
        { &ptclBox, {  50, h - 95, 110, 22 } },
        { &modeBox, { 168, h - 95, 140, 22 } },
        { &typeBox, {  50, h - 59, 110, 22 } },
        { &chanBox, { 168, h - 59, 140, 22 } },
        { &funcBox, { 316, h - 59, 200, 22 } },
        { &rotBox,  { 524, h - 59, 140, 22 } }
    };

    juce::Label* labels[] = { &ptclLabel, &modeLabel, &typeLabel, &chanLabel, &funcLabel, &rotLabel };

    for (size_t i = 0; i < std::size (boxes); ++i)
    {
        const auto area = boxes[i].second;
        boxes[i].first->setBounds (area);
        labels[i]->setBounds (area.getX(), area.getY() - 18, area.getWidth(), 22);
    }
}

void ContentComponent::updLayoutOfCommandBtns()
{
    const int y = getHeight() - 30;

    firmwareBtn.setBounds ( 47, y, 94, 23);
    connectBtn.setBounds  (325, y, 94, 23);
    sendBtn.setBounds     (431, y, 94, 23);
    loadBtn.setBounds     (537, y, 94, 23);
    saveBtn.setBounds     (643, y, 94, 23);
}

//==============================================================================
void ContentComponent::paint (juce::Graphics& g)
{
    g.fillAll (pageColour);

    const juce::Rectangle<float> frame (12.0f, 12.0f, (float) getWidth() - 24.0f, 455.0f);
    g.setColour (frameFillColour);
    g.fillRoundedRectangle (frame, 15.0f);
    g.setColour (frameLineColour);
    g.drawRoundedRectangle (frame, 15.0f, 2.0f);

    paintLogos (g);

    const float x = lastMousePos.x;
    const float y = lastMousePos.y - 10.0f;

    auto drawTip = [&] (float width, int textWidth, const juce::String& text)
    {
        g.setColour (tipColour);
        g.fillRoundedRectangle (x, y, width, 20.0f, 5.0f);
        g.setColour (juce::Colours::black);
        g.drawText (text, juce::Rectangle<int> ((int) x, (int) y, textWidth, 20),
                    juce::Justification::centred, true);
    };

    if (m2x_in_paint)
        drawTip (185.0f, 185, "Trevan M <=> Trevan X");
    else if (overMakerLogo)
        drawTip (51.8f, 51, "About..");
}

const juce::Image& ContentComponent::surfacePicture()
{
    // Once decoded, a picture stays for the page's life: with two layouts
    // that is at most the one on screen and the one shown before it, and
    // switching back costs nothing.
    if (displayingExpander)
    {
        if (bgexImage.isNull())
            bgexImage = imageFrom (BinaryData::bgex_png, BinaryData::bgex_pngSize);

        return bgexImage;
    }

    if (bgImage.isNull())
        bgImage = imageFrom (BinaryData::bg_png, BinaryData::bg_pngSize);

    return bgImage;
}

void ContentComponent::paintLogos (juce::Graphics& g)
{
    g.drawImageAt (surfacePicture(), 0, 0);

    g.drawImage (makerLogo, 34, 24, makerLogo.getWidth() / 2, makerLogo.getHeight() / 2,
                 0, 0, makerLogo.getWidth(), makerLogo.getHeight());

    const auto& product = displayingExpander ? trxImage : trvImage;
    const auto area = prodLogoArea();
    g.drawImage (product, area.getX(), area.getY(), area.getWidth(), area.getHeight(),
                 0, 0, product.getWidth(), product.getHeight());
}

//==============================================================================
void ContentComponent::mouseMove (const juce::MouseEvent& e)
{
    lastMousePos = e.position;
    const auto p = e.getPosition();

    m2x_in_paint = prodLogoArea().contains (p);
    overMakerLogo = p.x >= 34 && p.x < 34 + makerLogo.getWidth() / 2
                 && p.y >= 24 && p.y < 24 + makerLogo.getHeight() / 2;
    repaint();
}

void ContentComponent::mouseExit (const juce::MouseEvent&)
{
    overMakerLogo = false;
    m2x_in_paint = false;
    repaint();
}

void ContentComponent::mouseDown (const juce::MouseEvent& e)
{
    const auto p = e.getPosition();

    if (prodLogoArea().contains (p))
    {
        willDispXS (! displayingExpander);
        repaint();
    }
    else if (p.x >= 34 && p.x < 34 + makerLogo.getWidth() / 2
          && p.y >= 24 && p.y < 24 + makerLogo.getHeight() / 2)
    {
        overMakerLogo = false;
        repaint();
        showAboutDlg();
    }
}

bool ContentComponent::keyPressed (const juce::KeyPress& key)
{
    int code = key.getKeyCode();

    if (code >= 'a' && code <= 'z')
        code += 'A' - 'a';

    if (code == 'M')
    {
        willDispXS (false);
        repaint();
    }
    else if (code == 'X')
    {
        willDispXS (true);
        repaint();
    }
    else if (code == 'R')
    {
        TrvPlus::getInstance()->getCurrentMap().reset();
        stabilize_controls();
    }
    else if (code == juce::KeyPress::F1Key && ! zorv::FirmwareUpgrade::isStepProtected())
    {
        // Not during a firmware step: the box would be modal above the wizard.
        showAboutDlg();
    }

    // Keys travel on in any case: Escape must reach the main window.
    return Component::keyPressed (key);
}

//==============================================================================
void ContentComponent::willDispXS (bool showX)
{
    displayingExpander = showX;
    controls.setVisible (! showX);
    dropHiddenSelection();
    // The id stored here is the plus model's; the mapping transfer names the
    // layout's own product (layoutProductId) whatever is stored.
    TrvPlus::getInstance()->setPID (showX ? zorv::ProductIds::TrevanXPlus : zorv::ProductIds::TrevanMPlus);
    setSize (showX ? widthChannelsOnly : widthWithControls, getHeight());
}

void ContentComponent::showAboutDlg() const
{
    FixedSizeDialog::Options options;
    options.title = juce::String ("About ") + JUCE_APPLICATION_NAME_STRING;
    options.nativeTitleBar = false;
    FixedSizeDialog::launchAsync (options, std::make_unique<AboutComponent>());
}

//==============================================================================
juce::Array<juce::Component*> ContentComponent::panelChildren() const
{
    juce::Array<juce::Component*> children;
    const int n = juce::jmax (mixer.getNumChildComponents(), controls.getNumChildComponents());

    for (int i = 0; i < n; ++i)
    {
        if (auto* child = mixer.getChildComponent (i))
            children.add (child);

        if (auto* child = controls.getChildComponent (i))
            children.add (child);
    }

    return children;
}
