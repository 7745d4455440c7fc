#pragma once

#include "platform/ui/IndexPath.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableViewCell.h"

#include <optional>

namespace ui {

class TableView;

// What a table tells and asks its delegate. Every operation is optional: the defaults stand for "not
// answered" (the table's row height, selection allowed as asked, the delete style while editing).
class TableViewDelegate : public ScrollViewDelegate {
public:
    ~TableViewDelegate() override;

    virtual std::optional<double> heightForRowAtIndexPath(TableView&, const IndexPath&) { return std::nullopt; }
    virtual void willDisplayCellForRowAtIndexPath(TableView&, TableViewCell&, const IndexPath&) { }

    // Answers the row to select instead, or nothing to select none.
    virtual std::optional<IndexPath> willSelectRowAtIndexPath(TableView&, const IndexPath& indexPath) { return indexPath; }
    virtual void didSelectRowAtIndexPath(TableView&, const IndexPath&) { }
    virtual std::optional<IndexPath> willDeselectRowAtIndexPath(TableView&, const IndexPath& indexPath) { return indexPath; }
    virtual void didDeselectRowAtIndexPath(TableView&, const IndexPath&) { }
    virtual void accessoryButtonTappedForRowWithIndexPath(TableView&, const IndexPath&) { }

    virtual TableViewCellEditingStyle editingStyleForRowAtIndexPath(TableView&, const IndexPath&) { return TableViewCellEditingStyle::Delete; }
    virtual bool shouldIndentWhileEditingRowAtIndexPath(TableView&, const IndexPath&) { return true; }
};

}
