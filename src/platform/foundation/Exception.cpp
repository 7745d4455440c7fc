#include "platform/foundation/Exception.h"

#include "platform/foundation/Dictionary.h"

namespace fnd {

Exception::Exception(std::string name, std::string reason, Ref<Dictionary> userInfo)
    : m_name(std::move(name))
    , m_reason(std::move(reason))
    , m_userInfo(std::move(userInfo))
    , m_what(m_name + ": " + m_reason)
{
}

AssertionFailure::AssertionFailure(std::string message, std::string file, int line, std::string function)
    : Exception("NSInternalInconsistencyException", message)
    , m_message(std::move(message))
    , m_file(std::move(file))
    , m_line(line)
    , m_function(std::move(function))
{
}

}
