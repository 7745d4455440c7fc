#pragma once

#include "platform/ui/IndexPath.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableViewCell.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace ui {

class TableViewDataSource;
class TableViewDelegate;

// Numbered as the platform numbered them.
enum class TableViewStyle {
    Plain = 0,
    Grouped = 1,
};

enum class TableViewScrollPosition {
    None = 0,
    Top = 1,
    Middle = 2,
    Bottom = 3,
};

enum class TableViewRowAnimation {
    Fade = 0,
    Right = 1,
    Left = 2,
    Top = 3,
    Bottom = 4,
    None = 5,
    Middle = 6,
};

enum class TableViewCellSeparatorStyle {
    None = 0,
    SingleLine = 1,
    SingleLineEtched = 2,
};

// A scrolling list of rows in sections, filled by its data source as the device fills it: counts and
// titles when the data is (re)loaded, cells only for the rows that are visible, handed back for reuse
// (by reuse identifier) once they scroll out of sight. A touch that lifts on a row without dragging
// selects it through the delegate; `press` finds visible rows by their labels' texts.
//
// Geometry, in content coordinates from the top: the header view, then each section (grouped: a
// 10-point gap, the header title, its rows inset by 10 points at each side, the footer title, and a
// 10-point gap; plain: the header title band, the rows, the footer title band), then the footer view.
//
// Batch updates (insert and delete of rows and sections between beginUpdates and endUpdates) are
// checked against the data source: counts that do not add up throw an
// "InternalInconsistencyException" and leave the table as it was.
class TableView : public ScrollView {
public:
    static constexpr std::string_view inconsistencyException = "InternalInconsistencyException";
    static constexpr double defaultRowHeight = 44;

    static std::shared_ptr<TableView> create(const gfx::Rect& frame = {}, TableViewStyle = TableViewStyle::Plain);
    TableView(const gfx::Rect& frame, TableViewStyle);
    ~TableView() override;

    std::string_view className() const override { return "TableView"; }

    TableViewStyle style() const { return m_style; }

    // Neither is retained.
    std::shared_ptr<TableViewDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const std::shared_ptr<TableViewDataSource>&);
    std::shared_ptr<TableViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<TableViewDelegate>&);

    double rowHeight() const { return m_rowHeight; }
    void setRowHeight(double);
    TableViewCellSeparatorStyle separatorStyle() const { return m_separatorStyle; }
    void setSeparatorStyle(TableViewCellSeparatorStyle style) { m_separatorStyle = style; setNeedsDisplay(); }
    const std::shared_ptr<View>& tableHeaderView() const { return m_headerView; }
    void setTableHeaderView(std::shared_ptr<View>);
    const std::shared_ptr<View>& tableFooterView() const { return m_footerView; }
    void setTableFooterView(std::shared_ptr<View>);

    // Asks the data source for its counts and titles again and refills the visible rows.
    void reloadData();
    // Reloads on the next layout, when the data has never been loaded.
    bool hasLoadedData() const { return m_loaded; }

    int numberOfSections();
    int numberOfRowsInSection(int section);
    const std::vector<std::string>& sectionIndexTitles();
    std::optional<std::string> headerTitleForSection(int section);
    std::optional<std::string> footerTitleForSection(int section);

    // A cell to fill, from the reuse pool, or nothing when none with that identifier waits.
    std::shared_ptr<TableViewCell> dequeueReusableCellWithIdentifier(std::string_view identifier);
    // The cell shown for the row, or nothing when the row is not visible.
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(const IndexPath&);
    std::vector<std::shared_ptr<TableViewCell>> visibleCells();
    std::vector<IndexPath> indexPathsForVisibleRows();
    std::optional<IndexPath> indexPathForCell(const TableViewCell&) const;
    // The row under a point in content coordinates.
    std::optional<IndexPath> indexPathForRowAtPoint(gfx::Point);
    // In content coordinates; empty for a row that does not exist.
    gfx::Rect rectForRowAtIndexPath(const IndexPath&);
    gfx::Rect rectForSection(int section);
    gfx::Rect rectForHeaderInSection(int section);
    gfx::Rect rectForFooterInSection(int section);

    void scrollToRowAtIndexPath(const IndexPath&, TableViewScrollPosition, bool animated);

    // Selection made by the program: no delegate calls, as on the device.
    std::optional<IndexPath> indexPathForSelectedRow() const { return m_selected; }
    void selectRowAtIndexPath(std::optional<IndexPath>, bool animated, TableViewScrollPosition);
    void deselectRowAtIndexPath(const IndexPath&, bool animated);
    bool allowsSelection() const { return m_allowsSelection; }
    void setAllowsSelection(bool allows) { m_allowsSelection = allows; }
    bool allowsSelectionDuringEditing() const { return m_allowsSelectionDuringEditing; }
    void setAllowsSelectionDuringEditing(bool allows) { m_allowsSelectionDuringEditing = allows; }
    // Selection made by a user (a tap, or `press`): asks the delegate, selects and tells it.
    void selectRowByUser(const IndexPath&);
    // A touch on the section index at that position.
    void selectSectionIndexTitle(int index);

    bool isEditing() const { return m_editing; }
    virtual void setEditing(bool editing, bool animated = false);

    // Batch updates. Inserted rows and sections are numbered as after the update, deleted and
    // reloaded ones as before it. Outside beginUpdates/endUpdates each call is a batch of its own.
    void beginUpdates();
    void endUpdates();
    void insertRowsAtIndexPaths(const std::vector<IndexPath>&, TableViewRowAnimation);
    void deleteRowsAtIndexPaths(const std::vector<IndexPath>&, TableViewRowAnimation);
    void reloadRowsAtIndexPaths(const std::vector<IndexPath>&, TableViewRowAnimation);
    void insertSections(const std::set<int>&, TableViewRowAnimation);
    void deleteSections(const std::set<int>&, TableViewRowAnimation);
    void reloadSections(const std::set<int>&, TableViewRowAnimation);

    // How many cells the table has made visible since its creation (tests of reuse).
    size_t cellRequestCount() const { return m_cellRequestCount; }

    void layoutSubviews() override;
    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    void touchesBegan(const TouchSet&, const Event&) override;
    void touchesMoved(const TouchSet&, const Event&) override;
    void touchesEnded(const TouchSet&, const Event&) override;
    void touchesCancelled(const TouchSet&, const Event&) override;
    std::string treeAttributes() const override;

protected:
    void contentOffsetDidChange() override;

private:
    struct SectionLayout {
        double top = 0;
        double headerHeight = 0;
        double footerHeight = 0;
        std::optional<std::string> headerTitle;
        std::optional<std::string> footerTitle;
        std::vector<double> rowTops;
        std::vector<double> rowHeights;
        double bottom = 0;
    };
    struct Updates {
        std::set<IndexPath> insertedRows;
        std::set<IndexPath> deletedRows;
        std::set<IndexPath> reloadedRows;
        std::set<int> insertedSections;
        std::set<int> deletedSections;
        std::set<int> reloadedSections;
    };

    void loadDataIfNeeded();
    void loadCounts();
    void computeGeometry();
    void updateVisibleCells();
    void recycle(const std::shared_ptr<TableViewCell>&);
    std::shared_ptr<TableViewCell> requestCell(const IndexPath&);
    gfx::Rect cellFrame(const IndexPath&) const;
    double headerBandHeight(const std::optional<std::string>&) const;
    double footerBandHeight(const std::optional<std::string>&) const;
    bool isValid(const IndexPath&) const;
    void applyUpdates();
    std::map<int, int> mapSections(int oldCount, int newCount, const Updates&) const;
    void layOutIndexAndHeader();
    std::optional<IndexPath> rowUnderTouch(const TouchSet&);

    TableViewStyle m_style;
    std::weak_ptr<TableViewDataSource> m_dataSource;
    std::weak_ptr<TableViewDelegate> m_delegate;
    double m_rowHeight = defaultRowHeight;
    TableViewCellSeparatorStyle m_separatorStyle = TableViewCellSeparatorStyle::SingleLine;
    std::shared_ptr<View> m_headerView;
    std::shared_ptr<View> m_footerView;
    std::shared_ptr<View> m_indexView;

    bool m_loaded = false;
    bool m_geometryValid = false;
    bool m_fillingCells = false;
    std::vector<int> m_rowCounts;
    std::vector<SectionLayout> m_sections;
    std::vector<std::string> m_indexTitles;
    double m_contentHeight = 0;

    std::map<IndexPath, std::shared_ptr<TableViewCell>> m_visibleCells;
    std::map<std::string, std::vector<std::shared_ptr<TableViewCell>>, std::less<>> m_reusePool;
    size_t m_cellRequestCount = 0;

    std::optional<IndexPath> m_selected;
    bool m_allowsSelection = true;
    bool m_allowsSelectionDuringEditing = false;
    bool m_editing = false;

    int m_updateDepth = 0;
    Updates m_updates;

    std::optional<IndexPath> m_touchedRow;
    gfx::Point m_touchStart;
    bool m_touchMoved = false;
};

}
