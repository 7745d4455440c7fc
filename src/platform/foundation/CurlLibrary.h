#pragma once

#include <curl/curl.h>

namespace fnd {

// libcurl's entry points, loaded when the first transfer or cookie store is made rather than at
// process start: libcurl brings in some thirty libraries (TLS, Kerberos, LDAP, SSH...) that a
// launch without network traffic never uses.
class CurlLibrary {
public:
    // Loads the library once per process and keeps it loaded; throws fnd::Exception when it cannot.
    static const CurlLibrary& shared();

    CURLcode (*globalInit)(long flags);
    const char* (*easyStrerror)(CURLcode);
    CURL* (*easyInit)();
    void (*easyCleanup)(CURL*);
    CURLcode (*easySetopt)(CURL*, CURLoption, ...);
    CURLcode (*easyGetinfo)(CURL*, CURLINFO, ...);
    curl_slist* (*slistAppend)(curl_slist*, const char*);
    void (*slistFreeAll)(curl_slist*);
    CURLSH* (*shareInit)();
    CURLSHcode (*shareSetopt)(CURLSH*, CURLSHoption, ...);
    CURLSHcode (*shareCleanup)(CURLSH*);
    CURLM* (*multiInit)();
    CURLMcode (*multiCleanup)(CURLM*);
    CURLMcode (*multiAddHandle)(CURLM*, CURL*);
    CURLMcode (*multiRemoveHandle)(CURLM*, CURL*);
    CURLMcode (*multiPerform)(CURLM*, int* runningHandles);
    CURLMcode (*multiPoll)(CURLM*, curl_waitfd extraFds[], unsigned extraCount, int timeoutMilliseconds, int* ready);
    CURLMcode (*multiWakeup)(CURLM*);
    CURLMcode (*multiTimeout)(CURLM*, long* milliseconds);
    CURLMsg* (*multiInfoRead)(CURLM*, int* remaining);

private:
    CurlLibrary();
};

}
