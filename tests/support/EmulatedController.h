#pragma once

#include "tests/support/EmulatedFirmwareDecoder.h"
#include "tests/support/EmulatedTransferDecoder.h"
#include "tests/support/VirtualMidiSystem.h"

#include <map>
#include <memory>
#include <set>

// An emulated Trevan M or Trevan X on the in-memory MIDI system: the peer
// against which the program's senders are proved.
//
// In product mode it shows one output and one input port under its product
// name, decodes mapping transfers and keeps the rows of the last complete
// one. On an upgrade-mode request for its family it leaves, and comes back
// after a while as "Zorv firmware upgrade" ports; there it decodes control
// and data frames, acknowledges them with Note On replies on its input port
// (delivered on the MIDI system's thread) and keeps the received image. After
// a reset it reboots into product mode. Every departure from the wire format
// is written to violations(); it never corrupts anything itself, but it can
// be told to stay silent or answer late.
//
//     VirtualMidiSystem midi;  ScopedMidiSystem scope (midi);
//     EmulatedController unit (midi, EmulatedController::trevanM());
//     ... the program sends ...
//     midi.waitUntilIdle();
//     EXPECT_TRUE (unit.violations().isEmpty());
//
// Thread-safe: the program's sending thread and the MIDI thread both reach it.
class EmulatedController
{
public:
    using Row = EmulatedTransferDecoder::Row;
    using StartFrame = EmulatedTransferDecoder::StartFrame;
    using Transfer = EmulatedTransferDecoder::Transfer;
    using TransferMessage = EmulatedTransferDecoder::Message;
    using UpgradeRequest = EmulatedTransferDecoder::UpgradeRequest;
    using Frame = EmulatedFirmwareDecoder::Frame;
    using Command = EmulatedFirmwareDecoder::Command;

    struct Config
    {
        int productId = 117;
        juce::String portName { "Trevan M" };
        int requestFamily = 117;                // the family its upgrade-mode request must carry
        int eraseArgument = 0x70;               // the argument its erase frame must carry
        juce::String upgradePortName { "Zorv firmware upgrade" };
        int upgradeDelayMs = 50;                // from the request to the upgrade-mode ports' arrival
        int replyDelayMs = 1;                   // from a frame's last byte to its acknowledgement
        int rebootDelayMs = 50;                 // from leaving upgrade mode to the product ports' return
        bool rebootsAfterReset = true;
        bool entersUpgradeMode = true;          // false: ignores requests, as a unit with old firmware might
        bool startsInUpgradeMode = false;
        int ackVelocity = 0x00;                 // velocity of the acknowledgements; 7F would read as "7F seen"
    };

    static Config trevanM();
    static Config trevanX();

    enum class Mode
    {
        product,
        enteringUpgrade,    // product ports gone, upgrade-mode ports not yet there
        upgrade,
        rebooting           // upgrade-mode ports gone, product ports not yet back
    };

    enum class Phase
    {
        connect,
        erase,
        frame,
        reset
    };

    enum class ResetAnswer
    {
        acknowledge,        // 9F 02 with the acknowledgement velocity
        velocity7F,         // 9F 02 7F: the "power off your unit" answer
        none
    };

    EmulatedController (VirtualMidiSystem& system, const Config& config);
    ~EmulatedController();

    //==============================================================================
    // Everything that broke the wire format, in order of arrival, human-readable.
    juce::StringArray violations() const;

    //==============================================================================
    // Product mode: the last complete transfer (empty before the first).
    Transfer lastTransfer() const;
    std::vector<Row> rows() const;
    Row row (int number) const;         // 1 to 98; all zero when there is no such row
    StartFrame startFrame() const;
    int numCompleteTransfers() const;

    // The transfer begun last, complete or not.
    Transfer currentTransfer() const;

    // Every upgrade-mode request that followed a frame marker, whatever its family.
    std::vector<UpgradeRequest> upgradeRequests() const;

    //==============================================================================
    Mode mode() const;

    // Upgrade mode: every frame received, in order, and the image of the
    // current upload (whole 512-byte payloads, padding included).
    std::vector<Frame> frames() const;
    std::vector<Command> commands() const;
    std::vector<juce::uint8> receivedImage() const;

    // Empty when the received image is `file` followed by nothing but the
    // zero padding of its last frame; else what differs.
    juce::String imageMismatch (const juce::MemoryBlock& file) const;

    //==============================================================================
    // Fault injection. All answers are on by default.
    void setAnswers (Phase phase, bool shouldAnswer);
    void setFrameReplyDelay (int dataIndex, int delayMs);   // data frame counted from 0 since the connect frame
    void setFrameNeverAnswered (int dataIndex);
    void setResetAnswer (ResetAnswer answer);
    void setSilent (bool shouldStaySilent);

    //==============================================================================
    // Forgets what was received (decoded data, violations, the ports' records),
    // keeping the mode and the fault settings.
    void reset();

    VirtualMidiDevice& productPorts() const   { return productDevice; }
    VirtualMidiDevice& upgradePorts() const   { return upgradeDevice; }

    // Indices i of `timesMs` after which a pause of at least `minGapMs` came
    // (timesMs[i + 1] - timesMs[i] >= minGapMs), for structural pacing checks.
    static std::vector<int> pausesAfter (const std::vector<double>& timesMs, double minGapMs = 0.9);

private:
    struct Shared
    {
        std::mutex lock;
        bool alive = true;
    };

    void receiveAsProduct (const juce::MidiMessage&, double timeMs);
    void receiveInUpgradeMode (const juce::MidiMessage&, double timeMs);
    void handleRequest (const UpgradeRequest&);
    void answer (const Frame&);
    void answerReset();
    void reply (int note, int velocity, int delayMs);
    void after (int delayMs, std::function<void()> action);

    VirtualMidiSystem& midi;
    const Config config;
    VirtualMidiDevice& productDevice;
    VirtualMidiDevice& upgradeDevice;
    std::shared_ptr<Shared> shared;

    // Everything below is guarded by shared->lock.
    juce::StringArray violationList;
    EmulatedTransferDecoder transfers { violationList };
    EmulatedFirmwareDecoder firmware;
    std::vector<UpgradeRequest> requests;
    Mode currentMode = Mode::product;

    std::set<Phase> silentPhases;
    std::map<int, int> frameDelays;         // data index -> delay, negative: never
    ResetAnswer resetAnswer = ResetAnswer::acknowledge;
    bool silent = false;

    JUCE_DECLARE_NON_COPYABLE (EmulatedController)
};
