#pragma once

class SHKItem;
class SHKSharer;

// An optional gate that the action sheet and the share menu ask before a share starts: the sharer
// has been made and has the item; answering false stops the share before it begins.
class SHKShareItemDelegate {
public:
    virtual ~SHKShareItemDelegate() = default;

    virtual bool aboutToShareItemWithSharer(SHKItem&, SHKSharer&) = 0;
};
