// libFuzzer target for the mapping-file loader (TrvPlus::openFile). Each input
// is written to a file and loaded into a model in its start-up state. What
// must hold:
// - a refused file leaves every map, the current mode and every mirror table
//   exactly as they were;
// - an accepted file gives a map of the controls 1 to 89, in id order, and
//   saves; the saved file loads again, and saving that gives the same bytes.
// A violation aborts, so libFuzzer keeps the input. Sanitizers, hangs (-timeout)
// and memory blow-ups (-rss_limit_mb) are reported by libFuzzer itself.
//
// The model is the process's singleton, whose destruction at exit writes the
// settings file: run it through tests/support/with-private-var.sh (README).

#include "core/ControlIds.h"
#include "core/CtMap.h"
#include "core/MirrorSnapshot.h"
#include "core/SharedFlags.h"
#include "core/Tags.h"
#include "core/TrvPlus.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace
{
    struct Model
    {
        explicit Model (TrvPlus& t)
            : mode (t.getCurrentCtMode().getValue()),
              maps (t.getCurrentMap().getTree().getParent().createCopy())
        {
        }

        bool operator== (const Model& other) const
        {
            return mode == other.mode && maps.isEquivalentTo (other.maps) && mirrors == other.mirrors;
        }

        int mode;
        juce::ValueTree maps;
        MirrorSnapshot mirrors;
    };

    [[noreturn]] void violated (const char* what)
    {
        std::fprintf (stderr, "mapping-file invariant violated: %s\n", what);
        std::abort();
    }

    // Factory maps in place (the loader's replacements included), "mackie"
    // current, mirror tables and flags as at start-up: every input meets the
    // same model. The factory maps and tables are taken once, on the first
    // call, when the model is fresh.
    void backToStartUp (TrvPlus& t)
    {
        static const auto startUp = [&t]
        {
            std::pair<juce::Array<juce::ValueTree>, Model> s { {}, Model (t) };

            for (int m = 0; m < 5; ++m)
                s.first.add (CtMap (CtMode (m)).getTree());

            return s;
        }();

        isZoomNorLR = 0;
        isJogLorR = 0;
        displayingExpander = false;
        g_LasPtcl4Usdf = 0;

        for (int m = 0; m < 5; ++m)
        {
            t.setCtMode (CtMode (m));
            auto live = t.getCurrentMap().getTree();
            live.copyPropertiesAndChildrenFrom (startUp.first[m], nullptr);
        }

        t.setCtMode (CtMode (CtMode::mackie));
        startUp.second.mirrors.restore();
    }

    // In the wrapper's throw-away /var (a tmpfs: every save ends with an
    // fsync, and nothing is left behind).
    juce::File scratchFolder()
    {
        auto folder = juce::File (std::getenv ("QUELT_READONLY_DIR")).getParentDirectory()
                          .getChildFile ("quelt-fuzz-" + juce::Uuid().toString());
        folder.createDirectory();
        return folder;
    }
}

extern "C" int LLVMFuzzerInitialize (int*, char***);
extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    if (std::getenv ("QUELT_READONLY_DIR") == nullptr)
    {
        std::fprintf (stderr, "run through tests/support/with-private-var.sh: the model writes the settings file at exit\n");
        std::exit (1);
    }

    std::atexit ([] { TrvPlus::deleteInstance(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static const auto folder = scratchFolder();
    static const auto input = folder.getChildFile ("input.quelt");
    static const auto saved = folder.getChildFile ("saved.quelt");

    auto& model = *TrvPlus::getInstance();
    backToStartUp (model);

    if (! input.replaceWithData (data, size))
        violated ("cannot write the input file");

    const Model before (model);

    if (model.openFile (input).failed())
    {
        if (! (Model (model) == before))
            violated ("a refused file changed the model");

        return 0;
    }

    // The reset and the page go by position: anything but the 89 controls in
    // id order leaves some control out of their reach.
    const auto controls = model.getCurrentMap().getTree().getChildWithName (Tags::controls);

    if (controls.getNumChildren() != ControlIds::count)
        violated ("an accepted map does not hold 89 controls");

    for (int i = 0; i < ControlIds::count; ++i)
        if (controls.getChild (i).getProperty (Tags::cid).toString() != juce::String (i + 1))
            violated ("an accepted map's controls are not 1 to 89 in id order");

    const int mode = model.getCurrentCtMode().getValue();

    if (model.saveCurrentMapping (saved).failed())
        violated ("an accepted file does not save");

    juce::MemoryBlock first;
    saved.loadFileAsData (first);

    if (model.openFile (saved).failed())
        violated ("a saved file does not load");

    if (model.getCurrentCtMode().getValue() != mode)
        violated ("a saved file loads as another mode");

    if (model.saveCurrentMapping (saved).failed())
        violated ("a reloaded file does not save");

    juce::MemoryBlock second;
    saved.loadFileAsData (second);

    if (first != second)
        violated ("a saved file does not save to the same bytes");

    return 0;
}
