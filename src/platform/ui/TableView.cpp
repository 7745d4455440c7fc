#include "platform/ui/TableView.h"

#include "platform/foundation/Exception.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Number.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/TextLayout.h"
#include "platform/ui/TableIndexView.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"
#include "platform/ui/Touch.h"
#include "platform/ui/TouchSet.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr double groupedGap = 10;
constexpr double groupedInset = 10;
constexpr double plainTitleBand = 22;
constexpr double groupedHeaderBand = 36;
constexpr double groupedFooterBand = 30;
// A finger that moves further than this scrolls instead of selecting.
constexpr double touchSlop = 5;

const gfx::Color groupedBackground { 0.84, 0.86, 0.9 };

// Section titles: the font, and the margins around the text within its band.
const gfx::Font& headerFont()
{
    static const auto font = gfx::Font::boldSystemFont(17);
    return font;
}

const gfx::Font& footerFont()
{
    static const auto font = gfx::Font::systemFont(15);
    return font;
}

constexpr gfx::Size groupedHeaderMargins { 20, 8 };
constexpr gfx::Size plainTitleMargins { 12, 1 };
constexpr gfx::Size groupedFooterMargins { 20, 5 };

// The band a title needs: `oneLine` for one line, and a line more for each line the text wraps onto.
double titleBandHeight(const std::string& title, const gfx::Font& font, double width, gfx::Size margins, double oneLine)
{
    double textWidth = std::max(1.0, width - 2 * margins.width);
    gfx::TextLayout layout(title, font, { textWidth, 1e6 }, gfx::LineBreakMode::WordWrap);
    size_t lines = std::max<size_t>(1, layout.lines().size());
    return oneLine + std::ceil(double(lines - 1) * layout.lineHeight());
}

// The k-th index (from 0) of 0, 1, 2... that is not in `taken`.
int nthFreeIndex(int k, const std::set<int>& taken)
{
    int index = k;
    for (int used : taken) {
        if (used <= index)
            ++index;
        else
            break;
    }
    return index;
}

std::set<int> rowsOfSection(const std::set<IndexPath>& paths, int section)
{
    std::set<int> rows;
    for (auto& path : paths) {
        if (path.section == section)
            rows.insert(path.row);
    }
    return rows;
}

[[noreturn]] void inconsistent(const std::string& reason)
{
    throw fnd::Exception(std::string(TableView::inconsistencyException), "Invalid table update: " + reason);
}

}

TableViewDataSource::~TableViewDataSource() = default;
TableViewDelegate::~TableViewDelegate() = default;

std::shared_ptr<TableView> TableView::create(const gfx::Rect& frame, TableViewStyle style)
{
    return std::make_shared<TableView>(frame, style);
}

TableView::TableView(const gfx::Rect& frame, TableViewStyle style)
    : ScrollView(frame)
    , m_style(style)
{
    setBackgroundColor(style == TableViewStyle::Grouped ? groupedBackground : gfx::Color::white());
    setMultipleTouchEnabled(false);
}

TableView::~TableView() = default;

void TableView::setDataSource(const std::shared_ptr<TableViewDataSource>& dataSource)
{
    m_dataSource = dataSource;
    m_loaded = false;
    setNeedsLayout();
}

void TableView::setDelegate(const std::shared_ptr<TableViewDelegate>& delegate)
{
    m_delegate = delegate;
    setScrollDelegate(delegate);
    m_geometryValid = false;
    setNeedsLayout();
}

void TableView::setRowHeight(double height)
{
    m_rowHeight = height;
    m_geometryValid = false;
    setNeedsLayout();
}

void TableView::setTableHeaderView(std::shared_ptr<View> view)
{
    if (m_headerView)
        m_headerView->removeFromSuperview();
    m_headerView = std::move(view);
    if (m_headerView)
        addSubview(m_headerView);
    m_geometryValid = false;
    setNeedsLayout();
}

void TableView::setTableFooterView(std::shared_ptr<View> view)
{
    if (m_footerView)
        m_footerView->removeFromSuperview();
    m_footerView = std::move(view);
    if (m_footerView)
        addSubview(m_footerView);
    m_geometryValid = false;
    setNeedsLayout();
}

void TableView::reloadData()
{
    auto visible = std::move(m_visibleCells);
    m_visibleCells.clear();
    for (auto& [indexPath, cell] : visible)
        recycle(cell);
    m_selected.reset();
    loadCounts();
    setNeedsLayout();
}

void TableView::loadDataIfNeeded()
{
    if (!m_loaded)
        loadCounts();
    if (!m_geometryValid)
        computeGeometry();
}

void TableView::loadCounts()
{
    m_loaded = true;
    m_geometryValid = false;
    m_rowCounts.clear();
    m_sections.clear();
    m_indexTitles.clear();
    auto source = dataSource();
    if (!source)
        return;
    int sections = std::max(0, source->numberOfSectionsInTableView(*this));
    for (int section = 0; section < sections; ++section) {
        m_rowCounts.push_back(std::max(0, source->numberOfRowsInSection(*this, section)));
        SectionLayout layout;
        layout.headerTitle = source->titleForHeaderInSection(*this, section);
        layout.footerTitle = source->titleForFooterInSection(*this, section);
        m_sections.push_back(std::move(layout));
    }
    m_indexTitles = source->sectionIndexTitlesForTableView(*this);
}

double TableView::headerBandHeight(const std::optional<std::string>& title) const
{
    if (!title || title->empty())
        return 0;
    if (m_style == TableViewStyle::Grouped)
        return titleBandHeight(*title, headerFont(), bounds().width(), groupedHeaderMargins, groupedHeaderBand);
    return titleBandHeight(*title, headerFont(), bounds().width(), plainTitleMargins, plainTitleBand);
}

double TableView::footerBandHeight(const std::optional<std::string>& title) const
{
    if (!title || title->empty())
        return 0;
    if (m_style == TableViewStyle::Grouped)
        return titleBandHeight(*title, footerFont(), bounds().width(), groupedFooterMargins, groupedFooterBand);
    return titleBandHeight(*title, footerFont(), bounds().width(), plainTitleMargins, plainTitleBand);
}

void TableView::computeGeometry()
{
    m_geometryValid = true;
    auto delegate = this->delegate();
    bool grouped = m_style == TableViewStyle::Grouped;
    double y = m_headerView ? m_headerView->frame().height() : 0;
    for (size_t section = 0; section < m_sections.size(); ++section) {
        auto& layout = m_sections[section];
        layout.top = y;
        if (grouped)
            y += groupedGap;
        layout.headerHeight = headerBandHeight(layout.headerTitle);
        y += layout.headerHeight;
        int rows = m_rowCounts[section];
        layout.rowTops.resize(rows);
        layout.rowHeights.resize(rows);
        for (int row = 0; row < rows; ++row) {
            double height = m_rowHeight;
            if (delegate) {
                if (auto answered = delegate->heightForRowAtIndexPath(*this, IndexPath::forRow(row, static_cast<int>(section))))
                    height = std::max(0.0, *answered);
            }
            layout.rowTops[row] = y;
            layout.rowHeights[row] = height;
            y += height;
        }
        layout.footerHeight = footerBandHeight(layout.footerTitle);
        y += layout.footerHeight;
        if (grouped)
            y += groupedGap;
        layout.bottom = y;
    }
    if (m_footerView) {
        auto frame = m_footerView->frame();
        y += frame.height();
    }
    m_contentHeight = y;
    setContentSize({ bounds().width(), m_contentHeight });
}

bool TableView::isValid(const IndexPath& indexPath) const
{
    return indexPath.section >= 0 && indexPath.section < static_cast<int>(m_rowCounts.size()) && indexPath.row >= 0
        && indexPath.row < m_rowCounts[indexPath.section];
}

int TableView::numberOfSections()
{
    loadDataIfNeeded();
    return static_cast<int>(m_rowCounts.size());
}

int TableView::numberOfRowsInSection(int section)
{
    loadDataIfNeeded();
    if (section < 0 || section >= static_cast<int>(m_rowCounts.size()))
        return 0;
    return m_rowCounts[section];
}

const std::vector<std::string>& TableView::sectionIndexTitles()
{
    loadDataIfNeeded();
    return m_indexTitles;
}

std::optional<std::string> TableView::headerTitleForSection(int section)
{
    loadDataIfNeeded();
    if (section < 0 || section >= static_cast<int>(m_sections.size()))
        return std::nullopt;
    return m_sections[section].headerTitle;
}

std::optional<std::string> TableView::footerTitleForSection(int section)
{
    loadDataIfNeeded();
    if (section < 0 || section >= static_cast<int>(m_sections.size()))
        return std::nullopt;
    return m_sections[section].footerTitle;
}

gfx::Rect TableView::cellFrame(const IndexPath& indexPath) const
{
    auto& layout = m_sections[indexPath.section];
    double width = bounds().width();
    // Rows stay clear of the section index in both styles, so the index never covers a row's text.
    if (!m_indexTitles.empty())
        width -= TableIndexView::width;
    if (m_style == TableViewStyle::Grouped)
        return { groupedInset, layout.rowTops[indexPath.row], std::max(0.0, width - 2 * groupedInset), layout.rowHeights[indexPath.row] };
    return { 0, layout.rowTops[indexPath.row], std::max(0.0, width), layout.rowHeights[indexPath.row] };
}

gfx::Rect TableView::rectForRowAtIndexPath(const IndexPath& indexPath)
{
    loadDataIfNeeded();
    if (!isValid(indexPath))
        return {};
    return cellFrame(indexPath);
}

gfx::Rect TableView::rectForSection(int section)
{
    loadDataIfNeeded();
    if (section < 0 || section >= static_cast<int>(m_sections.size()))
        return {};
    auto& layout = m_sections[section];
    return { 0, layout.top, bounds().width(), layout.bottom - layout.top };
}

gfx::Rect TableView::rectForHeaderInSection(int section)
{
    loadDataIfNeeded();
    if (section < 0 || section >= static_cast<int>(m_sections.size()))
        return {};
    auto& layout = m_sections[section];
    double top = layout.top + (m_style == TableViewStyle::Grouped ? groupedGap : 0);
    return { 0, top, bounds().width(), layout.headerHeight };
}

gfx::Rect TableView::rectForFooterInSection(int section)
{
    loadDataIfNeeded();
    if (section < 0 || section >= static_cast<int>(m_sections.size()))
        return {};
    auto& layout = m_sections[section];
    double bottom = layout.bottom - (m_style == TableViewStyle::Grouped ? groupedGap : 0);
    return { 0, bottom - layout.footerHeight, bounds().width(), layout.footerHeight };
}

std::optional<IndexPath> TableView::indexPathForRowAtPoint(gfx::Point point)
{
    loadDataIfNeeded();
    for (size_t section = 0; section < m_sections.size(); ++section) {
        auto& layout = m_sections[section];
        if (point.y < layout.top || point.y >= layout.bottom)
            continue;
        auto& tops = layout.rowTops;
        auto after = std::upper_bound(tops.begin(), tops.end(), point.y);
        if (after == tops.begin())
            return std::nullopt;
        int row = static_cast<int>(after - tops.begin()) - 1;
        if (point.y >= tops[row] + layout.rowHeights[row])
            return std::nullopt;
        return IndexPath::forRow(row, static_cast<int>(section));
    }
    return std::nullopt;
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCellWithIdentifier(std::string_view identifier)
{
    auto found = m_reusePool.find(identifier);
    if (found == m_reusePool.end() || found->second.empty())
        return nullptr;
    auto cell = std::move(found->second.back());
    found->second.pop_back();
    cell->prepareForReuse();
    return cell;
}

void TableView::recycle(const std::shared_ptr<TableViewCell>& cell)
{
    cell->removeFromSuperview();
    if (!cell->reuseIdentifier().empty())
        m_reusePool[cell->reuseIdentifier()].push_back(cell);
}

std::shared_ptr<TableViewCell> TableView::requestCell(const IndexPath& indexPath)
{
    ++m_cellRequestCount;
    std::shared_ptr<TableViewCell> cell;
    if (auto source = dataSource())
        cell = source->cellForRowAtIndexPath(*this, indexPath);
    if (!cell) {
        // The device would stop here; an empty row keeps the screen usable.
        fnd::Log::write("TableView: the data source gave no cell for row " + indexPath.description());
        cell = TableViewCell::create();
    }
    cell->setFrame(cellFrame(indexPath));
    cell->setSeparatorShown(m_separatorStyle != TableViewCellSeparatorStyle::None);
    bool indents = true;
    if (auto delegate = this->delegate())
        indents = delegate->shouldIndentWhileEditingRowAtIndexPath(*this, indexPath)
            && delegate->editingStyleForRowAtIndexPath(*this, indexPath) != TableViewCellEditingStyle::None;
    cell->setTableEditingIndent(indents);
    cell->setEditing(m_editing);
    cell->setSelected(m_selected == indexPath);
    if (m_indexView)
        insertSubviewBelowSubview(cell, *m_indexView);
    else
        addSubview(cell);
    cell->layoutIfNeeded();
    return cell;
}

void TableView::updateVisibleCells()
{
    if (m_fillingCells)
        return;
    m_fillingCells = true;
    loadDataIfNeeded();
    auto visibleArea = bounds();
    std::vector<IndexPath> wanted;
    for (size_t section = 0; section < m_sections.size(); ++section) {
        auto& layout = m_sections[section];
        if (layout.bottom <= visibleArea.minY() || layout.top >= visibleArea.maxY())
            continue;
        auto& tops = layout.rowTops;
        auto first = std::upper_bound(tops.begin(), tops.end(), visibleArea.minY());
        if (first != tops.begin())
            --first;
        for (auto row = first; row != tops.end() && *row < visibleArea.maxY(); ++row) {
            int index = static_cast<int>(row - tops.begin());
            if (*row + layout.rowHeights[index] <= visibleArea.minY() || layout.rowHeights[index] <= 0)
                continue;
            wanted.push_back(IndexPath::forRow(index, static_cast<int>(section)));
        }
    }
    std::set<IndexPath> wantedSet(wanted.begin(), wanted.end());
    for (auto entry = m_visibleCells.begin(); entry != m_visibleCells.end();) {
        if (wantedSet.count(entry->first)) {
            entry->second->setFrame(cellFrame(entry->first));
            ++entry;
            continue;
        }
        auto cell = entry->second;
        entry = m_visibleCells.erase(entry);
        recycle(cell);
    }
    auto protect = sharedAs<TableView>();
    auto delegate = this->delegate();
    for (auto& indexPath : wanted) {
        if (m_visibleCells.count(indexPath))
            continue;
        auto cell = requestCell(indexPath);
        m_visibleCells[indexPath] = cell;
        if (delegate)
            delegate->willDisplayCellForRowAtIndexPath(*this, *cell, indexPath);
    }
    m_fillingCells = false;
}

std::shared_ptr<TableViewCell> TableView::cellForRowAtIndexPath(const IndexPath& indexPath)
{
    updateVisibleCells();
    auto found = m_visibleCells.find(indexPath);
    return found == m_visibleCells.end() ? nullptr : found->second;
}

std::vector<std::shared_ptr<TableViewCell>> TableView::visibleCells()
{
    updateVisibleCells();
    std::vector<std::shared_ptr<TableViewCell>> cells;
    for (auto& [indexPath, cell] : m_visibleCells)
        cells.push_back(cell);
    return cells;
}

std::vector<IndexPath> TableView::indexPathsForVisibleRows()
{
    updateVisibleCells();
    std::vector<IndexPath> paths;
    for (auto& [indexPath, cell] : m_visibleCells)
        paths.push_back(indexPath);
    return paths;
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell& cell) const
{
    for (auto& [indexPath, visible] : m_visibleCells) {
        if (visible.get() == &cell)
            return indexPath;
    }
    return std::nullopt;
}

void TableView::scrollToRowAtIndexPath(const IndexPath& indexPath, TableViewScrollPosition position, bool animated)
{
    auto rect = rectForRowAtIndexPath(indexPath);
    if (rect.isEmpty())
        return;
    double height = bounds().height();
    auto offset = contentOffset();
    switch (position) {
    case TableViewScrollPosition::Top:
        offset.y = rect.minY();
        break;
    case TableViewScrollPosition::Middle:
        offset.y = rect.midY() - height / 2;
        break;
    case TableViewScrollPosition::Bottom:
        offset.y = rect.maxY() - height;
        break;
    case TableViewScrollPosition::None:
        scrollRectToVisible(rect, animated);
        return;
    }
    setContentOffset(clampedContentOffset(offset), animated);
}

void TableView::selectRowAtIndexPath(std::optional<IndexPath> indexPath, bool animated, TableViewScrollPosition position)
{
    if (m_selected && m_selected != indexPath)
        deselectRowAtIndexPath(*m_selected, animated);
    if (!indexPath || !isValid(*indexPath))
        return;
    m_selected = indexPath;
    if (position != TableViewScrollPosition::None)
        scrollToRowAtIndexPath(*indexPath, position, animated);
    if (auto cell = cellForRowAtIndexPath(*indexPath))
        cell->setSelected(true, animated);
}

void TableView::deselectRowAtIndexPath(const IndexPath& indexPath, bool animated)
{
    if (m_selected == indexPath)
        m_selected.reset();
    auto found = m_visibleCells.find(indexPath);
    if (found != m_visibleCells.end())
        found->second->setSelected(false, animated);
}

void TableView::selectRowByUser(const IndexPath& requested)
{
    loadDataIfNeeded();
    if (!m_allowsSelection || (m_editing && !m_allowsSelectionDuringEditing) || !isValid(requested))
        return;
    auto protect = sharedAs<TableView>();
    auto delegate = this->delegate();
    std::optional<IndexPath> target = requested;
    if (delegate)
        target = delegate->willSelectRowAtIndexPath(*this, requested);
    if (!target || !isValid(*target))
        return;
    if (m_selected && m_selected != target) {
        auto previous = *m_selected;
        std::optional<IndexPath> toDeselect = previous;
        if (delegate)
            toDeselect = delegate->willDeselectRowAtIndexPath(*this, previous);
        if (toDeselect) {
            deselectRowAtIndexPath(*toDeselect, false);
            if (delegate)
                delegate->didDeselectRowAtIndexPath(*this, *toDeselect);
        }
    }
    m_selected = target;
    if (auto cell = cellForRowAtIndexPath(*target))
        cell->setSelected(true);
    if (delegate)
        delegate->didSelectRowAtIndexPath(*this, *target);
}

void TableView::selectSectionIndexTitle(int index)
{
    auto source = dataSource();
    auto& titles = sectionIndexTitles();
    if (!source || index < 0 || index >= static_cast<int>(titles.size()))
        return;
    int section = source->sectionForSectionIndexTitle(*this, titles[index], index);
    if (section < 0 || section >= numberOfSections())
        return;
    auto top = m_sections[section].top;
    setContentOffset(clampedContentOffset({ contentOffset().x, top }));
}

void TableView::setEditing(bool editing, bool animated)
{
    if (m_editing == editing)
        return;
    m_editing = editing;
    for (auto& [indexPath, cell] : m_visibleCells)
        cell->setEditing(editing, animated);
    setNeedsLayout();
}

void TableView::beginUpdates()
{
    ++m_updateDepth;
}

void TableView::endUpdates()
{
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth > 0)
        return;
    applyUpdates();
}

void TableView::insertRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation)
{
    beginUpdates();
    m_updates.insertedRows.insert(paths.begin(), paths.end());
    endUpdates();
}

void TableView::deleteRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation)
{
    beginUpdates();
    m_updates.deletedRows.insert(paths.begin(), paths.end());
    endUpdates();
}

void TableView::reloadRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation)
{
    beginUpdates();
    m_updates.reloadedRows.insert(paths.begin(), paths.end());
    endUpdates();
}

void TableView::insertSections(const std::set<int>& sections, TableViewRowAnimation)
{
    beginUpdates();
    m_updates.insertedSections.insert(sections.begin(), sections.end());
    endUpdates();
}

void TableView::deleteSections(const std::set<int>& sections, TableViewRowAnimation)
{
    beginUpdates();
    m_updates.deletedSections.insert(sections.begin(), sections.end());
    endUpdates();
}

void TableView::reloadSections(const std::set<int>& sections, TableViewRowAnimation)
{
    beginUpdates();
    m_updates.reloadedSections.insert(sections.begin(), sections.end());
    endUpdates();
}

std::map<int, int> TableView::mapSections(int oldCount, int newCount, const Updates& updates) const
{
    std::map<int, int> mapping;
    int survivor = 0;
    for (int old = 0; old < oldCount; ++old) {
        if (updates.deletedSections.count(old))
            continue;
        int target = nthFreeIndex(survivor++, updates.insertedSections);
        if (target < newCount)
            mapping[old] = target;
    }
    return mapping;
}

void TableView::applyUpdates()
{
    auto updates = std::move(m_updates);
    m_updates = {};
    if (!m_loaded) {
        // Nothing was shown yet: the new data is simply loaded.
        setNeedsLayout();
        return;
    }
    auto source = dataSource();
    int oldSections = static_cast<int>(m_rowCounts.size());
    int newSections = source ? std::max(0, source->numberOfSectionsInTableView(*this)) : 0;

    for (int section : updates.deletedSections) {
        if (section < 0 || section >= oldSections)
            inconsistent(fnd::format("deleting section %d, but there were only %d sections before the update", section, oldSections));
    }
    for (int section : updates.reloadedSections) {
        if (section < 0 || section >= oldSections)
            inconsistent(fnd::format("reloading section %d, but there were only %d sections before the update", section, oldSections));
    }
    for (int section : updates.insertedSections) {
        if (section < 0 || section >= newSections)
            inconsistent(fnd::format("inserting section %d, but there are only %d sections after the update", section, newSections));
    }
    int expectedSections = oldSections + static_cast<int>(updates.insertedSections.size()) - static_cast<int>(updates.deletedSections.size());
    if (newSections != expectedSections)
        inconsistent(fnd::format("there are %d sections after the update, but %d before, %lu inserted and %lu deleted", newSections, oldSections,
            updates.insertedSections.size(), updates.deletedSections.size()));

    auto sectionMap = mapSections(oldSections, newSections, updates);
    std::map<int, int> newRowCounts;
    for (auto& [oldSection, newSection] : sectionMap) {
        int oldRows = m_rowCounts[oldSection];
        int newRows = std::max(0, source->numberOfRowsInSection(*this, newSection));
        newRowCounts[newSection] = newRows;
        auto deleted = rowsOfSection(updates.deletedRows, oldSection);
        auto inserted = rowsOfSection(updates.insertedRows, newSection);
        for (int row : deleted) {
            if (row < 0 || row >= oldRows)
                inconsistent(fnd::format("deleting row %d of section %d, which had %d rows before the update", row, oldSection, oldRows));
        }
        for (int row : rowsOfSection(updates.reloadedRows, oldSection)) {
            if (row < 0 || row >= oldRows)
                inconsistent(fnd::format("reloading row %d of section %d, which had %d rows before the update", row, oldSection, oldRows));
        }
        for (int row : inserted) {
            if (row < 0 || row >= newRows)
                inconsistent(fnd::format("inserting row %d of section %d, which has %d rows after the update", row, newSection, newRows));
        }
        int expected = oldRows + static_cast<int>(inserted.size()) - static_cast<int>(deleted.size());
        if (newRows != expected)
            inconsistent(fnd::format("section %d has %d rows after the update, but had %d before, with %lu inserted and %lu deleted", newSection, newRows,
                oldRows, inserted.size(), deleted.size()));
    }
    for (auto& path : updates.deletedRows) {
        if (path.section < 0 || path.section >= oldSections)
            inconsistent(fnd::format("deleting a row of section %d, but there were only %d sections before the update", path.section, oldSections));
    }
    for (auto& path : updates.insertedRows) {
        if (path.section < 0 || path.section >= newSections)
            inconsistent(fnd::format("inserting a row into section %d, but there are only %d sections after the update", path.section, newSections));
    }

    // Rows that stay keep their cells and their selection, at their new positions.
    auto mapRow = [&](const IndexPath& old) -> std::optional<IndexPath> {
        auto section = sectionMap.find(old.section);
        if (section == sectionMap.end() || updates.reloadedSections.count(old.section) || updates.deletedRows.count(old)
            || updates.reloadedRows.count(old))
            return std::nullopt;
        auto deleted = rowsOfSection(updates.deletedRows, old.section);
        int survivorIndex = old.row - static_cast<int>(std::distance(deleted.begin(), deleted.lower_bound(old.row)));
        int row = nthFreeIndex(survivorIndex, rowsOfSection(updates.insertedRows, section->second));
        return IndexPath::forRow(row, section->second);
    };
    auto oldCells = std::move(m_visibleCells);
    m_visibleCells.clear();
    for (auto& [old, cell] : oldCells) {
        if (auto moved = mapRow(old))
            m_visibleCells[*moved] = cell;
        else
            recycle(cell);
    }
    if (m_selected)
        m_selected = mapRow(*m_selected);
    loadCounts();
    updateVisibleCells();
    setNeedsLayout();
    setNeedsDisplay();
}

void TableView::layOutIndexAndHeader()
{
    auto area = bounds();
    if (m_headerView) {
        auto frame = m_headerView->frame();
        m_headerView->setFrame({ 0, 0, area.width(), frame.height() });
    }
    if (m_footerView) {
        auto frame = m_footerView->frame();
        double top = m_sections.empty() ? (m_headerView ? m_headerView->frame().height() : 0) : m_sections.back().bottom;
        m_footerView->setFrame({ 0, top, area.width(), frame.height() });
    }
    if (m_indexTitles.empty()) {
        if (m_indexView) {
            m_indexView->removeFromSuperview();
            m_indexView.reset();
        }
        return;
    }
    if (!m_indexView) {
        m_indexView = std::make_shared<TableIndexView>(*this);
        addSubview(m_indexView);
    }
    auto* index = static_cast<TableIndexView*>(m_indexView.get());
    if (index->titles() != m_indexTitles)
        index->setTitles(m_indexTitles);
    m_indexView->setFrame({ area.maxX() - TableIndexView::width, area.minY(), TableIndexView::width, area.height() });
    bringSubviewToFront(*m_indexView);
}

void TableView::layoutSubviews()
{
    loadDataIfNeeded();
    if (std::abs(contentSize().width - bounds().width()) > 0.5)
        computeGeometry();
    layOutIndexAndHeader();
    updateVisibleCells();
}

void TableView::contentOffsetDidChange()
{
    setNeedsLayout();
}

void TableView::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    loadDataIfNeeded();
    auto area = bounds();
    bool grouped = m_style == TableViewStyle::Grouped;
    for (size_t section = 0; section < m_sections.size(); ++section) {
        auto& layout = m_sections[section];
        if (layout.bottom <= area.minY() || layout.top >= area.maxY())
            continue;
        double top = layout.top + (grouped ? groupedGap : 0);
        if (layout.headerHeight > 0) {
            gfx::Rect band { 0, top, area.width(), layout.headerHeight };
            if (grouped) {
                context.drawText(*layout.headerTitle, band.insetBy(groupedHeaderMargins.width, groupedHeaderMargins.height), headerFont(),
                    gfx::Color(0.3, 0.34, 0.42));
            } else {
                context.setFillColor(gfx::Color(0.6, 0.65, 0.72));
                context.fillRect(band);
                context.drawText(*layout.headerTitle, band.insetBy(plainTitleMargins.width, plainTitleMargins.height), headerFont(), gfx::Color::white());
            }
        }
        int rows = m_rowCounts[section];
        if (grouped && rows > 0) {
            double rowsTop = layout.rowTops.front();
            double rowsBottom = layout.rowTops.back() + layout.rowHeights.back();
            gfx::Rect group { groupedInset, rowsTop, area.width() - 2 * groupedInset, rowsBottom - rowsTop };
            context.setFillColor(gfx::Color::white());
            context.beginPath();
            context.addRoundedRect(group, 8);
            context.fillPath();
            context.setStrokeColor(gfx::Color::grey(0.67));
            context.setLineWidth(1);
            context.beginPath();
            context.addRoundedRect(group.insetBy(-0.5, -0.5), 8);
            context.strokePath();
        }
        if (layout.footerHeight > 0) {
            double footerTop = layout.bottom - (grouped ? groupedGap : 0) - layout.footerHeight;
            auto margins = grouped ? groupedFooterMargins : plainTitleMargins;
            gfx::Rect band { 0, footerTop, area.width(), layout.footerHeight };
            context.drawText(*layout.footerTitle, band.insetBy(margins.width, margins.height), footerFont(), gfx::Color(0.3, 0.34, 0.42),
                gfx::TextAlignment::Center);
        }
    }
}

std::optional<IndexPath> TableView::rowUnderTouch(const TouchSet& touches)
{
    auto touch = touches.anyObject();
    if (!touch)
        return std::nullopt;
    return indexPathForRowAtPoint(touch->locationInView(this));
}

void TableView::touchesBegan(const TouchSet& touches, const Event& event)
{
    ScrollView::touchesBegan(touches, event);
    m_touchMoved = false;
    m_touchedRow = rowUnderTouch(touches);
    if (auto touch = touches.anyObject())
        m_touchStart = touch->locationInView(superviewPointer());
    bool selectable = m_allowsSelection && (!m_editing || m_allowsSelectionDuringEditing);
    if (!selectable)
        m_touchedRow.reset();
    if (m_touchedRow) {
        if (auto cell = cellForRowAtIndexPath(*m_touchedRow))
            cell->setHighlighted(true);
    }
}

void TableView::touchesMoved(const TouchSet& touches, const Event& event)
{
    auto touch = touches.anyObject();
    if (!touch)
        return;
    if (!m_touchMoved) {
        auto now = touch->locationInView(superviewPointer());
        if (std::hypot(now.x - m_touchStart.x, now.y - m_touchStart.y) <= touchSlop)
            return;
        m_touchMoved = true;
        if (m_touchedRow) {
            if (auto cell = cellForRowAtIndexPath(*m_touchedRow))
                cell->setHighlighted(false);
        }
        m_touchedRow.reset();
    }
    ScrollView::touchesMoved(touches, event);
}

void TableView::touchesEnded(const TouchSet& touches, const Event& event)
{
    ScrollView::touchesEnded(touches, event);
    auto row = m_touchedRow;
    m_touchedRow.reset();
    if (!row)
        return;
    if (auto cell = cellForRowAtIndexPath(*row))
        cell->setHighlighted(false);
    selectRowByUser(*row);
}

void TableView::touchesCancelled(const TouchSet& touches, const Event& event)
{
    ScrollView::touchesCancelled(touches, event);
    if (m_touchedRow) {
        if (auto cell = cellForRowAtIndexPath(*m_touchedRow))
            cell->setHighlighted(false);
    }
    m_touchedRow.reset();
}

std::string TableView::treeAttributes() const
{
    int rows = 0;
    for (int count : m_rowCounts)
        rows += count;
    std::string text = m_style == TableViewStyle::Grouped ? "grouped" : "plain";
    text += " sections=" + std::to_string(m_rowCounts.size()) + " rows=" + std::to_string(rows);
    if (m_editing)
        text += " editing";
    return text + " " + ScrollView::treeAttributes();
}

}
