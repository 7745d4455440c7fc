#pragma once

#include "platform/foundation/Object.h"
#include "platform/ui/IndexPath.h"

// A table row's index path kept as an object, so it can travel as a screen's reference.
class IndexPathValue final : public fnd::Object {
public:
    static fnd::Ref<IndexPathValue> create(const ui::IndexPath& indexPath) { return std::make_shared<IndexPathValue>(indexPath); }
    explicit IndexPathValue(const ui::IndexPath& indexPath)
        : m_indexPath(indexPath)
    {
    }

    std::string_view className() const override { return "IndexPathValue"; }
    const ui::IndexPath& indexPath() const { return m_indexPath; }
    bool isEqual(const fnd::Object& other) const override
    {
        auto* value = dynamic_cast<const IndexPathValue*>(&other);
        return value && value->m_indexPath == m_indexPath;
    }
    std::string description() const override { return m_indexPath.description(); }

private:
    ui::IndexPath m_indexPath;
};
