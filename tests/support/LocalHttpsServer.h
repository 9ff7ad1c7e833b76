#pragma once

#include <juce_core/juce_core.h>

// A real HTTPS server on 127.0.0.1 for the network tests (https_server.py run as
// a child process). It serves the files of its own temporary folder, answers
// 404 for anything missing, and logs every request it answers. Stopping it
// leaves its port refusing connections. Paths can be told to misbehave (see
// Answer); the same files are also served over plain HTTP, and a third port
// takes connections without ever answering.
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

    // The same files over plain HTTP: "http://127.0.0.1:<port>/"
    juce::String getPlainRootUrl() const;

    // "https://127.0.0.1:<port>/" of a port that connects but never answers.
    juce::String getMuteRootUrl() const;

    // How one path is answered instead of the plain file. The file at the path
    // (if any) is the body.
    struct Answer
    {
        juce::String location;          // a redirect (302 unless `status` says) to this URL, no body
        int status = 0;                 // instead of 200 (or 302)
        int delayMs = 0;                // waits this long before it answers
        juce::String statusLine;        // this line (without its CRLF) instead of the status line
        juce::String contentType;       // instead of application/octet-stream (a redirect has one only when given)
        bool omitContentType = false;   // no Content-Type at all
        bool contentTypeFirst = false;  // the Content-Type as the answer's first header line
        juce::String rawHeaders;        // header lines sent as they are after the others, each ending in CRLF
        bool rawHeadersFirst = false;   // the raw header lines right after the status line instead
        int declaredLength = -1;        // a Content-Length other than the body's
        bool omitLength = false;        // no Content-Length: the body ends with the connection
        bool chunked = false;           // the body in chunks (HTTP/1.1), without a Content-Length
        int cutAfterBytes = -1;         // ends the connection after this many bytes of the body (chunks: no last chunk)
        bool closeNotify = false;       // a cut connection ends with a TLS close_notify, not only with the TCP end
        int holdAfterBytes = -1;        // sends this many bytes of the body, then falls silent
        int trickleBytesPerSecond = 0;  // sends the body this slowly, never falling silent for long
        bool endlessInterim = false;    // interim answers (102) a tenth of a second apart, and never the answer
        juce::String rawAnswer;         // these bytes instead of an HTTP answer
    };

    void setAnswer (const juce::String& path, const Answer& answer);

    // Puts a file (path relative to the server's root) where the server finds it.
    void addFile (const juce::String& path, const juce::String& content);
    void addFile (const juce::String& path, const juce::MemoryBlock& content);

    // Answered requests so far, oldest first, each "METHOD /path STATUS".
    juce::StringArray getRequests() const;
    int countRequests (const juce::String& path) const;

private:
    juce::File workFolder, documentRoot, portFile, plainPortFile, mutePortFile, answersFile, logFile;
    juce::ChildProcess process;
    juce::DynamicObject::Ptr answers { new juce::DynamicObject() };
    int port = 0, plainPort = 0, mutePort = 0;
    juce::String error;

    JUCE_DECLARE_NON_COPYABLE (LocalHttpsServer)
};
