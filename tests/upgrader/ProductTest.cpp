#include "upgrader/FirmwareUpgradeComponent.h"
#include "upgrader/Product.h"
#include "upgrader/ProductTables.h"

#include <gtest/gtest.h>

using zorv::Product;

namespace
{
    // Selects a table variant for one test and puts the previous one back.
    struct ScopedTableVariant
    {
        explicit ScopedTableVariant (juce::uint32 v) : previous (zorv::g_forSpecialDeviceQ)
        {
            zorv::g_forSpecialDeviceQ = v;
        }

        ~ScopedTableVariant() { zorv::g_forSpecialDeviceQ = previous; }

        juce::uint32 previous;
    };

    struct PatternCase
    {
        const char* pattern;
        int pid;
        const char* portName;   // fits this row and no row before it, shadowing rows included
    };

    const PatternCase normalRows[] =
    {
        { "*wexel pro x*g2*", 2000, "WEXEL PRO X G2" }, { "*wexel pro xs*", 130, "Wexel Pro XS" },
        { "*wexel pro x*", 94, "Wexel Pro X" }, { "*wexel?pro?g2*", 176, "Wexel-Pro-G2" },
        { "*wexel?ex*g2*", 177, "Wexel Ex G2" }, { "*wexel pro*", 79, "Wexel Pro" },
        { "*wexel ex*", 89, "Wexel Ex Port 1" }, { "*trevan?m+*kestrel*", 2000, "Trevan M+ Kestrel" },
        { "*trevan*pelion*", 2000, "Trevan X Pelion" }, { "*trevan?m+*", 156, "Trevan M+" },
        { "*trevan?m*g2*", 2000, "Trevan M G2" }, { "*trevan?m*", 117, "Trevan M" },
        { "*trevan?x+*", 161, "Trevan X+" }, { "*trevan?x*", 118, "Trevan X" },
        { "*trevan?b+*", 170, "Trevan B+" }, { "*trevan*air*rx*", 2000, "Trevan Air RX" },
        { "*trevan*air*", 2000, "Trevan Air" }, { "*trevannano*g2*", 2000, "TrevanNano G2" },
        { "*trevannano*", 179, "TrevanNano" }, { "*dovr*", 81, "Dovra" },
        { "*fennic*pro*", 2000, "Fennics Pro" }, { "*fennic*", 26, "Fennics" },
        { "*lortan?3x*", 147, "Lortan 3X" }, { "*lortan?4x*", 148, "Lortan 4X" },
        { "*lortan?5x*", 149, "Lortan 5X" }, { "*lortan?6x*", 150, "Lortan 6X" },
        { "*lortan?8x*", 151, "Lortan 8X" }, { "*lortan?3s?vst*", 133, "Lortan 3S VST" },
        { "*lortan?3s?(tq?iii)*", 133, "Lortan 3S (TQ III)" }, { "*lortan?4s?vst*", 134, "Lortan 4S VST" },
        { "*lortan?4s?(tq?iii)*", 134, "Lortan 4S (TQ III)" }, { "*lortan?5s?vst*", 135, "Lortan 5S VST" },
        { "*lortan?5s?(tq?iii)*", 135, "Lortan 5S (TQ III)" }, { "*lortan?6s?vst*", 136, "Lortan 6S VST" },
        { "*lortan?6s?(tq?iii)*", 136, "Lortan 6S (TQ III)" }, { "*lortan?8s?vst*", 137, "Lortan 8S VST" },
        { "*lortan?8s?(tq?iii)*", 137, "Lortan 8S (TQ III)" }, { "*lortan?3s*", 111, "Lortan 3S" },
        { "*lortan?4s*", 112, "Lortan 4S" }, { "*lortan?5s*", 113, "Lortan 5S" },
        { "*lortan?6s*", 114, "Lortan 6S" }, { "*lortan?8s*", 126, "Lortan 8S" },
        { "*lortan?3?mini*", 108, "Lortan 3 mini" }, { "*lortan?4?mini*", 109, "Lortan 4 mini" },
        { "*lortan?3?nano*", 141, "Lortan 3 Nano" }, { "*lortan?4?nano*", 142, "Lortan 4 Nano" },
        { "*lortan?5?nano*", 143, "Lortan 5 Nano" }, { "*lortan?6?nano*", 144, "Lortan 6 Nano" },
        { "*lortan?8?nano*", 145, "Lortan 8 Nano" }, { "*lor?tan?3*", 101, "Lor-tan 3" },
        { "*lor?tan?4*", 102, "Lor-tan 4" }, { "*lor?tan?5*", 103, "Lor-tan 5" },
        { "*lor?tan?6*", 104, "Lor-tan 6" }, { "*lor?tan?8*", 125, "Lor-tan 8" },
        { "*rmq*", 49, "Rmq" }, { "*tolv pro*", 49, "Tolv Pro" },
        { "*brisa?pro*", 2049, "Brisa Pro" }, { "*halmo?pro*", 2049, "Halmo Pro" },
        { "*brisa?rx*", 2000, "Brisa RX" }, { "*brisa*", 2048, "Brisa" }
    };

    const PatternCase specialRows[] =
    {
        { "*trevan?m+*kestrel*", 187, "Trevan M+ Kestrel" }, { "*trevan*pelion*", 2000, "Trevan Pelion" },
        { "*trevan*air*rx*", 2052, "Trevan Air RX" }, { "*trevan*air*", 186, "Trevan Air" },
        { "*brisa?rx*", 2050, "Brisa RX" }
    };

    // Index of the first row of `rows` that `name` (prepared as the product
    // table prepares port names) fits; -1 when none.
    int firstFittingRow (const zorv::ProductTables::Rows<zorv::ProductTables::PatternRow>& rows,
                         const juce::String& name)
    {
        const auto prepared = name.toLowerCase().trim();
        int index = 0;

        for (const auto& row : rows)
        {
            if (prepared.matchesWildcard (row.pattern, true))
                return index;

            ++index;
        }

        return -1;
    }

    void expectPatternTable (const zorv::ProductTables::Rows<zorv::ProductTables::PatternRow>& table,
                             const PatternCase* cases, size_t numCases)
    {
        ASSERT_EQ (table.size, numCases);

        for (size_t i = 0; i < numCases; ++i)
        {
            const auto& expected = cases[i];
            SCOPED_TRACE (testing::Message() << "row " << i + 1 << " " << expected.pattern);

            EXPECT_STREQ (table.rows[i].pattern, expected.pattern);
            EXPECT_EQ (table.rows[i].pid, expected.pid);
            EXPECT_EQ (firstFittingRow (table, expected.portName), (int) i);
            EXPECT_EQ (Product::pidFromDeviceName (expected.portName), expected.pid);
        }
    }
}

TEST (Product, NormalPatternTableHasEveryRowInOrder)
{
    ScopedTableVariant normal (0);
    expectPatternTable (zorv::ProductTables::normalPatterns, normalRows, std::size (normalRows));
}

TEST (Product, SpecialPatternTableHasEveryRowInOrder)
{
    ScopedTableVariant special (1);
    expectPatternTable (zorv::ProductTables::specialPatterns, specialRows, std::size (specialRows));
}

TEST (Product, PortNamesAreMatchedIgnoringCaseAndSurroundingBlanks)
{
    ScopedTableVariant normal (0);

    EXPECT_EQ (Product::pidFromDeviceName ("  TREVAN M+  "), 156);
    EXPECT_EQ (Product::pidFromDeviceName ("trevan m"), 117);
    EXPECT_EQ (Product::pidFromDeviceName ("\tTrevan X+\n"), 161);
    EXPECT_EQ (Product::pidFromDeviceName ("Trevan X Port 1"), 118);
    EXPECT_EQ (Product::pidFromDeviceName ("TREVANNANO"), 179);

    // The plain-numbered Lortan rows need a character between "lor" and "tan".
    EXPECT_EQ (Product::pidFromDeviceName ("Lortan 3"), Product::Unknown);
    EXPECT_EQ (Product::pidFromDeviceName ("Lor tan 8"), 125);

    // The Dovra pattern lacks the word's last letter.
    EXPECT_EQ (Product::pidFromDeviceName ("My Dovr"), 81);

    EXPECT_EQ (Product::pidFromDeviceName (""), Product::Unknown);
    EXPECT_EQ (Product::pidFromDeviceName ("IAC Driver Bus 1"), Product::Unknown);
}

TEST (Product, SpecialTableKnowsOnlyItsOwnModels)
{
    ScopedTableVariant special (1);

    EXPECT_EQ (Product::pidFromDeviceName ("Trevan M"), Product::Unknown);
    EXPECT_EQ (Product::pidFromDeviceName ("Brisa"), Product::Unknown);
    EXPECT_EQ (Product::pidFromDeviceName ("trevan m+ KESTREL"), 187);

    // Only the value 1 selects the special table.
    zorv::g_forSpecialDeviceQ = 2;
    EXPECT_EQ (Product::pidFromDeviceName ("Trevan M"), 117);
    EXPECT_EQ (Product::pidFromDeviceName ("Trevan Air"), Product::Unknown);
}

TEST (Product, NamesOfTheNormalTable)
{
    ScopedTableVariant normal (0);

    const std::pair<int, const char*> names[] =
    {
        { 26, "Fennics" }, { 49, "Rmq" }, { 79, "WexelPro" }, { 81, "Dovra" }, { 89, "WexelEx" },
        { 94, "WexelPro X" }, { 101, "Lortan 3" }, { 102, "Lortan 4" }, { 103, "Lortan 5" },
        { 104, "Lortan 6" }, { 108, "Lortan 3 mini" }, { 109, "Lortan 4 mini" }, { 110, "Lortan S" },
        { 111, "Lortan 3S" }, { 112, "Lortan 4S" }, { 113, "Lortan 5S" }, { 114, "Lortan 6S" },
        { 117, "Trevan M" }, { 118, "Trevan X" }, { 125, "Lortan 8" }, { 126, "Lortan 8S" },
        { 130, "WexelPro XS" }, { 133, "Lortan 3S (Torqa III)" }, { 134, "Lortan 4S (Torqa III)" },
        { 135, "Lortan 5S (Torqa III)" }, { 136, "Lortan 6S (Torqa III)" }, { 137, "Lortan 8S (Torqa III)" },
        { 141, "Lortan 3 Nano" }, { 142, "Lortan 4 Nano" }, { 143, "Lortan 5 Nano" },
        { 144, "Lortan 6 Nano" }, { 145, "Lortan 8 Nano" }, { 147, "Lortan 3X" }, { 148, "Lortan 4X" },
        { 149, "Lortan 5X" }, { 150, "Lortan 6X" }, { 151, "Lortan 8X" }, { 156, "Trevan M+" },
        { 161, "Trevan X+" }, { 170, "Trevan B+" }, { 176, "WexelPro G2" }, { 177, "WexelEx G2" },
        { 179, "TrevanNano" }, { 186, "Trevan Air" }, { 2048, "Brisa" }, { 2049, "Brisa Pro" },
        { 2052, "Trevan Air" }
    };

    for (const auto& [pid, name] : names)
        EXPECT_EQ (Product::getName ((Product::PID) pid), name) << pid;

    for (int pid : { -1, 0, 85, 187, 2000, 2050, 99999 })
        EXPECT_EQ (Product::getName ((Product::PID) pid), "Unknown") << pid;
}

TEST (Product, NamesOfTheSpecialTable)
{
    ScopedTableVariant special (1);

    EXPECT_EQ (Product::getName (Product::BrisaRX), "Brisa RX");
    EXPECT_EQ (Product::getName (Product::TrevanAir), "Trevan Air");
    EXPECT_EQ (Product::getName (Product::TrevanAirRX), "Trevan Air");

    for (int pid : { 117, 118, 187, 2000, 2048, -5 })
        EXPECT_EQ (Product::getName ((Product::PID) pid), "Unknown") << pid;
}

TEST (Product, ValidPidRefusesOnlyTheUnknownId)
{
    EXPECT_FALSE (Product::validPID (2000));

    for (int pid : { -1, 0, 117, 12345 })
        EXPECT_TRUE (Product::validPID (pid)) << pid;
}

TEST (Product, FirmwareFileNamesPerProduct)
{
    using zorv::FirmwareUpgradeComponent;

    struct Case
    {
        unsigned int pid;
        const char* accepted;
        const char* refused;
    };

    const Case cases[] =
    {
        { 26, "fennic v1.2", "fennics_1.2" }, { 26, "fennics v1.2", "dovra_1.0" },
        { 49, "rmq_v3", "rmq v3" }, { 79, "wexel_pro_ex_v1", "wexel_pro_v1" },
        { 89, "wexel_pro_ex_v1", "wexel_ex_v1" }, { 81, "dovra_v2", "dovra v2" },
        { 94, "wexel_pro_x_v5", "wexel_pro_v5" }, { 108, "lortan_3_mini_v1", "lortan_3_v1" },
        { 109, "lortan 4 mini", "lortan4mini" }, { 110, "lortan_3s_v1", "lortan_3s_vst_v1" },
        { 111, "lortan_3s_v1", "lortan_3s_torqa_iii_v1" }, { 112, "lortan_4s_v2", "lortan_4s_vst_v2" },
        { 113, "lortan_5s_v2", "lortan_5x_v2" }, { 114, "lortan_6s_v2", "lortan_6s_torqa_iii_v2" },
        { 126, "lortan_8s_v2", "lortan_8s_vst_v2" }, { 117, "trevan_m_v1.3", "trevan_m+_v1.3" },
        { 118, "trevan_x_v1.3", "trevan_x+_v1.3" }, { 130, "wexel_pro_xs_v1", "wexel_pro_x_v1" },
        { 133, "lortan_3s_vst_v1", "lortan_3s_v1" }, { 134, "lortan_4s_torqa_iii_v1", "lortan_4s_v1" },
        { 135, "lortan_5s_vst_v1", "lortan_5s_v1" }, { 136, "lortan_6s_vst_v1", "lortan_6s_v1" },
        { 137, "lortan_8s_torqa_iii_v1", "lortan_8s_v1" }, { 147, "lortan_3x_v1", "lortan 3x v1" },
        { 148, "lortan_4x_v1", "lortan_4s_v1" }, { 149, "lortan_5x_v1", "lortan5x_v1" },
        { 150, "lortan_6x_v1", "lortan_6_v1" }, { 151, "lortan_8x_v1", "lortan_8s_v1" },
        { 156, "trevan_m+_v2", "trevan_m_v2" }, { 161, "trevan_x+_v2", "trevan_x+v2" },
        { 176, "wexelprog2_wexelexg2_v1", "wexelprog2_v1" }, { 177, "wexelprog2_wexelexg2_v1", "wexelexg2_v1" },
        { 179, "trevan_nano_v1", "trevannano_v1" }, { 186, "trevan_air_v1", "trevan air v1" },
        { 2048, "brisa v1", "brisa_1" }, { 2049, "brisa_pro_v1", "brisa_v1" },
        { 2050, "brisa_rx_v1", "brisa_v1" }, { 2052, "trevan_air_rx_v1", "trevan_air_v1" }
    };

    for (const auto& c : cases)
    {
        EXPECT_TRUE (FirmwareUpgradeComponent::isValidFmwName (c.accepted, c.pid)) << c.pid << " " << c.accepted;
        EXPECT_FALSE (FirmwareUpgradeComponent::isValidFmwName (c.refused, c.pid)) << c.pid << " " << c.refused;
    }

    // Every product with a rule refuses the empty name.
    for (const auto& row : zorv::ProductTables::firmwareNames)
        EXPECT_FALSE (FirmwareUpgradeComponent::isValidFmwName ({}, (unsigned int) row.pid)) << row.pid;

    EXPECT_EQ (zorv::ProductTables::firmwareNames.size, 37u);
}

TEST (Product, FirmwareFileNamesOfProductsWithoutRuleAreAllAccepted)
{
    using zorv::FirmwareUpgradeComponent;

    for (unsigned int pid : { 125u, 141u, 142u, 143u, 144u, 145u, 170u, 0u, 2000u, 0xFFFFFFFFu })
    {
        EXPECT_TRUE (FirmwareUpgradeComponent::isValidFmwName ({}, pid)) << pid;
        EXPECT_TRUE (FirmwareUpgradeComponent::isValidFmwName ("anything at all", pid)) << pid;
    }

    // The name is matched as given, ignoring case only.
    EXPECT_TRUE (FirmwareUpgradeComponent::isValidFmwName ("TREVAN_M_V1", 117));
    EXPECT_FALSE (FirmwareUpgradeComponent::isValidFmwName (" trevan m v1 ", 117));
}
