#include "xml/DDXMLPrivateNamespaces.h"

#include "xml/DDXMLRecordTree.h"

#include <atomic>
#include <mutex>
#include <unordered_set>

namespace {

struct Registry {
    std::mutex lock;
    std::unordered_set<xmlNsPtr> records;
    std::atomic<size_t> count { 0 };
};

Registry& registry()
{
    static Registry* instance = new Registry;
    return *instance;
}

}

xmlNsPtr DDXMLPrivateNamespaces::create(const xmlChar* href, const xmlChar* prefix)
{
    xmlNsPtr ns = DDXMLRecordTree::newNamespaceRecord(href, prefix);
    if (!ns)
        return nullptr;
    auto& shared = registry();
    std::lock_guard guard(shared.lock);
    shared.records.insert(ns);
    shared.count.store(shared.records.size(), std::memory_order_release);
    return ns;
}

bool DDXMLPrivateNamespaces::anyExist()
{
    return registry().count.load(std::memory_order_acquire) > 0;
}

bool DDXMLPrivateNamespaces::contains(xmlNsPtr ns)
{
    if (!ns || !anyExist())
        return false;
    auto& shared = registry();
    std::lock_guard guard(shared.lock);
    return shared.records.contains(ns);
}

void DDXMLPrivateNamespaces::free(xmlNsPtr ns)
{
    if (!ns)
        return;
    {
        auto& shared = registry();
        std::lock_guard guard(shared.lock);
        if (!shared.records.erase(ns))
            return;
        shared.count.store(shared.records.size(), std::memory_order_release);
    }
    xmlFreeNs(ns);
}

std::vector<xmlNsPtr> DDXMLPrivateNamespaces::collectBelow(xmlKindPtr top)
{
    std::vector<xmlNsPtr> found;
    if (!anyExist())
        return found;
    DDXMLRecordTree::forEachRecordInSubtree(top, [&](xmlKindPtr record) {
        if (record->type != XML_ATTRIBUTE_NODE)
            return;
        xmlNsPtr ns = reinterpret_cast<xmlAttrPtr>(record)->ns;
        if (contains(ns))
            found.push_back(ns);
    });
    return found;
}

void DDXMLPrivateNamespaces::freeAll(const std::vector<xmlNsPtr>& records)
{
    for (xmlNsPtr ns : records)
        free(ns);
}
