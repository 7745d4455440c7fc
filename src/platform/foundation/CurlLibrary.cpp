#include "platform/foundation/CurlLibrary.h"

#include "platform/foundation/Exception.h"

#include <dlfcn.h>

#include <string>

namespace fnd {

namespace {

constexpr const char* libraryName = "libcurl.so.4";

template<typename Function>
void resolve(void* library, Function& entry, const char* name)
{
    void* address = dlsym(library, name);
    if (!address)
        throw Exception("InternalInconsistencyException", std::string(libraryName) + " has no " + name);
    entry = reinterpret_cast<Function>(address);
}

}

const CurlLibrary& CurlLibrary::shared()
{
    static const CurlLibrary library;
    return library;
}

CurlLibrary::CurlLibrary()
{
    // Never closed: handles and callbacks may be in use until the process ends.
    void* library = dlopen(libraryName, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        throw Exception("InternalInconsistencyException", std::string("cannot load ") + libraryName + ": " + (reason ? reason : "unknown error"));
    }
    resolve(library, globalInit, "curl_global_init");
    resolve(library, easyStrerror, "curl_easy_strerror");
    resolve(library, easyInit, "curl_easy_init");
    resolve(library, easyCleanup, "curl_easy_cleanup");
    resolve(library, easySetopt, "curl_easy_setopt");
    resolve(library, easyGetinfo, "curl_easy_getinfo");
    resolve(library, slistAppend, "curl_slist_append");
    resolve(library, slistFreeAll, "curl_slist_free_all");
    resolve(library, shareInit, "curl_share_init");
    resolve(library, shareSetopt, "curl_share_setopt");
    resolve(library, shareCleanup, "curl_share_cleanup");
    resolve(library, multiInit, "curl_multi_init");
    resolve(library, multiCleanup, "curl_multi_cleanup");
    resolve(library, multiAddHandle, "curl_multi_add_handle");
    resolve(library, multiRemoveHandle, "curl_multi_remove_handle");
    resolve(library, multiPerform, "curl_multi_perform");
    resolve(library, multiPoll, "curl_multi_poll");
    resolve(library, multiWakeup, "curl_multi_wakeup");
    resolve(library, multiTimeout, "curl_multi_timeout");
    resolve(library, multiInfoRead, "curl_multi_info_read");
}

}
