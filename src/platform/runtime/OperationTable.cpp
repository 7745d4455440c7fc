#include "platform/runtime/OperationTable.h"

namespace rt {

OperationTable& OperationTable::shared()
{
    static OperationTable table;
    return table;
}

void OperationTable::add(std::string_view className, std::string name, Operation operation)
{
    std::lock_guard guard(m_lock);
    auto found = m_classes.find(className);
    if (found == m_classes.end())
        found = m_classes.emplace(std::string(className), std::map<std::string, Operation, std::less<>> {}).first;
    found->second[std::move(name)] = std::move(operation);
}

OperationTable::Operation OperationTable::find(const fnd::Object& receiver, std::string_view name) const
{
    std::lock_guard guard(m_lock);
    auto found = m_classes.find(receiver.className());
    if (found == m_classes.end())
        return {};
    auto operation = found->second.find(name);
    return operation == found->second.end() ? Operation {} : operation->second;
}

bool OperationTable::respondsTo(const fnd::Object& receiver, std::string_view name) const
{
    return bool(find(receiver, name));
}

bool OperationTable::perform(fnd::Object& receiver, std::string_view name, const fnd::Id& argument) const
{
    // Run outside the lock: an operation may add operations or send others.
    auto operation = find(receiver, name);
    if (!operation)
        return false;
    operation(receiver, argument);
    return true;
}

std::vector<std::string> OperationTable::operationNames(const fnd::Object& receiver) const
{
    std::lock_guard guard(m_lock);
    std::vector<std::string> names;
    if (auto found = m_classes.find(receiver.className()); found != m_classes.end()) {
        for (auto& entry : found->second)
            names.push_back(entry.first);
    }
    return names;
}

}
