#include "upgrader/ProductTables.h"

#include <iterator>

namespace zorv
{
namespace
{
    using PatternRow = ProductTables::PatternRow;
    using NameRow = ProductTables::NameRow;
    using FamilyRow = ProductTables::FamilyRow;
    using FirmwareNameRow = ProductTables::FirmwareNameRow;

    // First match wins. A row giving 2000 keeps a model that is not supported
    // away from a shorter pattern further down that would otherwise claim it.
    const PatternRow normalPatternRows[] =
    {
        { "*wexel pro x*g2*",           2000 },
        { "*wexel pro xs*",             130 },
        { "*wexel pro x*",              94 },
        { "*wexel?pro?g2*",             176 },
        { "*wexel?ex*g2*",              177 },
        { "*wexel pro*",                79 },
        { "*wexel ex*",                 89 },
        { "*trevan?m+*kestrel*",        2000 },
        { "*trevan*pelion*",            2000 },
        { "*trevan?m+*",                156 },
        { "*trevan?m*g2*",              2000 },
        { "*trevan?m*",                 117 },
        { "*trevan?x+*",                161 },
        { "*trevan?x*",                 118 },
        { "*trevan?b+*",                170 },
        { "*trevan*air*rx*",            2000 },
        { "*trevan*air*",               2000 },
        { "*trevannano*g2*",            2000 },
        { "*trevannano*",               179 },
        { "*dovr*",                     81 },
        { "*fennic*pro*",               2000 },
        { "*fennic*",                   26 },
        { "*lortan?3x*",                147 },
        { "*lortan?4x*",                148 },
        { "*lortan?5x*",                149 },
        { "*lortan?6x*",                150 },
        { "*lortan?8x*",                151 },
        { "*lortan?3s?vst*",            133 },
        { "*lortan?3s?(tq?iii)*",       133 },
        { "*lortan?4s?vst*",            134 },
        { "*lortan?4s?(tq?iii)*",       134 },
        { "*lortan?5s?vst*",            135 },
        { "*lortan?5s?(tq?iii)*",       135 },
        { "*lortan?6s?vst*",            136 },
        { "*lortan?6s?(tq?iii)*",       136 },
        { "*lortan?8s?vst*",            137 },
        { "*lortan?8s?(tq?iii)*",       137 },
        { "*lortan?3s*",                111 },
        { "*lortan?4s*",                112 },
        { "*lortan?5s*",                113 },
        { "*lortan?6s*",                114 },
        { "*lortan?8s*",                126 },
        { "*lortan?3?mini*",            108 },
        { "*lortan?4?mini*",            109 },
        { "*lortan?3?nano*",            141 },
        { "*lortan?4?nano*",            142 },
        { "*lortan?5?nano*",            143 },
        { "*lortan?6?nano*",            144 },
        { "*lortan?8?nano*",            145 },
        { "*lor?tan?3*",                101 },
        { "*lor?tan?4*",                102 },
        { "*lor?tan?5*",                103 },
        { "*lor?tan?6*",                104 },
        { "*lor?tan?8*",                125 },
        { "*rmq*",                      49 },
        { "*tolv pro*",                 49 },
        { "*brisa?pro*",                2049 },
        { "*halmo?pro*",                2049 },
        { "*brisa?rx*",                 2000 },
        { "*brisa*",                    2048 }
    };

    const PatternRow specialPatternRows[] =
    {
        { "*trevan?m+*kestrel*",        187 },
        { "*trevan*pelion*",            2000 },
        { "*trevan*air*rx*",            2052 },
        { "*trevan*air*",               186 },
        { "*brisa?rx*",                 2050 }
    };

    const NameRow normalNameRows[] =
    {
        { 26,   "Fennics" },
        { 49,   "Rmq" },
        { 79,   "WexelPro" },
        { 81,   "Dovra" },
        { 89,   "WexelEx" },
        { 94,   "WexelPro X" },
        { 101,  "Lortan 3" },
        { 102,  "Lortan 4" },
        { 103,  "Lortan 5" },
        { 104,  "Lortan 6" },
        { 108,  "Lortan 3 mini" },
        { 109,  "Lortan 4 mini" },
        { 110,  "Lortan S" },
        { 111,  "Lortan 3S" },
        { 112,  "Lortan 4S" },
        { 113,  "Lortan 5S" },
        { 114,  "Lortan 6S" },
        { 117,  "Trevan M" },
        { 118,  "Trevan X" },
        { 125,  "Lortan 8" },
        { 126,  "Lortan 8S" },
        { 130,  "WexelPro XS" },
        { 133,  "Lortan 3S (Torqa III)" },
        { 134,  "Lortan 4S (Torqa III)" },
        { 135,  "Lortan 5S (Torqa III)" },
        { 136,  "Lortan 6S (Torqa III)" },
        { 137,  "Lortan 8S (Torqa III)" },
        { 141,  "Lortan 3 Nano" },
        { 142,  "Lortan 4 Nano" },
        { 143,  "Lortan 5 Nano" },
        { 144,  "Lortan 6 Nano" },
        { 145,  "Lortan 8 Nano" },
        { 147,  "Lortan 3X" },
        { 148,  "Lortan 4X" },
        { 149,  "Lortan 5X" },
        { 150,  "Lortan 6X" },
        { 151,  "Lortan 8X" },
        { 156,  "Trevan M+" },
        { 161,  "Trevan X+" },
        { 170,  "Trevan B+" },
        { 176,  "WexelPro G2" },
        { 177,  "WexelEx G2" },
        { 179,  "TrevanNano" },
        { 186,  "Trevan Air" },
        { 2048, "Brisa" },
        { 2049, "Brisa Pro" },
        { 2052, "Trevan Air" }
    };

    const NameRow specialNameRows[] =
    {
        { 2050, "Brisa RX" },
        { 186,  "Trevan Air" },
        { 2052, "Trevan Air" }
    };

    // Ids not listed carry their own id.
    const FamilyRow familyRows[] =
    {
        { 26,  85 },
        { 81,  85 },
        { 79,  79 },
        { 89,  79 },
        { 110, 110 },
        { 111, 110 },
        { 112, 110 },
        { 113, 110 },
        { 114, 110 },
        { 125, 101 },
        { 126, 110 },
        { 176, 176 },
        { 177, 176 }
    };

    // The plain S models and their VST / Torqa III variants share a file-name
    // stem, so the plain ones must refuse the variants' names explicitly.
    constexpr const char* lortanSVst   = "*lortan??s?vst?*";
    constexpr const char* lortanSTorqa = "*lortan??s?torqa?iii?*";
    constexpr const char* lortanS      = "*lortan??s?*";
    constexpr const char* lortanX      = "*lortan_*x_*";
    constexpr const char* lortanMini   = "*lortan???mini*";
    constexpr const char* wexelProEx   = "*wexel_pro_ex_*";
    constexpr const char* wexelG2      = "*wexelprog2_wexelexg2_*";

    // Ids not listed accept every file name.
    const FirmwareNameRow firmwareNameRows[] =
    {
        { 26,   { "*fennic?v*", "*fennics?v*" },    { nullptr, nullptr } },
        { 49,   { "*rmq_*", nullptr },              { nullptr, nullptr } },
        { 79,   { wexelProEx, nullptr },            { nullptr, nullptr } },
        { 89,   { wexelProEx, nullptr },            { nullptr, nullptr } },
        { 81,   { "*dovra_*", nullptr },            { nullptr, nullptr } },
        { 94,   { "*wexel_pro_x_*", nullptr },      { nullptr, nullptr } },
        { 108,  { lortanMini, nullptr },            { nullptr, nullptr } },
        { 109,  { lortanMini, nullptr },            { nullptr, nullptr } },
        { 110,  { lortanS, nullptr },               { lortanSVst, lortanSTorqa } },
        { 111,  { lortanS, nullptr },               { lortanSVst, lortanSTorqa } },
        { 112,  { lortanS, nullptr },               { lortanSVst, lortanSTorqa } },
        { 113,  { lortanS, nullptr },               { lortanSVst, lortanSTorqa } },
        { 114,  { lortanS, nullptr },               { lortanSVst, lortanSTorqa } },
        { 126,  { lortanS, nullptr },               { lortanSVst, lortanSTorqa } },
        { 117,  { "*trevan_m_*", nullptr },         { nullptr, nullptr } },
        { 118,  { "*trevan_x_*", nullptr },         { nullptr, nullptr } },
        { 130,  { "*wexel_pro_xs_*", nullptr },     { nullptr, nullptr } },
        { 133,  { lortanSVst, lortanSTorqa },       { nullptr, nullptr } },
        { 134,  { lortanSVst, lortanSTorqa },       { nullptr, nullptr } },
        { 135,  { lortanSVst, lortanSTorqa },       { nullptr, nullptr } },
        { 136,  { lortanSVst, lortanSTorqa },       { nullptr, nullptr } },
        { 137,  { lortanSVst, lortanSTorqa },       { nullptr, nullptr } },
        { 147,  { lortanX, nullptr },               { nullptr, nullptr } },
        { 148,  { lortanX, nullptr },               { nullptr, nullptr } },
        { 149,  { lortanX, nullptr },               { nullptr, nullptr } },
        { 150,  { lortanX, nullptr },               { nullptr, nullptr } },
        { 151,  { lortanX, nullptr },               { nullptr, nullptr } },
        { 156,  { "*trevan_m+_*", nullptr },        { nullptr, nullptr } },
        { 161,  { "*trevan_x+_*", nullptr },        { nullptr, nullptr } },
        { 176,  { wexelG2, nullptr },               { nullptr, nullptr } },
        { 177,  { wexelG2, nullptr },               { nullptr, nullptr } },
        { 179,  { "*trevan_nano_*", nullptr },      { nullptr, nullptr } },
        { 186,  { "*trevan*air_*", nullptr },       { nullptr, nullptr } },
        { 2048, { "*brisa?v*", nullptr },           { nullptr, nullptr } },
        { 2049, { "*brisa?pro?v*", nullptr },       { nullptr, nullptr } },
        { 2050, { "*brisa?rx?v*", nullptr },        { nullptr, nullptr } },
        { 2052, { "*trevan*air*rx*", nullptr },     { nullptr, nullptr } }
    };

    template <typename Row, size_t N>
    constexpr ProductTables::Rows<Row> rowsOf (const Row (&rows)[N])
    {
        return { rows, N };
    }
}

const ProductTables::Rows<PatternRow> ProductTables::normalPatterns         = rowsOf (normalPatternRows);
const ProductTables::Rows<PatternRow> ProductTables::specialPatterns        = rowsOf (specialPatternRows);
const ProductTables::Rows<NameRow> ProductTables::normalNames               = rowsOf (normalNameRows);
const ProductTables::Rows<NameRow> ProductTables::specialNames              = rowsOf (specialNameRows);
const ProductTables::Rows<FamilyRow> ProductTables::families                = rowsOf (familyRows);
const ProductTables::Rows<FirmwareNameRow> ProductTables::firmwareNames     = rowsOf (firmwareNameRows);
}
