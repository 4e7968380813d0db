#include "platform/CurlLibrary.h"

#include <dlfcn.h>

#include <initializer_list>

namespace velmor {

namespace {

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

// The library stays loaded for the rest of the run, as a linked one would.
const CurlLibrary* Load() {
    void* library = nullptr;
    for (const char* name : {"libcurl.so.4", "libcurl.so"}) {
        library = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
        if (library != nullptr) {
            break;
        }
    }
    if (library == nullptr) {
        return nullptr;
    }
    static CurlLibrary curl;
    decltype(&curl_global_init) globalInit = nullptr;
    const bool found = Find(library, "curl_global_init", globalInit) &&
                       Find(library, "curl_easy_init", curl.easyInit) &&
                       Find(library, "curl_easy_setopt", curl.easySetopt) &&
                       Find(library, "curl_easy_perform", curl.easyPerform) &&
                       Find(library, "curl_easy_cleanup", curl.easyCleanup) &&
                       Find(library, "curl_easy_strerror", curl.easyStrerror) &&
                       Find(library, "curl_slist_append", curl.slistAppend) &&
                       Find(library, "curl_slist_free_all", curl.slistFreeAll);
    if (!found || globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        return nullptr;
    }
    return &curl;
}

}  // namespace

const CurlLibrary* LoadCurlLibrary() {
    static const CurlLibrary* const curl = Load();
    return curl;
}

}  // namespace velmor
