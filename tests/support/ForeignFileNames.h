#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// File names that are not UTF-8, as a folder can hold them: JUCE reads every
// name of a folder it lists, its own file chooser included.
namespace foreign_names
{
    // A Latin-1 name as older systems wrote it (the leading 0xC0, "À", is
    // followed by a space, so it starts no UTF-8 sequence), and a long run of
    // bytes that only ever continue one.
    inline std::vector<std::string> names (const std::string& extension)
    {
        return { "\xC0 propos de la configuration du contr\xF4leur pour le studio" + extension,
                 std::string (200, '\x80') + extension };
    }

    // The files are made and removed by their bytes, without JUCE reading
    // their names, so that only what a test drives reads them.
    inline void createIn (const juce::File& folder, const std::vector<std::string>& fileNames)
    {
        for (const auto& name : fileNames)
            std::ofstream (folder.getFullPathName().toStdString() + "/" + name) << "x";
    }

    inline void removeFolder (const juce::File& folder)
    {
        std::error_code ignored;
        std::filesystem::remove_all (folder.getFullPathName().toStdString(), ignored);
    }

    // The bytes of every name in `files`, sorted.
    inline std::vector<std::string> bytesOf (const juce::Array<juce::File>& files)
    {
        std::vector<std::string> result;

        for (const auto& f : files)
            result.push_back (f.getFileName().toStdString());

        std::sort (result.begin(), result.end());
        return result;
    }

    // JUCE's own chooser lists its folder on a thread of its own, so a stand-in
    // user who answered at once could close it before a single name was read.
    // For the stand-in's "leave it alone" hook: true while the chooser `modal`
    // is still listing, up to a deadline far beyond any machine's need; once
    // it is done, what it listed is kept in `files`.
    struct ChooserListing
    {
        bool stillListing (juce::Component& modal)
        {
            auto* shown = find (modal);

            if (shown == nullptr)
                return false;

            auto& list = shown->directoryContentsList;
            const auto now = juce::Time::getMillisecondCounter();

            if (deadline == 0)
                deadline = now + 20000;

            if (list.isStillLoading() && now < deadline)
                return true;

            deadline = 0;
            files.clearQuick();

            for (int i = 0; i < list.getNumFiles(); ++i)
                files.add (list.getFile (i));

            return false;
        }

        static juce::DirectoryContentsDisplayComponent* find (juce::Component& c)
        {
            if (auto* shown = dynamic_cast<juce::DirectoryContentsDisplayComponent*> (&c))
                return shown;

            for (auto* child : c.getChildren())
                if (auto* shown = find (*child))
                    return shown;

            return nullptr;
        }

        juce::Array<juce::File> files;
        juce::uint32 deadline = 0;
    };
}
