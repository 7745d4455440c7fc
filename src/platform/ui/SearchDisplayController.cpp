#include "platform/ui/SearchDisplayController.h"

#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

namespace ui {

SearchDisplayDelegate::~SearchDisplayDelegate() = default;

std::shared_ptr<SearchDisplayController> SearchDisplayController::create(std::shared_ptr<SearchBar> searchBar,
    const std::shared_ptr<ViewController>& contentsController)
{
    auto controller = std::make_shared<SearchDisplayController>(std::move(searchBar), contentsController);
    if (controller->m_searchBar)
        controller->m_searchBar->setSearchDisplay(controller);
    return controller;
}

SearchDisplayController::SearchDisplayController(std::shared_ptr<SearchBar> searchBar, const std::shared_ptr<ViewController>& contentsController)
    : m_searchBar(std::move(searchBar))
    , m_contents(contentsController)
{
}

SearchDisplayController::~SearchDisplayController()
{
    if (m_resultsTable)
        m_resultsTable->removeFromSuperview();
}

void SearchDisplayController::setSearchResultsDataSource(const std::shared_ptr<TableViewDataSource>& dataSource)
{
    m_resultsDataSource = dataSource;
    if (m_resultsTable)
        m_resultsTable->setDataSource(dataSource);
}

void SearchDisplayController::setSearchResultsDelegate(const std::shared_ptr<TableViewDelegate>& delegate)
{
    m_resultsDelegate = delegate;
    if (m_resultsTable)
        m_resultsTable->setDelegate(delegate);
}

std::shared_ptr<TableView> SearchDisplayController::searchResultsTableView()
{
    if (!m_resultsTable) {
        m_resultsTable = TableView::create({}, TableViewStyle::Plain);
        m_resultsTable->setDataSource(m_resultsDataSource.lock());
        m_resultsTable->setDelegate(m_resultsDelegate.lock());
        m_resultsTable->setHidden(true);
        if (auto delegate = this->delegate())
            delegate->didLoadSearchResultsTableView(*this, *m_resultsTable);
    }
    return m_resultsTable;
}

bool SearchDisplayController::isShowingResults() const
{
    return m_resultsTable && m_resultsTable->superviewPointer() && !m_resultsTable->isHidden();
}

void SearchDisplayController::showResults(bool show)
{
    auto table = searchResultsTableView();
    if (!show) {
        table->setHidden(true);
        table->removeFromSuperview();
        return;
    }
    auto contents = searchContentsController();
    if (!contents || !contents->isViewLoaded())
        return;
    // The results cover the content below the bar, as a sibling so they do not scroll with it.
    auto contentView = contents->view();
    auto host = contentView->superview();
    gfx::Rect area = host ? contentView->frame() : contentView->bounds();
    double barHeight = m_searchBar ? m_searchBar->frame().height() : 0;
    table->setFrame({ area.minX(), area.minY() + barHeight, area.width(), std::max(0.0, area.height() - barHeight) });
    if (table->superviewPointer() != (host ? host.get() : contentView.get())) {
        if (host)
            host->insertSubviewAboveSubview(table, *contentView);
        else
            contentView->addSubview(table);
    }
    table->setHidden(false);
}

void SearchDisplayController::setActive(bool active, bool)
{
    if (active == m_active)
        return;
    auto protect = shared_from_this();
    auto delegate = this->delegate();
    if (active) {
        if (delegate)
            delegate->searchDisplayControllerWillBeginSearch(*this);
        m_active = true;
        if (m_searchBar) {
            m_searchBar->setShowsCancelButton(true);
            if (!m_searchBar->isFirstResponder())
                m_searchBar->becomeFirstResponder();
        }
        if (delegate)
            delegate->searchDisplayControllerDidBeginSearch(*this);
        return;
    }
    if (delegate)
        delegate->searchDisplayControllerWillEndSearch(*this);
    m_active = false;
    if (m_searchBar) {
        m_searchBar->setText({});
        m_searchBar->setShowsCancelButton(false);
        m_searchBar->resignFirstResponder();
    }
    showResults(false);
    if (delegate)
        delegate->searchDisplayControllerDidEndSearch(*this);
}

void SearchDisplayController::searchBarBeganEditing()
{
    setActive(true);
}

void SearchDisplayController::searchTextChanged(const std::string& text)
{
    if (!m_active)
        setActive(true);
    auto protect = shared_from_this();
    bool reload = true;
    if (auto delegate = this->delegate())
        reload = delegate->shouldReloadTableForSearchString(*this, text);
    showResults(!text.empty());
    if (reload)
        searchResultsTableView()->reloadData();
}

void SearchDisplayController::searchScopeChanged(int scope)
{
    auto protect = shared_from_this();
    bool reload = true;
    if (auto delegate = this->delegate())
        reload = delegate->shouldReloadTableForSearchScope(*this, scope);
    if (reload)
        searchResultsTableView()->reloadData();
}

void SearchDisplayController::searchBarCancelled()
{
    setActive(false);
}

}
