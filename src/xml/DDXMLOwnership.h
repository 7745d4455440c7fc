#pragma once

#include "xml/DDXMLNode.h"
#include "xml/DDXMLRecordTree.h"

#include <vector>

// Who frees which record, and which wrappers point where. Every wrapper is listed on its record
// (through the record's _private field) so that when records move between trees, are merged by
// libxml2 or are freed, the wrappers into them follow: they keep the owner of their current tree
// alive, or lose their record. Internal to the model.
class DDXMLOwnership {
public:
    // Every wrapper made and dropped during a walk passes here, so these stay inline.
    static void registerWrapper(DDXMLNode&);
    static void unregisterWrapper(DDXMLNode&);
    static std::vector<DDXMLNode*> wrappersOf(xmlKindPtr record);
    static bool hasOwningWrapper(xmlKindPtr record);

    // Owners that stop being referenced are released only when the operation that moved records
    // around is over, so that no tree is freed while its records are being relinked.
    using ReleasePool = std::vector<fnd::Ref<DDXMLNode>>;

    // Makes `wrapper` keep `owner` alive (nothing when null or the wrapper itself).
    static void anchor(DDXMLNode& wrapper, const fnd::Ref<DDXMLNode>& owner, ReleasePool&);
    // The same for a wrapper that was just made and keeps nothing alive yet.
    static void anchorNew(DDXMLNode& wrapper, const fnd::Ref<DDXMLNode>& owner);
    // The owning wrapper of the tree that holds the record, found from its top; for wrappers made
    // over raw records.
    static fnd::Ref<DDXMLNode> ownerOfTreeHolding(xmlKindPtr record);

    // The subtree now belongs to the tree that `owner` owns: every wrapper into it gives up
    // ownership and keeps `owner` alive instead.
    static void adoptSubtree(xmlKindPtr top, const fnd::Ref<DDXMLNode>& owner);
    // The subtree was cut out of its tree and made self-contained: `preferredOwner`, or else another
    // wrapper of the top record, or else a new hidden wrapper owns it; with no wrapper into it at all
    // it is freed at once.
    static void takeOverCutSubtree(xmlKindPtr top, const fnd::Ref<DDXMLNode>& preferredOwner);
    // Frees a record that is no longer linked into a tree, with everything below it; every wrapper
    // into it is left without a record.
    static void freeRemovedRecord(xmlKindPtr record);
    // Frees the record of an owning wrapper that dies.
    static void freeOwnedRecord(DDXMLNode& owner);
    // libxml2 merged an inserted text record into `survivor` and freed it: its former wrappers
    // (listed before the insertion) wrap the survivor now.
    static void followMergedRecord(const std::vector<DDXMLNode*>& wrappersOfMerged, xmlKindPtr survivor, const fnd::Ref<DDXMLNode>& owner);
};

inline void DDXMLOwnership::registerWrapper(DDXMLNode& wrapper)
{
    if (!wrapper.m_genericPtr)
        return;
    void*& head = DDXMLRecordTree::privateField(wrapper.m_genericPtr);
    auto first = static_cast<DDXMLNode*>(head);
    wrapper.m_previousWrapperOfRecord = nullptr;
    wrapper.m_nextWrapperOfRecord = first;
    if (first)
        first->m_previousWrapperOfRecord = &wrapper;
    head = &wrapper;
}

inline void DDXMLOwnership::unregisterWrapper(DDXMLNode& wrapper)
{
    if (wrapper.m_genericPtr) {
        if (wrapper.m_previousWrapperOfRecord)
            wrapper.m_previousWrapperOfRecord->m_nextWrapperOfRecord = wrapper.m_nextWrapperOfRecord;
        else
            DDXMLRecordTree::privateField(wrapper.m_genericPtr) = wrapper.m_nextWrapperOfRecord;
        if (wrapper.m_nextWrapperOfRecord)
            wrapper.m_nextWrapperOfRecord->m_previousWrapperOfRecord = wrapper.m_previousWrapperOfRecord;
    }
    wrapper.m_previousWrapperOfRecord = nullptr;
    wrapper.m_nextWrapperOfRecord = nullptr;
}

inline void DDXMLOwnership::anchorNew(DDXMLNode& wrapper, const fnd::Ref<DDXMLNode>& owner)
{
    if (!owner || owner.get() == &wrapper)
        return;
    wrapper.m_treeOwner = owner;
    owner->m_anchoredWrapperCount++;
}
