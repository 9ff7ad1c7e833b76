#include "upgrader/Product.h"
#include "upgrader/SleepMs.h"
#include "upgrader/UpgradeRequest.h"

#include <juce_events/juce_events.h>

#include <gtest/gtest.h>

#include <memory>

namespace
{
    std::vector<int> bytesOf (const juce::MidiMessage& m)
    {
        return { m.getRawData(), m.getRawData() + m.getRawDataSize() };
    }

    std::vector<int> nineByte (int high, int low)
    {
        return { 0xF0, 0x1D, 0x03, high, low, 0x00, 0x7F, 0x7F, 0xF7 };
    }

    std::vector<int> eightByte (int high, int low)
    {
        return { 0xF0, 0x1D, 0x03, high, low, 0x55, 0x7F, 0xF7 };
    }
}

TEST (UpgradeRequest, NineByteFormCarriesTheRequestFamily)
{
    EXPECT_EQ (bytesOf (zorv::makeFirmwareUpgradeRequest (117)), nineByte (0x00, 0x75));
    EXPECT_EQ (bytesOf (zorv::makeFirmwareUpgradeRequest (118)), nineByte (0x00, 0x76));
    EXPECT_EQ (bytesOf (zorv::makeFirmwareUpgradeRequest (2052)), nineByte (0x10, 0x04));

    const std::pair<int, int> families[] =
    {
        { 26, 85 }, { 81, 85 }, { 79, 79 }, { 89, 79 }, { 110, 110 }, { 111, 110 }, { 112, 110 },
        { 113, 110 }, { 114, 110 }, { 125, 101 }, { 126, 110 }, { 176, 176 }, { 177, 176 },
        { 101, 101 }, { 156, 156 }, { 2049, 2049 }
    };

    for (const auto& [pid, family] : families)
    {
        EXPECT_EQ (bytesOf (zorv::makeFirmwareUpgradeRequest (pid)), nineByte (family >> 7, family & 0x7F)) << pid;
        EXPECT_TRUE (zorv::makeFirmwareUpgradeRequest (pid).isSysEx());
        EXPECT_EQ (zorv::makeFirmwareUpgradeRequest (pid).getTimeStamp(), 0.0);
    }

    // Neither the table variant in force nor an earlier request changes a family.
    const auto previous = zorv::g_forSpecialDeviceQ;
    zorv::g_forSpecialDeviceQ = 1;
    EXPECT_EQ (bytesOf (zorv::makeFirmwareUpgradeRequest (26)), nineByte (0x00, 0x55));
    zorv::g_forSpecialDeviceQ = previous;
}

TEST (UpgradeRequest, EightByteFormForSharedFamilyProducts)
{
    EXPECT_EQ (bytesOf (zorv::makeFirmwareUpgradeRequestX (26, 8)), eightByte (0x00, 0x55));
    EXPECT_EQ (bytesOf (zorv::makeFirmwareUpgradeRequestX (81, 8)), eightByte (0x00, 0x55));
    EXPECT_EQ (bytesOf (zorv::makeFirmwareUpgradeRequestX (101, 8)), eightByte (0x00, 0x65));
    EXPECT_EQ (bytesOf (zorv::makeFirmwareUpgradeRequestX (104, 8)), eightByte (0x00, 0x68));
    EXPECT_TRUE (zorv::makeFirmwareUpgradeRequestX (26, 8).isSysEx());

    // A length of 9 is the long form.
    EXPECT_EQ (bytesOf (zorv::makeFirmwareUpgradeRequestX (117, 9)), nineByte (0x00, 0x75));
}

TEST (UpgradeRequest, LengthsStayWithinTheTemplatesAndIdBytesWithinSevenBits)
{
    EXPECT_EQ (bytesOf (zorv::makeFirmwareUpgradeRequestX (117, 40)), nineByte (0x00, 0x75));
    EXPECT_EQ (bytesOf (zorv::makeFirmwareUpgradeRequestX (117, 5)),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x00, 0x75 }));
    EXPECT_EQ (bytesOf (zorv::makeFirmwareUpgradeRequestX (117, 0)), (std::vector<int> { 0xF0 }));
    EXPECT_EQ (bytesOf (zorv::makeFirmwareUpgradeRequestX (117, -3)), (std::vector<int> { 0xF0 }));

    for (int pid : { -1, -200, 16384, 99999 })
    {
        const auto bytes = bytesOf (zorv::makeFirmwareUpgradeRequest (pid));
        EXPECT_LT (bytes[3], 0x80) << pid;
        EXPECT_LT (bytes[4], 0x80) << pid;
    }
}

TEST (SleepMs, WaitsAreCutIntoSlicesOfAtMost100Ms)
{
    EXPECT_EQ (zorv::sleepSlices (250), (std::vector<int> { 100, 100, 50 }));
    EXPECT_EQ (zorv::sleepSlices (100), (std::vector<int> { 100 }));
    EXPECT_EQ (zorv::sleepSlices (800), std::vector<int> (8, 100));
    EXPECT_EQ (zorv::sleepSlices (99), (std::vector<int> { 99 }));
    EXPECT_EQ (zorv::sleepSlices (1), (std::vector<int> { 1 }));
    EXPECT_EQ (zorv::sleepSlices (0), (std::vector<int> { 0 }));
    EXPECT_EQ (zorv::sleepSlices (-5), (std::vector<int> { 0 }));
}

TEST (SleepMs, DispatchesMessagesWhileWaitingAndNeverEndsEarly)
{
    auto delivered = std::make_shared<bool> (false);
    juce::MessageManager::callAsync ([delivered] { *delivered = true; });

    // Only a lower bound: a loaded machine may stretch any wait.
    for (int ms : { 150, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3 })
    {
        const auto start = juce::Time::getMillisecondCounterHiRes();
        zorv::sleep_ms (ms);
        EXPECT_GE (juce::Time::getMillisecondCounterHiRes() - start, ms);
    }

    // Messages posted earlier (by other tests) may come first: one of a few
    // more waits delivers it, whatever the machine's load.
    for (int i = 0; i < 100 && ! *delivered; ++i)
        zorv::sleep_ms (50);

    EXPECT_TRUE (*delivered);
}

#if JUCE_LINUX
// The upload flushes with a pump of 0, and a wait of 0 is one such pump:
// neither may be taken for a pause of no length that dispatches nothing.
// (JUCE's Apple loop runs nothing when given no time at all.)
TEST (SleepMs, APumpOrWaitOfNothingDispatchesWhatIsPending)
{
    for (auto* wait : { +[] { zorv::pump (0); }, +[] { zorv::sleep_ms (0); } })
    {
        auto delivered = std::make_shared<bool> (false);
        juce::MessageManager::callAsync ([delivered] { *delivered = true; });
        wait();
        EXPECT_TRUE (*delivered);
    }
}
#endif
