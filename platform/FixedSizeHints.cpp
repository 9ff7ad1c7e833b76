// JUCE's X11 declarations, for its display connection: hints sent through it
// stay in order with the ones JUCE itself sends.
#if defined (__linux__) || defined (__FreeBSD__)
 #define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#endif

#include "platform/FixedSizeHints.h"

FixedSizeHints::FixedSizeHints (juce::Component& desktopWindow)
    : window (desktopWindow)
{
    window.addComponentListener (this);
}

FixedSizeHints::~FixedSizeHints()
{
    window.removeComponentListener (this);
}

void FixedSizeHints::apply()
{
   #if JUCE_LINUX || JUCE_BSD
    auto* peer = window.getPeer();
    auto* xws = juce::XWindowSystem::getInstanceWithoutCreating();

    if (peer == nullptr || xws == nullptr || xws->getDisplay() == nullptr)
        return;

    const auto bounds = juce::Desktop::getInstance().getDisplays().logicalToPhysical (peer->getBounds());
    auto* x11 = juce::X11Symbols::getInstance();
    juce::XWindowSystemUtilities::ScopedXLock lock;

    if (auto* hints = x11->xAllocSizeHints())
    {
        // What JUCE states (the position and size it asked for), plus the limits.
        hints->flags = USPosition | USSize | PMinSize | PMaxSize;
        hints->x = bounds.getX();
        hints->y = bounds.getY();
        hints->width = hints->min_width = hints->max_width = bounds.getWidth();
        hints->height = hints->min_height = hints->max_height = bounds.getHeight();

        x11->xSetWMNormalHints (xws->getDisplay(), (::Window) (juce::pointer_sized_uint) peer->getNativeHandle(), hints);
        x11->xFree (hints);
    }
   #endif
}

void FixedSizeHints::componentMovedOrResized (juce::Component&, bool, bool)   { apply(); }
void FixedSizeHints::componentParentHierarchyChanged (juce::Component&)       { apply(); }
void FixedSizeHints::componentVisibilityChanged (juce::Component&)            { apply(); }
