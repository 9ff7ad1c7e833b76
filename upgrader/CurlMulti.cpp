#include "upgrader/CurlMulti.h"

namespace zorv
{
    namespace
    {
        // OpenSSL registers its own clean-up at exit when it is first set up,
        // at the latest in libcurl's global set-up: here, or earlier, in the
        // curl_easy_init of the transfer that first asks for this handle.
        // Either way it is registered before the handle is made, so it runs
        // after the handle (and the certificates libcurl keeps in it) is gone.
        CURLM* makeMulti()
        {
            curl_global_init (CURL_GLOBAL_DEFAULT);
            return curl_multi_init();
        }
    }

    CurlMulti& CurlMulti::instance()
    {
        static CurlMulti one;
        return one;
    }

    CurlMulti::CurlMulti() : multi (makeMulti()) {}

    CurlMulti::~CurlMulti()
    {
        if (multi != nullptr)
            curl_multi_cleanup (multi);
    }

    bool CurlMulti::add (CURL* easy)
    {
        return multi != nullptr && curl_multi_add_handle (multi, easy) == CURLM_OK;
    }

    void CurlMulti::remove (CURL* easy)
    {
        curl_multi_remove_handle (multi, easy);
        ended.erase (easy);
    }

    void CurlMulti::perform()
    {
        int running = 0;
        curl_multi_perform (multi, &running);

        int queued = 0;

        while (auto* message = curl_multi_info_read (multi, &queued))
            if (message->msg == CURLMSG_DONE)
                ended[message->easy_handle] = message->data.result;
    }

    void CurlMulti::wait (int ms)
    {
        curl_multi_wait (multi, nullptr, 0, ms, nullptr);
    }

    std::optional<CURLcode> CurlMulti::resultOf (CURL* easy)
    {
        const auto found = ended.find (easy);

        if (found == ended.end())
            return {};

        return found->second;
    }
}
