#include "xml/DDXMLLastError.h"

#include "platform/foundation/Format.h"
#include "xml/DDXMLNode.h"
#include "xml/DDXMLString.h"

#include <libxml/parser.h>

#include <mutex>
#include <optional>
#include <string>

namespace {

struct StoredError {
    int domain = 0;
    int code = 0;
    int level = 0;
    int line = 0;
    std::optional<std::string> message;
    std::optional<std::string> file;
};

// Only the code and the message are read back; the rest helps when debugging.
thread_local std::optional<StoredError> t_lastError;

std::optional<std::string> copyOf(const char* text)
{
    if (!text)
        return std::nullopt;
    return std::string(text);
}

}

void xml_store_last_error(void*, xmlErrorPtr error)
{
    if (error)
        DDXMLLastError::store(error);
    else
        DDXMLLastError::clear();
}

constinit thread_local bool DDXMLLastError::s_installedOnCurrentThread = false;

void DDXMLLastError::install()
{
    s_installedOnCurrentThread = true;
    static std::once_flag processSetUp;
    std::call_once(processSetUp, [] {
        xmlInitParser();
        // Threads whose libxml2 state is made from now on start with the handler.
        xmlThrDefSetStructuredErrorFunc(nullptr, xml_store_last_error);
    });
    initGenericErrorDefaultFunc(nullptr);
    xmlSetStructuredErrorFunc(nullptr, xml_store_last_error);
}

void DDXMLLastError::store(const xmlError* error)
{
    StoredError stored;
    stored.domain = error->domain;
    stored.code = error->code;
    stored.level = error->level;
    stored.line = error->line;
    stored.message = copyOf(error->message);
    stored.file = copyOf(error->file);
    t_lastError = std::move(stored);
}

void DDXMLLastError::clear()
{
    t_lastError.reset();
}

fnd::Ref<fnd::Error> DDXMLLastError::current()
{
    if (!t_lastError)
        return nullptr;
    std::string message = fnd::format("%s", t_lastError->message ? t_lastError->message->c_str() : nullptr);
    return fnd::Error::withDescription("DDXMLErrorDomain", t_lastError->code, DDXMLString::stringByTrimming(message));
}
