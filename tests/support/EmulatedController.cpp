#include "tests/support/EmulatedController.h"

namespace
{
    // The notes by which a unit in upgrade mode names what it acknowledges.
    constexpr int eraseNote = 0x00;
    constexpr int frameNote = 0x01;
    constexpr int resetNote = 0x02;
    constexpr int connectNote = 0x7F;
    constexpr int velocity7F = 0x7F;
}

EmulatedController::Config EmulatedController::trevanM()
{
    return {};
}

EmulatedController::Config EmulatedController::trevanX()
{
    Config c;
    c.productId = 118;
    c.portName = "Trevan X";
    c.requestFamily = 118;
    return c;
}

EmulatedController::EmulatedController (VirtualMidiSystem& system, const Config& c)
    : midi (system),
      config (c),
      productDevice (system.addDevice (c.portName, c.portName)),
      upgradeDevice (system.addDevice (c.upgradePortName, c.upgradePortName)),
      shared (std::make_shared<Shared>()),
      firmware (violationList, c.eraseArgument)
{
    currentMode = config.startsInUpgradeMode ? Mode::upgrade : Mode::product;
    productDevice.setConnected (currentMode == Mode::product);
    upgradeDevice.setConnected (currentMode == Mode::upgrade);

    // The receivers run on the program's sending thread; the shared block
    // keeps them (and every scheduled action) from reaching a destroyed unit.
    auto s = shared;

    productDevice.setReceiver ([this, s] (const juce::MidiMessage& m)
    {
        auto time = juce::Time::getMillisecondCounterHiRes();
        std::lock_guard<std::mutex> l (s->lock);

        if (s->alive)
            receiveAsProduct (m, time);
    });

    upgradeDevice.setReceiver ([this, s] (const juce::MidiMessage& m)
    {
        auto time = juce::Time::getMillisecondCounterHiRes();
        std::lock_guard<std::mutex> l (s->lock);

        if (s->alive)
            receiveInUpgradeMode (m, time);
    });
}

EmulatedController::~EmulatedController()
{
    {
        std::lock_guard<std::mutex> l (shared->lock);
        shared->alive = false;
    }

    productDevice.setReceiver (nullptr);
    upgradeDevice.setReceiver (nullptr);

    // Unplugged: its ports leave the system with it.
    productDevice.setConnected (false);
    upgradeDevice.setConnected (false);
}

//==============================================================================
void EmulatedController::after (int delayMs, std::function<void()> action)
{
    auto s = shared;

    midi.schedule (delayMs, [s, action = std::move (action)]
    {
        std::lock_guard<std::mutex> l (s->lock);

        if (s->alive)
            action();
    });
}

void EmulatedController::receiveAsProduct (const juce::MidiMessage& m, double timeMs)
{
    if (auto request = transfers.feed (m, timeMs))
        handleRequest (*request);
}

void EmulatedController::handleRequest (const UpgradeRequest& request)
{
    requests.push_back (request);

    if (request.family != config.requestFamily)
    {
        violationList.add ("upgrade-mode request for family " + juce::String (request.family) + ", this unit's family is "
                           + juce::String (config.requestFamily));
        return;
    }

    if (! config.entersUpgradeMode || currentMode != Mode::product)
        return;

    currentMode = Mode::enteringUpgrade;
    productDevice.setConnected (false);

    after (config.upgradeDelayMs, [this]
    {
        firmware.resync();
        currentMode = Mode::upgrade;
        upgradeDevice.setConnected (true);
    });
}

void EmulatedController::receiveInUpgradeMode (const juce::MidiMessage& m, double timeMs)
{
    if (auto frame = firmware.feed (m, timeMs))
        answer (*frame);
}

void EmulatedController::answer (const Frame& frame)
{
    // A unit that checks what it gets does not acknowledge a broken frame.
    if (! frame.isSound())
        return;

    auto answers = [this] (Phase p) { return ! silent && silentPhases.count (p) == 0; };

    switch (frame.command)
    {
        case Command::connect:
            if (answers (Phase::connect))
                reply (connectNote, config.ackVelocity, config.replyDelayMs);
            break;

        case Command::erase:
            if (answers (Phase::erase))
                reply (eraseNote, config.ackVelocity, config.replyDelayMs);
            break;

        case Command::write:
        {
            auto delay = config.replyDelayMs;
            auto found = frameDelays.find (frame.dataIndex);

            if (found != frameDelays.end())
                delay = found->second;

            if (answers (Phase::frame) && delay >= 0)
                reply (frameNote, config.ackVelocity, delay);
            break;
        }

        case Command::reset:
            answerReset();
            break;

        case Command::unknown:
            break;
    }
}

void EmulatedController::answerReset()
{
    if (! silent && silentPhases.count (Phase::reset) == 0)
    {
        if (resetAnswer == ResetAnswer::acknowledge)
            reply (resetNote, config.ackVelocity, config.replyDelayMs);
        else if (resetAnswer == ResetAnswer::velocity7F)
            reply (resetNote, velocity7F, config.replyDelayMs);
    }

    if (! config.rebootsAfterReset || currentMode != Mode::upgrade)
        return;

    currentMode = Mode::rebooting;

    // Scheduled after the reply with the same delay, so the answer still
    // leaves through the upgrade-mode port before it goes.
    after (config.replyDelayMs, [this]
    {
        upgradeDevice.setConnected (false);

        after (config.rebootDelayMs, [this]
        {
            transfers.resync();
            currentMode = Mode::product;
            productDevice.setConnected (true);
        });
    });
}

void EmulatedController::reply (int note, int velocity, int delayMs)
{
    upgradeDevice.reply (juce::MidiMessage (0x9F, note & 0x7F, velocity & 0x7F), delayMs);
}

//==============================================================================
juce::StringArray EmulatedController::violations() const
{
    std::lock_guard<std::mutex> l (shared->lock);
    return violationList;
}

EmulatedController::Transfer EmulatedController::lastTransfer() const
{
    std::lock_guard<std::mutex> l (shared->lock);
    return transfers.lastCompleteTransfer();
}

EmulatedController::Transfer EmulatedController::currentTransfer() const
{
    std::lock_guard<std::mutex> l (shared->lock);
    return transfers.currentTransfer();
}

std::vector<EmulatedController::Row> EmulatedController::rows() const
{
    std::lock_guard<std::mutex> l (shared->lock);
    return transfers.lastCompleteTransfer().rows;
}

EmulatedController::Row EmulatedController::row (int number) const
{
    std::lock_guard<std::mutex> l (shared->lock);
    auto& all = transfers.lastCompleteTransfer().rows;

    if (number < 1 || number > (int) all.size())
        return {};

    return all[(size_t) number - 1];
}

EmulatedController::StartFrame EmulatedController::startFrame() const
{
    std::lock_guard<std::mutex> l (shared->lock);
    return transfers.lastCompleteTransfer().start;
}

int EmulatedController::numCompleteTransfers() const
{
    std::lock_guard<std::mutex> l (shared->lock);
    return transfers.getNumCompleteTransfers();
}

std::vector<EmulatedController::UpgradeRequest> EmulatedController::upgradeRequests() const
{
    std::lock_guard<std::mutex> l (shared->lock);
    return requests;
}

EmulatedController::Mode EmulatedController::mode() const
{
    std::lock_guard<std::mutex> l (shared->lock);
    return currentMode;
}

std::vector<EmulatedController::Frame> EmulatedController::frames() const
{
    std::lock_guard<std::mutex> l (shared->lock);
    return firmware.getFrames();
}

std::vector<EmulatedController::Command> EmulatedController::commands() const
{
    std::lock_guard<std::mutex> l (shared->lock);
    std::vector<Command> result;

    for (auto& f : firmware.getFrames())
        result.push_back (f.command);

    return result;
}

std::vector<juce::uint8> EmulatedController::receivedImage() const
{
    std::lock_guard<std::mutex> l (shared->lock);
    return firmware.getImage();
}

juce::String EmulatedController::imageMismatch (const juce::MemoryBlock& file) const
{
    auto image = receivedImage();
    auto* data = static_cast<const juce::uint8*> (file.getData());
    auto size = file.getSize();
    auto frameSize = (size_t) EmulatedFirmwareDecoder::payloadSize;
    auto expectedSize = (size + frameSize - 1) / frameSize * frameSize;

    if (image.size() != expectedSize)
        return "received " + juce::String ((int) image.size()) + " bytes, expected " + juce::String ((int) expectedSize)
               + " for a file of " + juce::String ((int) size);

    for (size_t i = 0; i < image.size(); ++i)
    {
        auto expected = i < size ? data[i] : (juce::uint8) 0;

        if (image[i] != expected)
            return "byte " + juce::String ((int) i) + (i < size ? "" : " (padding)") + " is "
                   + juce::String::toHexString ((int) image[i]) + ", expected " + juce::String::toHexString ((int) expected);
    }

    return {};
}

//==============================================================================
void EmulatedController::setAnswers (Phase phase, bool shouldAnswer)
{
    std::lock_guard<std::mutex> l (shared->lock);

    if (shouldAnswer)
        silentPhases.erase (phase);
    else
        silentPhases.insert (phase);
}

void EmulatedController::setFrameReplyDelay (int dataIndex, int delayMs)
{
    std::lock_guard<std::mutex> l (shared->lock);
    frameDelays[dataIndex] = juce::jmax (0, delayMs);
}

void EmulatedController::setFrameNeverAnswered (int dataIndex)
{
    std::lock_guard<std::mutex> l (shared->lock);
    frameDelays[dataIndex] = -1;
}

void EmulatedController::setResetAnswer (ResetAnswer answer)
{
    std::lock_guard<std::mutex> l (shared->lock);
    resetAnswer = answer;
}

void EmulatedController::setSilent (bool shouldStaySilent)
{
    std::lock_guard<std::mutex> l (shared->lock);
    silent = shouldStaySilent;
}

void EmulatedController::reset()
{
    {
        std::lock_guard<std::mutex> l (shared->lock);
        violationList.clear();
        transfers.reset();
        firmware.reset();
        requests.clear();
    }

    productDevice.clearReceived();
    upgradeDevice.clearReceived();
}

std::vector<int> EmulatedController::pausesAfter (const std::vector<double>& timesMs, double minGapMs)
{
    std::vector<int> result;

    for (size_t i = 1; i < timesMs.size(); ++i)
        if (timesMs[i] - timesMs[i - 1] >= minGapMs)
            result.push_back ((int) i - 1);

    return result;
}
