#include "tests/support/LocalHttpsServer.h"

namespace
{
    constexpr int startTimeoutMs = 10000;

    juce::File scratchFolder()
    {
        const auto fromTestRun = juce::SystemStats::getEnvironmentVariable ("QUELT_TEST_TMP", {});

        if (fromTestRun.isNotEmpty())
            return juce::File (fromTestRun);

        return juce::File::getSpecialLocation (juce::File::tempDirectory);
    }

    juce::File serverScript()
    {
        return juce::File (__FILE__).getSiblingFile ("https_server.py");
    }
}

LocalHttpsServer::LocalHttpsServer()
{
    // A unique name: parallel test processes race between "does it exist" and "create".
    workFolder = scratchFolder().getChildFile ("https-server-" + juce::Uuid().toString());
    documentRoot = workFolder.getChildFile ("root");
    portFile = workFolder.getChildFile ("port");
    plainPortFile = workFolder.getChildFile ("plain-port");
    mutePortFile = workFolder.getChildFile ("mute-port");
    answersFile = workFolder.getChildFile ("answers.json");
    logFile = workFolder.getChildFile ("requests.log");
    documentRoot.createDirectory();
}

LocalHttpsServer::~LocalHttpsServer()
{
    stop();
    workFolder.deleteRecursively();
}

juce::File LocalHttpsServer::findCertificateFolder()
{
    const auto folder = juce::SystemStats::getEnvironmentVariable ("QUELT_TEST_CA_DIR", {});

    if (folder.isEmpty() || ! juce::File::isAbsolutePath (folder))
        return {};

    return juce::File (folder);
}

bool LocalHttpsServer::start()
{
    const auto certificates = findCertificateFolder();

    if (! certificates.getChildFile ("server.crt").existsAsFile())
    {
        error = "no test certificates: run through tests/support/with-test-ca.sh";
        return false;
    }

    portFile.deleteFile();

    const auto python = juce::SystemStats::getEnvironmentVariable ("QUELT_PYTHON", "python3");

    const juce::StringArray command { python,
                                      serverScript().getFullPathName(),
                                      "--root", documentRoot.getFullPathName(),
                                      "--cert", certificates.getChildFile ("server.crt").getFullPathName(),
                                      "--key", certificates.getChildFile ("server.key").getFullPathName(),
                                      "--port-file", portFile.getFullPathName(),
                                      "--plain-port-file", plainPortFile.getFullPathName(),
                                      "--mute-port-file", mutePortFile.getFullPathName(),
                                      "--answers", answersFile.getFullPathName(),
                                      "--log", logFile.getFullPathName() };

    if (! process.start (command, 0))
    {
        error = "could not run " + python;
        return false;
    }

    // The script writes the main port file last, once everything listens.
    for (int waited = 0; waited < startTimeoutMs; waited += 20)
    {
        if (portFile.existsAsFile())
        {
            port = portFile.loadFileAsString().trim().getIntValue();
            plainPort = plainPortFile.loadFileAsString().trim().getIntValue();
            mutePort = mutePortFile.loadFileAsString().trim().getIntValue();
            return port > 0 && plainPort > 0 && mutePort > 0;
        }

        if (! process.isRunning())
            break;

        juce::Thread::sleep (20);
    }

    error = "the server did not start: " + logFile.loadFileAsString();
    stop();
    return false;
}

void LocalHttpsServer::stop()
{
    if (process.isRunning())
    {
        process.kill();
        process.waitForProcessToFinish (5000);
    }
}

juce::String LocalHttpsServer::getRootUrl() const
{
    return "https://127.0.0.1:" + juce::String (port) + "/";
}

juce::String LocalHttpsServer::getPlainRootUrl() const
{
    return "http://127.0.0.1:" + juce::String (plainPort) + "/";
}

juce::String LocalHttpsServer::getMuteRootUrl() const
{
    return "https://127.0.0.1:" + juce::String (mutePort) + "/";
}

void LocalHttpsServer::setAnswer (const juce::String& path, const Answer& answer)
{
    auto* rule = new juce::DynamicObject();

    if (answer.location.isNotEmpty())       rule->setProperty ("location", answer.location);
    if (answer.status > 0)                  rule->setProperty ("status", answer.status);
    if (answer.delayMs > 0)                 rule->setProperty ("delayMs", answer.delayMs);
    if (answer.statusLine.isNotEmpty())     rule->setProperty ("statusLine", answer.statusLine);
    if (answer.contentType.isNotEmpty())    rule->setProperty ("contentType", answer.contentType);
    if (answer.omitContentType)             rule->setProperty ("omitContentType", true);
    if (answer.contentTypeFirst)            rule->setProperty ("contentTypeFirst", true);
    if (answer.rawHeaders.isNotEmpty())     rule->setProperty ("rawHeaders", answer.rawHeaders);
    if (answer.rawHeadersFirst)             rule->setProperty ("rawHeadersFirst", true);
    if (answer.declaredLength >= 0)         rule->setProperty ("declaredLength", answer.declaredLength);
    if (answer.omitLength)                  rule->setProperty ("omitLength", true);
    if (answer.chunked)                     rule->setProperty ("chunked", true);
    if (answer.cutAfterBytes >= 0)          rule->setProperty ("cutAfterBytes", answer.cutAfterBytes);
    if (answer.closeNotify)                 rule->setProperty ("closeNotify", true);
    if (answer.holdAfterBytes >= 0)         rule->setProperty ("holdAfterBytes", answer.holdAfterBytes);
    if (answer.trickleBytesPerSecond > 0)   rule->setProperty ("trickleBytesPerSecond", answer.trickleBytesPerSecond);
    if (answer.endlessInterim)              rule->setProperty ("endlessInterim", true);
    if (answer.rawAnswer.isNotEmpty())      rule->setProperty ("rawAnswer", answer.rawAnswer);

    answers->setProperty ((path.startsWithChar ('/') ? path : "/" + path), juce::var (rule));

    // Replaced whole, so that the server never reads half a file.
    juce::TemporaryFile next (answersFile);
    next.getFile().replaceWithText (juce::JSON::toString (juce::var (answers.get())));
    next.overwriteTargetFileWithTemporary();
}

void LocalHttpsServer::addFile (const juce::String& path, const juce::String& content)
{
    addFile (path, juce::MemoryBlock (content.toRawUTF8(), content.getNumBytesAsUTF8()));
}

void LocalHttpsServer::addFile (const juce::String& path, const juce::MemoryBlock& content)
{
    auto file = documentRoot.getChildFile (path);
    file.getParentDirectory().createDirectory();
    file.replaceWithData (content.getData(), content.getSize());
}

juce::StringArray LocalHttpsServer::getRequests() const
{
    juce::StringArray lines;
    lines.addLines (logFile.loadFileAsString());
    lines.removeEmptyStrings();
    return lines;
}

int LocalHttpsServer::countRequests (const juce::String& path) const
{
    int count = 0;

    for (const auto& line : getRequests())
        if (line.upToLastOccurrenceOf (" ", false, false).fromFirstOccurrenceOf (" ", false, false) == path)
            ++count;

    return count;
}
