#pragma once

// libcurl as the transfers include it, and which of its newer ways the
// headers in use offer.

// The bit-mask protocol options stand in for the named ones on a libcurl that
// predates those; newer headers mark them deprecated.
#define CURL_DISABLE_DEPRECATION 1
#include <curl/curl.h>

// Headers older than 7.84 have no header API, older than 7.85 no
// CURLOPT_PROTOCOLS_STR, older than 7.87 no CURLOPT_QUICK_EXIT and no CA
// cache (Ubuntu 22.04 has 7.81). QUELT_FORCE_OLD_CURL_API takes the older
// ways on newer headers too, so that they are compiled here.
#if LIBCURL_VERSION_NUM >= 0x075400 && ! defined (QUELT_FORCE_OLD_CURL_API)
 #define QUELT_CURL_HAS_HEADER_API 1
#else
 #define QUELT_CURL_HAS_HEADER_API 0
#endif

#if LIBCURL_VERSION_NUM >= 0x075500 && ! defined (QUELT_FORCE_OLD_CURL_API)
 #define QUELT_CURL_HAS_PROTOCOLS_STR 1
#else
 #define QUELT_CURL_HAS_PROTOCOLS_STR 0
#endif

#if LIBCURL_VERSION_NUM >= 0x075700 && ! defined (QUELT_FORCE_OLD_CURL_API)
 #define QUELT_CURL_HAS_QUICK_EXIT_AND_CA_CACHE 1
#else
 #define QUELT_CURL_HAS_QUICK_EXIT_AND_CA_CACHE 0
#endif
