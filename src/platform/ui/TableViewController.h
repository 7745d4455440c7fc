#pragma once

#include "platform/ui/TableView.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"
#include "platform/ui/ViewController.h"

#include <memory>

namespace ui {

// A controller whose view is a table that it feeds and hears: subclasses answer the data-source
// and delegate operations. The table loads its data when it first appears, and a selection left
// from before is cleared each time it appears again. Make instances with std::make_shared.
class TableViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
    explicit TableViewController(TableViewStyle = TableViewStyle::Plain);

    std::string_view className() const override { return "TableViewController"; }

    TableViewStyle tableViewStyle() const { return m_style; }
    // The view, loaded on first use.
    std::shared_ptr<TableView> tableView();
    void setTableView(std::shared_ptr<TableView>);

    bool clearsSelectionOnViewWillAppear() const { return m_clearsSelectionOnViewWillAppear; }
    void setClearsSelectionOnViewWillAppear(bool clears) { m_clearsSelectionOnViewWillAppear = clears; }

    bool isEditing() const { return m_editing; }
    virtual void setEditing(bool editing, bool animated = false);

    void loadView() override;
    void viewWillAppear(bool animated) override;

    int numberOfRowsInSection(TableView&, int) override { return 0; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, const IndexPath&) override { return nullptr; }

private:
    TableViewStyle m_style;
    bool m_clearsSelectionOnViewWillAppear = true;
    bool m_editing = false;
};

}
