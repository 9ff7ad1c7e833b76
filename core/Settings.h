#pragma once

#include <juce_data_structures/juce_data_structures.h>

// The settings file: where it lives and how it is stored. Nothing is read
// from it; the mapping singleton writes its maps into it on the way out.
class Settings : public juce::ApplicationProperties
{
public:
    Settings();

    static juce::PropertiesFile::Options options();

    // Writes the file with the one key "modes" holding the tree's XML text, in
    // JUCE's compressed binary form: the common file, or the user's when the
    // common one cannot be written. The file is replaced only once the new
    // one is wholly written (JUCE's own save would put a cut-off file in its
    // place on a full disk), so a failed write keeps the previous one. Returns
    // false when neither could be written.
    bool writeModes (const juce::XmlElement& modes);
};
