#pragma once

#include "platform/ui/IndexPath.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

class TableView;

// What a table asks for its content. Only the row count and the cells must be answered; the other
// operations are optional and their defaults stand for "not answered" (one section, no titles, no
// index, every row editable).
class TableViewDataSource {
public:
    virtual ~TableViewDataSource();

    virtual int numberOfRowsInSection(TableView&, int section) = 0;
    virtual std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, const IndexPath&) = 0;

    virtual int numberOfSectionsInTableView(TableView&) { return 1; }
    virtual std::optional<std::string> titleForHeaderInSection(TableView&, int /* section */) { return std::nullopt; }
    virtual std::optional<std::string> titleForFooterInSection(TableView&, int /* section */) { return std::nullopt; }
    // The letters of the index down the right edge; none shows no index.
    virtual std::vector<std::string> sectionIndexTitlesForTableView(TableView&) { return {}; }
    // The section a touch on the index title at `index` shows.
    virtual int sectionForSectionIndexTitle(TableView&, const std::string& /* title */, int index) { return index; }
    virtual bool canEditRowAtIndexPath(TableView&, const IndexPath&) { return true; }
    virtual void commitEditingStyleForRowAtIndexPath(TableView&, TableViewCellEditingStyle, const IndexPath&) { }
};

}
