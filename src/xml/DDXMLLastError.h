#pragma once

#include "platform/foundation/Error.h"

#include <libxml/xmlerror.h>

// libxml2 keeps its error handler per thread, so the model installs its handler on every thread
// that uses it and keeps the last error of each thread apart. Internal to the model.
class DDXMLLastError {
public:
    // Once per process, then once per thread: the generic error output reset to libxml2's default
    // and the model's structured handler installed.
    // Every wrapper calls this, so the check is inline.
    static void installOnCurrentThread()
    {
        if (!s_installedOnCurrentThread)
            install();
    }

    static void store(const xmlError*);
    static void clear();
    // "DDXMLErrorDomain", libxml2's code, the message trimmed; nil when the thread has none.
    static fnd::Ref<fnd::Error> current();

private:
    static void install();

    static constinit thread_local bool s_installedOnCurrentThread;
};
