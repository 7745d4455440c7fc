#include "xml/DDXMLOwnership.h"

#include "platform/foundation/Assertion.h"
#include "xml/DDXMLPrivateNamespaces.h"
#include "xml/DDXMLRecordTree.h"

namespace {

DDXMLNode* firstWrapperOf(xmlKindPtr record)
{
    return static_cast<DDXMLNode*>(DDXMLRecordTree::privateField(record));
}

}

std::vector<DDXMLNode*> DDXMLOwnership::wrappersOf(xmlKindPtr record)
{
    std::vector<DDXMLNode*> wrappers;
    if (!record)
        return wrappers;
    for (DDXMLNode* wrapper = firstWrapperOf(record); wrapper; wrapper = wrapper->m_nextWrapperOfRecord)
        wrappers.push_back(wrapper);
    return wrappers;
}

bool DDXMLOwnership::hasOwningWrapper(xmlKindPtr record)
{
    for (DDXMLNode* wrapper = firstWrapperOf(record); wrapper; wrapper = wrapper->m_nextWrapperOfRecord) {
        if (wrapper->m_freeOnDealloc)
            return true;
    }
    return false;
}

void DDXMLOwnership::anchor(DDXMLNode& wrapper, const fnd::Ref<DDXMLNode>& owner, ReleasePool& pool)
{
    DDXMLNode* newOwner = owner.get() == &wrapper ? nullptr : owner.get();
    if (wrapper.m_treeOwner.get() == newOwner)
        return;
    if (wrapper.m_treeOwner) {
        wrapper.m_treeOwner->m_anchoredWrapperCount--;
        pool.push_back(std::move(wrapper.m_treeOwner));
    }
    wrapper.m_treeOwner = newOwner ? owner : nullptr;
    if (newOwner)
        newOwner->m_anchoredWrapperCount++;
}

fnd::Ref<DDXMLNode> DDXMLOwnership::ownerOfTreeHolding(xmlKindPtr record)
{
    xmlNodePtr top = DDXMLRecordTree::topOf(DDXMLRecordTree::asNode(record));
    if (!top)
        return nullptr;
    for (DDXMLNode* wrapper = firstWrapperOf(DDXMLRecordTree::asKind(top)); wrapper; wrapper = wrapper->m_nextWrapperOfRecord) {
        if (wrapper->m_freeOnDealloc)
            return wrapper->shared_from_this();
    }
    return nullptr;
}

void DDXMLOwnership::adoptSubtree(xmlKindPtr top, const fnd::Ref<DDXMLNode>& owner)
{
    ReleasePool pool;
    DDXMLNode* first = firstWrapperOf(top);
    // Common case: one owning wrapper that nothing else depends on, so no wrapper can point below it.
    if (first && !first->m_nextWrapperOfRecord && first->m_freeOnDealloc && !first->m_anchoredWrapperCount) {
        first->m_freeOnDealloc = false;
        anchor(*first, owner, pool);
        return;
    }
    DDXMLRecordTree::forEachRecordInSubtree(top, [&](xmlKindPtr record) {
        for (DDXMLNode* wrapper = firstWrapperOf(record); wrapper; wrapper = wrapper->m_nextWrapperOfRecord) {
            wrapper->m_freeOnDealloc = false;
            anchor(*wrapper, owner, pool);
        }
    });
}

void DDXMLOwnership::takeOverCutSubtree(xmlKindPtr top, const fnd::Ref<DDXMLNode>& preferredOwner)
{
    ReleasePool pool;
    std::vector<DDXMLNode*> wrappers;
    DDXMLRecordTree::forEachRecordInSubtree(top, [&](xmlKindPtr record) {
        for (DDXMLNode* wrapper = firstWrapperOf(record); wrapper; wrapper = wrapper->m_nextWrapperOfRecord)
            wrappers.push_back(wrapper);
    });

    fnd::Ref<DDXMLNode> owner;
    if (preferredOwner && preferredOwner->m_genericPtr == top)
        owner = preferredOwner;
    else if (DDXMLNode* first = firstWrapperOf(top))
        owner = first->shared_from_this();
    else if (!wrappers.empty())
        owner = DDXMLNode::wrapperForKind(top, false);
    if (!owner) {
        freeRemovedRecord(top);
        return;
    }

    for (DDXMLNode* wrapper : wrappers) {
        wrapper->m_freeOnDealloc = false;
        anchor(*wrapper, owner, pool);
    }
    anchor(*owner, nullptr, pool);
    owner->m_freeOnDealloc = true;
}

void DDXMLOwnership::freeRemovedRecord(xmlKindPtr record)
{
    ReleasePool pool;
    std::vector<xmlNsPtr> privateNamespaces = DDXMLPrivateNamespaces::collectBelow(record);
    DDXMLRecordTree::forEachRecordInSubtree(record, [&](xmlKindPtr held) {
        void*& head = DDXMLRecordTree::privateField(held);
        auto wrapper = static_cast<DDXMLNode*>(head);
        head = nullptr;
        while (wrapper) {
            DDXMLNode* next = wrapper->m_nextWrapperOfRecord;
            wrapper->m_previousWrapperOfRecord = nullptr;
            wrapper->m_nextWrapperOfRecord = nullptr;
            wrapper->m_genericPtr = nullptr;
            wrapper->m_freeOnDealloc = false;
            anchor(*wrapper, nullptr, pool);
            wrapper = next;
        }
    });
    switch (record->type) {
    case XML_ATTRIBUTE_NODE:
        xmlFreeProp(reinterpret_cast<xmlAttrPtr>(record));
        break;
    case XML_NAMESPACE_DECL:
        xmlFreeNs(reinterpret_cast<xmlNsPtr>(record));
        break;
    default:
        xmlFreeNode(reinterpret_cast<xmlNodePtr>(record));
        break;
    }
    DDXMLPrivateNamespaces::freeAll(privateNamespaces);
}

void DDXMLOwnership::freeOwnedRecord(DDXMLNode& owner)
{
    xmlKindPtr record = owner.m_genericPtr;
    int kind = record->type;
    switch (kind) {
    case XML_ELEMENT_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_PI_NODE:
    case XML_COMMENT_NODE:
    case XML_ATTRIBUTE_NODE:
    case XML_DOCUMENT_NODE:
    case XML_DTD_NODE:
    case XML_NAMESPACE_DECL:
        break;
    default:
        fnd::Assertions::report({ fnd::format("Cannot free unknown node type: %i", kind), "Classes/DDXML/DDXMLNode", __LINE__, __func__ });
        return;
    }

    // Wrappers made over raw records that found no owner to keep alive lose their record with it.
    void*& head = DDXMLRecordTree::privateField(record);
    for (auto wrapper = static_cast<DDXMLNode*>(head); wrapper;) {
        DDXMLNode* next = wrapper->m_nextWrapperOfRecord;
        wrapper->m_previousWrapperOfRecord = nullptr;
        wrapper->m_nextWrapperOfRecord = nullptr;
        wrapper->m_genericPtr = nullptr;
        wrapper = next;
    }
    head = nullptr;

    std::vector<xmlNsPtr> privateNamespaces = DDXMLPrivateNamespaces::collectBelow(record);
    DDXMLRecordTree::freeByKind(record);
    DDXMLPrivateNamespaces::freeAll(privateNamespaces);
}

void DDXMLOwnership::followMergedRecord(const std::vector<DDXMLNode*>& wrappersOfMerged, xmlKindPtr survivor, const fnd::Ref<DDXMLNode>& owner)
{
    ReleasePool pool;
    for (DDXMLNode* wrapper : wrappersOfMerged) {
        wrapper->m_previousWrapperOfRecord = nullptr;
        wrapper->m_nextWrapperOfRecord = nullptr;
        wrapper->m_genericPtr = survivor;
        wrapper->m_freeOnDealloc = false;
        registerWrapper(*wrapper);
        anchor(*wrapper, owner, pool);
    }
}
