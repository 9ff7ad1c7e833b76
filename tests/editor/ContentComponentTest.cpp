#include "tests/editor/ContentComponentProbe.h"

#include "core/HuiTables.h"
#include "core/MirrorTables.h"
#include "core/RecordRow.h"
#include "tests/support/EmulatedController.h"
#include "tests/support/ForeignFileNames.h"
#include "tests/support/ScopedMidiSystem.h"
#include "tests/upgrader/WizardHarness.h"

#include "BinaryData.h"

using namespace editor_page_test;

namespace
{
    [[maybe_unused]] auto* const cleanup = ::testing::AddGlobalTestEnvironment (new TrvPlusCleanup());

    juce::MouseEvent mouseAt (juce::Component& c, int x, int y)
    {
        const juce::Point<float> p ((float) x, (float) y);
        const auto now = juce::Time::getCurrentTime();
        return { juce::Desktop::getInstance().getMainMouseSource(), p, {}, juce::MouseInputSource::defaultPressure,
                 0.0f, 0.0f, 0.0f, 0.0f, &c, &c, now, p, now, 1, false };
    }

    // Notes every alert box shown while it is the default look and feel.
    struct AlertRecorder : juce::LookAndFeel_V4
    {
        AlertRecorder()             { juce::LookAndFeel::setDefaultLookAndFeel (this); }
        ~AlertRecorder() override   { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); }

        juce::AlertWindow* createAlertWindow (const juce::String& title, const juce::String& message,
                                              const juce::String& b1, const juce::String& b2, const juce::String& b3,
                                              juce::MessageBoxIconType icon, int numButtons,
                                              juce::Component* associated) override
        {
            shown.add (title + ": " + message);
            warnings += icon == juce::MessageBoxIconType::WarningIcon ? 1 : 0;
            return LookAndFeel_V4::createAlertWindow (title, message, b1, b2, b3, icon, numButtons, associated);
        }

        void dismissAll()
        {
            while (auto* modal = juce::ModalComponentManager::getInstance()->getModalComponent (0))
            {
                modal->exitModalState (0);
                runMessageLoop();
            }
        }

        juce::StringArray shown;
        int warnings = 0;
    };
}

class EditorPage : public PageFixture
{
protected:
    juce::ValueTree record (int cid) const      { return trv->getCurrentMap().getControlById (cid); }
    int mode() const                            { return trv->getCurrentCtMode(); }

    // Through the mode box, as the user does: item index 0..3.
    void chooseModeItem (int index)
    {
        probe->modeBox().setSelectedItemIndex (index, juce::sendNotificationSync);
    }

    // Alert boxes are windows on the desktop: Xvfb under ctest.
    static bool hasDisplay()    { return juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty(); }
};

//==============================================================================
TEST_F (EditorPage, StartsInTheMLayoutWithEmptyAttributeBoxes)
{
    EXPECT_EQ (page->getBounds(), juce::Rectangle<int> (0, 0, 1000, 576));
    EXPECT_TRUE (probe->controls().isVisible());
    EXPECT_EQ (probe->mixer().getBounds(), juce::Rectangle<int> (0, 64, 786, 500));
    EXPECT_FALSE (probe->rotBox().isVisible() || probe->rotLabel().isVisible());
    EXPECT_EQ (probe->typeBox().getNumItems() + probe->chanBox().getNumItems() + probe->funcBox().getNumItems(), 0);
    EXPECT_EQ (probe->captions(), "Msg Type/Channel/Message");
    EXPECT_FALSE (probe->ptclBox().isEnabled());
}

TEST_F (EditorPage, ClickingAControlSelectsItAloneAndShowsItsFactoryAssignment)
{
    select (9);     // solo 1: note 8 on channel 1

    EXPECT_EQ (probe->toggled(), juce::Array<int> ({ 9 }));
    EXPECT_EQ (probe->typeBox().getItemText (0) + "|" + probe->typeBox().getItemText (1) + "|"
                   + probe->typeBox().getItemText (2), "1) Note|2) CC|3) Pitch Bend");
    EXPECT_EQ (probe->typeBox().getSelectedItemIndex(), 0);
    EXPECT_EQ (probe->chanBox().getText(), "1");
    EXPECT_EQ (probe->funcBox().getNumItems(), 128);
    EXPECT_TRUE (probe->funcBox().getText().startsWith ("8 ) "));
    EXPECT_FALSE (probe->typeBox().isEnabled() || probe->chanBox().isEnabled() || probe->funcBox().isEnabled());

    select (25);
    EXPECT_EQ (probe->toggled(), juce::Array<int> ({ 25 }));
}

TEST_F (EditorPage, RPutsTheCurrentMapBackAndRefillsTheBoxes)
{
    chooseModeItem (3);
    select (9);
    const int row = rowForCid (9);
    choose (probe->chanBox(), 5);
    ASSERT_EQ (nd[row][1], 0x94);

    page->keyPressed (juce::KeyPress ('R'));
    EXPECT_EQ (nd[row][1], 0x90);
    EXPECT_EQ ((int) record (9)[Tags::chan], 1);
    EXPECT_EQ (probe->chanBox().getSelectedItemIndex(), 0);
    EXPECT_EQ (probe->toggled(), juce::Array<int> ({ 9 }));
}

TEST_F (EditorPage, OnlyFaderTouchOffersTheNullTypeAndShowsItWhenChosen)
{
    chooseModeItem (3);

    // Fader touch 1 to 8 are controls 41 to 48; their neighbours in id order
    // (knob push 8) and the master touch area are no fader touch.
    for (const int cid : { 40, 41, 45, 48, 53 })
    {
        select (cid);
        const bool faderTouch = cid >= 41 && cid <= 48;
        ASSERT_EQ (probe->typeBox().getNumItems(), faderTouch ? 4 : 3) << "control " << cid;

        if (faderTouch)
        {
            EXPECT_EQ (probe->typeBox().getItemText (3), "4) null") << "control " << cid;
        }
    }

    select (48);
    choose (probe->typeBox(), 4);
    EXPECT_EQ (record (48)[Tags::type].toString(), "null");

    // Selected again, the box shows what the control now sends.
    select (42);
    select (48);
    EXPECT_EQ (probe->typeBox().getSelectedItemIndex(), 3);
}

TEST_F (EditorPage, KnobRotationPatternFollowsTheControllerNumber)
{
    chooseModeItem (3);
    select (65);    // knob 1: CC16, incremental
    EXPECT_TRUE (probe->rotBox().isVisible() && probe->rotLabel().isVisible());
    EXPECT_EQ (probe->rotBox().getSelectedItemIndex(), 0);

    choose (probe->funcBox(), 31);  // CC30: numerical
    EXPECT_EQ ((int) record (65)[Tags::velo], 127);
    EXPECT_EQ (probe->rotBox().getSelectedItemIndex(), 1);

    choose (probe->funcBox(), 61);  // CC60: incremental again
    EXPECT_EQ ((int) record (65)[Tags::velo], 64);

    choose (probe->typeBox(), 1);   // a note: no rotation pattern
    EXPECT_FALSE (probe->rotBox().isVisible());
}

TEST_F (EditorPage, ZoomButtonsWalkTheJogWheelStates)
{
    auto& c = probe->controls();

    click (*c.zoomButton1);
    EXPECT_EQ (isZoomNorLR, 1);
    EXPECT_EQ (probe->toggled(), juce::Array<int> ({ 73, 75 }));
    EXPECT_EQ (page->findSelectedControl(), c.leftJogHalf.get());

    click (*c.zoomButton1);
    EXPECT_EQ (isZoomNorLR, 0);
    EXPECT_EQ (probe->toggled(), juce::Array<int> ({ 73 }));

    click (*c.rightJogHalf);
    EXPECT_EQ (isJogLorR, 1);
    EXPECT_EQ (probe->toggled(), juce::Array<int> ({ 74 }));

    click (*c.zoomButton2);
    EXPECT_EQ (isZoomNorLR, 2);
    EXPECT_EQ (probe->toggled(), juce::Array<int> ({ 74, 76 }));

    select (9);
    EXPECT_EQ (isZoomNorLR, 2) << "other controls leave the zoom state alone";
    EXPECT_EQ (probe->toggled(), juce::Array<int> ({ 9 }));
}

TEST_F (EditorPage, TheXLayoutDropsASelectionItNoLongerShows)
{
    chooseModeItem (3);

    // A channel control is on both layouts: it stays selected and shown.
    select (9);
    page->keyPressed (juce::KeyPress ('X'));
    EXPECT_EQ (probe->toggled(), juce::Array<int> ({ 9 }));
    EXPECT_EQ (probe->chanBox().getNumItems(), 16);
    page->keyPressed (juce::KeyPress ('M'));

    // The master strip and the jog wheel are not: the boxes empty as at
    // start, and an edit has nothing to go to. Control 75 zooms the wheel.
    for (const int cid : { 85, 74, 75 })
    {
        select (cid);

        if (cid == 74)
        {
            choose (probe->typeBox(), 2);   // CC: the rotation box shows
            ASSERT_TRUE (probe->rotBox().isVisible());
        }

        page->keyPressed (juce::KeyPress ('X'));
        EXPECT_TRUE (probe->toggled().isEmpty()) << "control " << cid;
        EXPECT_EQ (page->findSelectedControl(), nullptr);
        EXPECT_EQ (probe->typeBox().getNumItems() + probe->chanBox().getNumItems()
                       + probe->funcBox().getNumItems() + probe->rotBox().getNumItems(), 0);
        EXPECT_FALSE (probe->rotBox().isVisible() || probe->rotLabel().isVisible());

        page->keyPressed (juce::KeyPress ('M'));
        EXPECT_TRUE (probe->toggled().isEmpty()) << "nothing comes back with the M layout";
    }

    EXPECT_EQ (isZoomNorLR, 1) << "the zoom state stays as the user left it";
}

TEST_F (EditorPage, ZoomedJogHalvesStandForTheCursorControlsInUserModesOnly)
{
    auto& c = probe->controls();

    chooseModeItem (3);
    click (*c.zoomButton1);
    EXPECT_EQ (c.leftJogHalf->cid, 86);
    EXPECT_EQ (c.rightJogHalf->cid, 87);
    EXPECT_EQ ((int) c.rightJogHalf->value.getValue(), nd[70][2]);
    EXPECT_FALSE (probe->rotBox().isVisible()) << "a cursor control is a button";

    click (*c.zoomButton1);
    chooseModeItem (2);
    click (*c.leftJogHalf);
    click (*c.zoomButton1);
    EXPECT_EQ (c.leftJogHalf->cid, 73) << "factory modes keep the panel's binding";
    EXPECT_EQ ((int) c.leftJogHalf->value.getValue(), 87);
    EXPECT_EQ ((int) c.rightJogHalf->value.getValue(), 89);
}

TEST_F (EditorPage, ProtocolBoxSwitchesBetweenTheUserModes)
{
    chooseModeItem (3);
    select (9);

    choose (probe->ptclBox(), 2);
    EXPECT_EQ (mode(), CtMode::usrdefHui);
    EXPECT_EQ (g_LasPtcl4Usdf, 1);
    EXPECT_EQ (probe->captions(), "Value1/Value2/Function");

    // Refilled for the selected control in its HUI meaning.
    EXPECT_EQ (probe->typeBox().getNumItems(), 30);
    EXPECT_EQ (probe->typeBox().getSelectedItemIndex(), (int) record (9)[Tags::v1]);
    EXPECT_EQ (probe->chanBox().getItemText (0), "0) 0x40");
    EXPECT_TRUE (probe->funcBox().getItemText (0).startsWith ("0) "));

    // Item 4 of the mode box now means the HUI variant.
    chooseModeItem (0);
    chooseModeItem (3);
    EXPECT_EQ (mode(), CtMode::usrdefHui);
}

TEST_F (EditorPage, ProToolsShowsItsAssignmentWithoutSelections)
{
    chooseModeItem (2);
    EXPECT_FALSE (probe->ptclBox().isEnabled());
    EXPECT_EQ (probe->ptclBox().getSelectedId(), 2);

    select (9);
    EXPECT_EQ (probe->typeBox().getItemText (1), " 1) 0x01");
    EXPECT_EQ (probe->typeBox().getSelectedItemIndex(), -1);
    EXPECT_EQ (probe->chanBox().getSelectedItemIndex(), -1);
    EXPECT_FALSE (probe->funcBox().getItemText (0).containsChar (')'));
    EXPECT_EQ (probe->funcBox().getNumItems(), probe->funcBox().getValues().size());
}

TEST_F (EditorPage, HuiBoxesFallBackForUnmatchedValues)
{
    chooseModeItem (3);
    choose (probe->ptclBox(), 2);
    ASSERT_EQ (mode(), CtMode::usrdefHui);

    record (9).setProperty (Tags::v2, 0x30, nullptr);
    select (9);
    EXPECT_EQ (probe->chanBox().getNumItems(), 8);
    EXPECT_EQ (probe->chanBox().getSelectedItemIndex(), -1);

    // A knob is told by its second value alone.
    record (66).setProperty (Tags::v1, 0x11, nullptr);
    record (66).setProperty (Tags::v2, 3, nullptr);
    select (66);
    EXPECT_EQ (probe->funcBox().getSelectedItemIndex(), 3);

    // Picking a function writes both values and selects the matching port.
    select (9);
    choose (probe->funcBox(), 6);
    EXPECT_EQ ((int) record (9)[Tags::v1], HuiBnVaPairs0[5][0]);
    EXPECT_EQ (probe->chanBox().getSelectedItemIndex(), HuiBnVaPairs0[5][1] - 0x40);
}

TEST_F (EditorPage, LayoutKeysClicksAndThePictureSwitchLayouts)
{
    page->keyPressed (juce::KeyPress ('X'));
    EXPECT_TRUE (displayingExpander);
    EXPECT_EQ (page->getWidth(), 786);
    EXPECT_FALSE (probe->controls().isVisible());

    page->keyPressed (juce::KeyPress ('m'));
    EXPECT_FALSE (displayingExpander);
    EXPECT_EQ (page->getWidth(), 1000);
    EXPECT_TRUE (probe->controls().isVisible());

    // The image's right and bottom edges lie outside it.
    page->mouseDown (mouseAt (*page, 631, 24));
    page->mouseDown (mouseAt (*page, 201, 64));
    EXPECT_FALSE (displayingExpander);

    page->mouseDown (mouseAt (*page, 201, 24));
    EXPECT_TRUE (displayingExpander);
    EXPECT_EQ (page->getWidth(), 786);

    page->mouseMove (mouseAt (*page, 630, 63));
    EXPECT_TRUE (m2x_in_paint);
    page->mouseExit (mouseAt (*page, 0, 0));
    EXPECT_FALSE (m2x_in_paint);

    // Both layouts paint whole: the page colour below the surface, the
    // layout's own picture (at x 778 the Trevan X surface has ended, the
    // Trevan M's goes on) and product name, and a command button in the
    // framework's button colour. The snapshots are kept for a look by eye.
    const auto pixelOf = [] (const void* png, size_t size, int x, int y)
    {
        return juce::ImageFileFormat::loadFrom (png, size).getPixelAt (x, y);
    };

    struct Layout { bool x; juce::Colour surface; juce::Point<int> namePoint; juce::Colour name; const char* file; };
    const Layout layouts[] =
    {
        { false, pixelOf (BinaryData::bg_png, BinaryData::bg_pngSize, 778, 60), { 369, 40 },
          pixelOf (BinaryData::trv_png, BinaryData::trv_pngSize, 168, 16), "editor-page-m.png" },
        { true, pixelOf (BinaryData::bgex_png, BinaryData::bgex_pngSize, 778, 60), { 363, 40 },
          pixelOf (BinaryData::trx_png, BinaryData::trx_pngSize, 162, 16), "editor-page-x.png" },
    };

    for (const auto& layout : layouts)
    {
        page->willDispXS (layout.x);
        const auto image = page->createComponentSnapshot (page->getLocalBounds());
        const auto at = [&image] (juce::Point<int> p) { return image.getPixelAt (p.x, p.y); };
        SCOPED_TRACE (layout.file);

        EXPECT_EQ (at ({ 10, 570 }).toString(), "ffeeeeee");
        EXPECT_EQ (at ({ 778, 60 }).toString(), layout.surface.toString());
        EXPECT_EQ (at (layout.namePoint).toString(), layout.name.toString());
        EXPECT_EQ (at ({ 436, 557 }).toString(), "ff283338");  // "Send Data": 263238 at 0.9 saturation, unfocused

        auto file = juce::File (QUELT_TEST_BINARY_DIR).getChildFile (layout.file);
        file.deleteFile();
        juce::FileOutputStream out (file);
        EXPECT_TRUE (out.openedOk() && juce::PNGImageFormat().writeImageToStream (image, out));
    }

    // The points tell the layouts apart: the pictures differ there, and each
    // name point is clear in the other layout's name image.
    EXPECT_NE (layouts[0].surface, layouts[1].surface);
    EXPECT_LT (pixelOf (BinaryData::trx_png, BinaryData::trx_pngSize, 168, 16).getAlpha()
                   + pixelOf (BinaryData::trv_png, BinaryData::trv_pngSize, 162, 16).getAlpha(), 0x20);
}

TEST_F (EditorPage, DecodesTheSurfacePictureOfALayoutOnlyWhenItIsFirstDrawn)
{
    // The page decodes through JUCE's image cache, which files a picture
    // under the address of its embedded data. Pictures that only the cache
    // still holds (left by earlier pages) are dropped first.
    juce::ImageCache::releaseUnusedImages();
    const auto decoded = [] (const char* data)
    {
        return juce::ImageCache::getFromHashCode ((juce::int64) (juce::pointer_sized_int) data).isValid();
    };

    EXPECT_FALSE (decoded (BinaryData::bg_png));
    EXPECT_FALSE (decoded (BinaryData::bgex_png));

    (void) page->createComponentSnapshot (page->getLocalBounds());
    EXPECT_TRUE (decoded (BinaryData::bg_png));
    EXPECT_FALSE (decoded (BinaryData::bgex_png)) << "the Trevan X picture was decoded while the M layout is shown";

    page->keyPressed (juce::KeyPress ('X'));
    EXPECT_FALSE (decoded (BinaryData::bgex_png));

    (void) page->createComponentSnapshot (page->getLocalBounds());
    EXPECT_TRUE (decoded (BinaryData::bgex_png));

    // The picture shown last stays, so switching back costs nothing.
    juce::ImageCache::releaseUnusedImages();
    EXPECT_TRUE (decoded (BinaryData::bg_png));
}

TEST_F (EditorPage, LoadsMakeTheFilesModeCurrentAndAFailedOneStillFollowsTheModel)
{
    if (! hasDisplay())
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";

    const auto folder = juce::File (juce::SystemStats::getEnvironmentVariable ("QUELT_TEST_TMP",
                                                                                QUELT_TEST_BINARY_DIR "/tmp"))
                            .getChildFile ("ContentComponentTest");
    ASSERT_TRUE (folder.createDirectory());
    const auto file = folder.getChildFile ("hui.quelt");

    trv->setCtMode (CtMode (CtMode::usrdefHui));
    ASSERT_TRUE (trv->saveCurrentMapping (file).wasOk());
    trv->setCtMode (CtMode (CtMode::mackie));
    page->stabilize_controls();
    select (9);

    probe->loadMapping (file);
    EXPECT_EQ (mode(), CtMode::usrdefHui);
    EXPECT_EQ (probe->modeBox().getSelectedItemIndex(), 3);
    EXPECT_EQ (probe->captions(), "Value1/Value2/Function");
    EXPECT_EQ (probe->typeBox().getNumItems(), 30);
    folder.deleteRecursively();

    // The model moves on behind the page's back; the failed load still
    // brings the page in line with it.
    AlertRecorder recorder;
    trv->setCtMode (CtMode (CtMode::usrdefMcp));
    probe->loadMapping (juce::File (QUELT_TEST_BINARY_DIR).getChildFile ("no-such-mapping.quelt"));
    recorder.dismissAll();

    EXPECT_EQ (recorder.shown, juce::StringArray ({ "Load Mapping: Could not load mapping data" }));
    EXPECT_EQ (recorder.warnings, 1);
    EXPECT_EQ (mode(), CtMode::usrdefMcp);
    EXPECT_EQ (probe->modeBox().getSelectedItemIndex(), 3);
    EXPECT_EQ (probe->captions(), "Msg Type/Channel/Message");
    EXPECT_EQ (probe->typeBox().getNumItems(), 3);
}

TEST_F (EditorPage, LoadAndSaveFileBrowseAFolderOfNamesThatAreNotUtf8)
{
    if (! hasDisplay())
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";

    if (juce::FileChooser::isPlatformDialogAvailable())
        GTEST_SKIP() << "the system's own file chooser cannot be driven";

    // Both choosers start in the working folder: here, one that holds names
    // JUCE's own chooser overran the heap with when it listed them.
    struct ScopedWorkingFolder
    {
        explicit ScopedWorkingFolder (const juce::File& f)  { f.setAsCurrentWorkingDirectory(); }
        ~ScopedWorkingFolder()                              { previous.setAsCurrentWorkingDirectory(); }
        const juce::File previous = juce::File::getCurrentWorkingDirectory();
    };

    const auto folder = juce::File (juce::SystemStats::getEnvironmentVariable ("QUELT_TEST_TMP",
                                                                                QUELT_TEST_BINARY_DIR "/tmp"))
                            .getChildFile ("LoadAndSaveForeignNames");
    foreign_names::removeFolder (folder);
    ASSERT_TRUE (folder.createDirectory());
    auto names = foreign_names::names (".quelt");
    foreign_names::createIn (folder, names);
    std::sort (names.begin(), names.end());

    wizard_test::ModalAnswerer user;
    foreign_names::ChooserListing listing;
    user.preferredButtons = { "Cancel" };
    user.leaveAlone = [&listing] (juce::Component& modal) { return listing.stillListing (modal); };

    {
        ScopedWorkingFolder inFolder (folder);

        for (auto* button : { &probe->loadBtn(), &probe->saveBtn() })
        {
            const auto shown = user.windows.size();
            listing.files.clear();
            button->triggerClick();
            EXPECT_TRUE (wizard_test::runMessageLoopUntil ([&]
            {
                return user.windows.size() > shown && juce::Component::getCurrentlyModalComponent() == nullptr;
            }));

            EXPECT_EQ (foreign_names::bytesOf (listing.files), names) << button->getButtonText();
        }
    }

    foreign_names::removeFolder (folder);
    EXPECT_EQ (user.windows, juce::StringArray ({ "Load Mapping", "Save Mapping" }));
    EXPECT_TRUE (user.alerts.isEmpty()) << user.alerts.joinIntoString ("\n");
    EXPECT_TRUE (user.stuck.isEmpty());
}

TEST_F (EditorPage, SendDataTransfersTheMappingAndReportsTheOutcome)
{
    if (! hasDisplay())
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";

    AlertRecorder recorder;
    VirtualMidiSystem midi;
    ScopedMidiSystem scope (midi);
    EmulatedController trevanM (midi, EmulatedController::trevanM());
    EmulatedController trevanX (midi, EmulatedController::trevanX());

    click (probe->sendBtn());
    trv->setCurrentOutputDevice ("Trevan M");
    click (probe->sendBtn());

    page->keyPressed (juce::KeyPress ('X'));
    trv->setCurrentOutputDevice ("Trevan X");
    click (probe->sendBtn());
    midi.waitUntilIdle();
    recorder.dismissAll();

    EXPECT_EQ (recorder.shown, juce::StringArray ({ "Send Mapping: No device selected",
                                                   "Send Mapping: Done!",
                                                   "Send Mapping: Done!" }));
    EXPECT_EQ (recorder.warnings, 3);

    ASSERT_EQ (trevanM.numCompleteTransfers(), 1);
    EXPECT_EQ (trevanM.startFrame().productId, 117);
    ASSERT_EQ (trevanX.numCompleteTransfers(), 1);
    EXPECT_EQ (trevanX.startFrame().productId, 118);
    EXPECT_TRUE (trevanX.violations().isEmpty()) << trevanX.violations().joinIntoString ("\n");
}
