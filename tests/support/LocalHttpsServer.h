#pragma once

#include <juce_core/juce_core.h>

// A real HTTPS server on 127.0.0.1 for the network tests (https_server.py run as
// a child process). It serves the files of its own temporary folder, answers
// 404 for anything missing, and logs every request it answers. Stopping it
// leaves its port refusing connections.
//
// Its certificate comes from the folder that tests/support/with-test-ca.sh
// names in QUELT_TEST_CA_DIR; only a process started by that launcher trusts it.
class LocalHttpsServer
{
public:
    LocalHttpsServer();
    ~LocalHttpsServer();

    // The launcher's certificate folder, or a non-existent file when the test
    // process was not started by the launcher.
    static juce::File findCertificateFolder();

    // Starts the server and waits until it listens. False (with the reason in
    // getError) when it could not be started.
    bool start();
    void stop();

    juce::String getError() const        { return error; }
    int getPort() const                  { return port; }

    // "https://127.0.0.1:<port>/"
    juce::String getRootUrl() const;

    // Puts a file (path relative to the server's root) where the server finds it.
    void addFile (const juce::String& path, const juce::String& content);
    void addFile (const juce::String& path, const juce::MemoryBlock& content);

    // Answered requests so far, oldest first, each "METHOD /path STATUS".
    juce::StringArray getRequests() const;
    int countRequests (const juce::String& path) const;

private:
    juce::File workFolder, documentRoot, portFile, logFile;
    juce::ChildProcess process;
    int port = 0;
    juce::String error;

    JUCE_DECLARE_NON_COPYABLE (LocalHttpsServer)
};
