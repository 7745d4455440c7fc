#pragma once

#include "platform/foundation/Assertion.h"

#include <string>
#include <vector>

// Installs an assertion handler that records each failure and returns, so that the failing
// operation goes on as the model describes ("yields nil", "inserts nothing").
class AssertionRecorder {
public:
    AssertionRecorder()
        : m_guard([this](const fnd::AssertionInfo& info) { m_failures.push_back(info); })
    {
    }

    const std::vector<fnd::AssertionInfo>& failures() const { return m_failures; }
    size_t count() const { return m_failures.size(); }
    std::string lastMessage() const { return m_failures.empty() ? std::string() : m_failures.back().message; }
    std::string lastFile() const { return m_failures.empty() ? std::string() : m_failures.back().file; }

private:
    std::vector<fnd::AssertionInfo> m_failures;
    fnd::ScopedAssertionHandler m_guard;
};
