#pragma once

#include <cstddef>

namespace zorv
{
    // The product line as data: port-name patterns in the order they are
    // tried, names, request families and firmware-file-name rules.
    struct ProductTables
    {
        template <typename Row>
        struct Rows
        {
            const Row* rows;
            size_t size;

            const Row* begin() const noexcept   { return rows; }
            const Row* end() const noexcept     { return rows + size; }
        };

        struct PatternRow
        {
            const char* pattern;
            int pid;
        };

        struct NameRow
        {
            int pid;
            const char* name;
        };

        struct FamilyRow
        {
            int pid;
            int family;
        };

        // A name fits when it matches none of `noneOf` and one of `anyOf`
        // (unused slots are null).
        struct FirmwareNameRow
        {
            int pid;
            const char* anyOf[2];
            const char* noneOf[2];
        };

        static const Rows<PatternRow> normalPatterns;
        static const Rows<PatternRow> specialPatterns;
        static const Rows<NameRow> normalNames;
        static const Rows<NameRow> specialNames;
        static const Rows<FamilyRow> families;
        static const Rows<FirmwareNameRow> firmwareNames;
    };
}
