#pragma once

#include "upgrader/CurlApi.h"

#include <map>
#include <optional>

namespace zorv
{
    // The program's one libcurl multi handle, which every transfer joins for
    // as long as it runs. It lives as long as the program, and with it what
    // libcurl keeps in it: above all the parsed trust store, which OpenSSL
    // otherwise reads whole for every connection, on the thread that drives
    // the transfer (the message thread), for ~80 ms, and several hundred on a
    // busy machine. A libcurl older than 7.87 keeps no store, and reads it per
    // connection still.
    //
    // Message thread only. Transfers may nest (one started from the message
    // loop that another one runs): driving the handle drives them all, and
    // the end of each is kept until its own transfer asks for it.
    class CurlMulti
    {
    public:
        static CurlMulti& instance();

        bool add (CURL* easy);
        void remove (CURL* easy);

        // Lets libcurl do what it can without waiting for the network.
        void perform();

        // Waits at most `ms` for the network to have something for libcurl.
        void wait (int ms);

        // How the transfer ended; nothing while it runs.
        std::optional<CURLcode> resultOf (CURL* easy);

        ~CurlMulti();

    private:
        CurlMulti();

        CURLM* const multi;
        std::map<CURL*, CURLcode> ended;

        CurlMulti (const CurlMulti&) = delete;
        CurlMulti& operator= (const CurlMulti&) = delete;
    };
}
