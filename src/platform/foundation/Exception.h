#pragma once

#include "platform/foundation/Object.h"

#include <exception>
#include <string>

namespace fnd {

class Dictionary;

// Misuse of an interface: a named exception with a reason, e.g. "IllegalStateException".
class Exception : public std::exception {
public:
    Exception(std::string name, std::string reason, Ref<Dictionary> userInfo = nullptr);

    const std::string& name() const { return m_name; }
    const std::string& reason() const { return m_reason; }
    const Ref<Dictionary>& userInfo() const { return m_userInfo; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    std::string m_name;
    std::string m_reason;
    Ref<Dictionary> m_userInfo;
    std::string m_what;
};

// What the default assertion handler throws.
class AssertionFailure : public Exception {
public:
    AssertionFailure(std::string message, std::string file, int line, std::string function);

    const std::string& message() const { return m_message; }
    const std::string& file() const { return m_file; }
    int line() const { return m_line; }
    const std::string& function() const { return m_function; }

private:
    std::string m_message;
    std::string m_file;
    int m_line;
    std::string m_function;
};

}
