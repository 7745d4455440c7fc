#include "platform/ui/TableViewController.h"

#include "platform/ui/Screen.h"

namespace ui {

TableViewController::TableViewController(TableViewStyle style)
    : m_style(style)
{
}

std::shared_ptr<TableView> TableViewController::tableView()
{
    return std::dynamic_pointer_cast<TableView>(view());
}

void TableViewController::setTableView(std::shared_ptr<TableView> table)
{
    auto self = sharedAs<TableViewController>();
    if (table) {
        table->setDataSource(self);
        table->setDelegate(self);
    }
    setView(std::move(table));
}

void TableViewController::loadView()
{
    auto frame = Screen::mainScreen().applicationFrame();
    auto table = TableView::create({ 0, 0, frame.width(), frame.height() }, m_style);
    table->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
    setTableView(std::move(table));
}

void TableViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    auto table = tableView();
    if (!table)
        return;
    if (!table->hasLoadedData())
        table->reloadData();
    if (m_clearsSelectionOnViewWillAppear) {
        if (auto selected = table->indexPathForSelectedRow())
            table->deselectRowAtIndexPath(*selected, animated);
    }
}

void TableViewController::setEditing(bool editing, bool animated)
{
    m_editing = editing;
    if (auto table = tableView())
        table->setEditing(editing, animated);
}

}
