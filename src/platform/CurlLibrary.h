#pragma once

#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>

namespace velmor {

// The libcurl functions the page fetch calls, looked up when the first page is fetched.
// Linked in, libcurl and the libraries it brings (TLS, compression, name lookup) would be
// loaded and relocated at every start of the editor and of velmor-text, which costs more than
// most batch commands take, for a command few runs use.
struct CurlLibrary {
    decltype(&curl_easy_init) easyInit;
    decltype(&curl_easy_setopt) easySetopt;
    decltype(&curl_easy_perform) easyPerform;
    decltype(&curl_easy_cleanup) easyCleanup;
    decltype(&curl_easy_strerror) easyStrerror;
    decltype(&curl_slist_append) slistAppend;
    decltype(&curl_slist_free_all) slistFreeAll;
};

// The functions, the library initialised once; nullptr when it cannot be loaded.
const CurlLibrary* LoadCurlLibrary();

}  // namespace velmor
