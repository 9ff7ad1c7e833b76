// JUCE's X11 declarations, for its display connection: reading through the
// connection that wrote the hints sees every request it has sent so far.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1

#include "tests/support/X11SizeHints.h"

juce::String X11SizeHints::of (juce::Component& window)
{
   #if JUCE_LINUX || JUCE_BSD
    auto* peer = window.getPeer();
    auto* xws = juce::XWindowSystem::getInstanceWithoutCreating();

    if (peer == nullptr || xws == nullptr || xws->getDisplay() == nullptr)
        return "no window";

    juce::XWindowSystemUtilities::ScopedXLock lock;
    XSizeHints hints {};
    long supplied = 0;

    if (XGetWMNormalHints (xws->getDisplay(), (::Window) (juce::pointer_sized_uint) peer->getNativeHandle(),
                           &hints, &supplied) == 0)
        return "no hints";

    juce::StringArray parts;

    if ((hints.flags & PMinSize) != 0)
        parts.add ("min " + juce::String (hints.min_width) + " x " + juce::String (hints.min_height));

    if ((hints.flags & PMaxSize) != 0)
        parts.add ("max " + juce::String (hints.max_width) + " x " + juce::String (hints.max_height));

    return parts.isEmpty() ? juce::String ("no limits") : parts.joinIntoString (", ");
   #else
    juce::ignoreUnused (window);
    return "not on X11";
   #endif
}
