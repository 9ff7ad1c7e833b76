#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

// Checks a table of fixed-width texts: every entry listed in `expected` holds
// exactly that text, every other entry holds `fallback`, and every entry is
// terminated inside its width and zero-padded to the end of it.
template <size_t width>
void expectTextTable (const char (*table)[width], int count,
                      const std::map<int, std::string>& expected,
                      const std::string& fallback = {})
{
    for (int i = 0; i < count; ++i)
    {
        const auto* text = table[i];
        const auto length = strnlen (text, width);
        ASSERT_LT (length, width) << "entry " << i << " is not terminated";

        for (auto b = length; b < width; ++b)
            EXPECT_EQ (text[b], 0) << "entry " << i << " is not zero-padded at byte " << b;

        const auto found = expected.find (i);
        const auto& want = found != expected.end() ? found->second : fallback;
        EXPECT_EQ (std::string (text), want) << "entry " << i;
    }

    for (const auto& [index, text] : expected)
        EXPECT_TRUE (index >= 0 && index < count) << "expected entry " << index << " lies outside the table";
}

// Adds `prefix` + n + `suffix` for n = 1..count at indexes first, first + 1, ...
inline void addNumbered (std::map<int, std::string>& names, int first, const std::string& prefix,
                         int count, const std::string& suffix = {})
{
    for (int n = 1; n <= count; ++n)
        names[first + n - 1] = prefix + std::to_string (n) + suffix;
}
