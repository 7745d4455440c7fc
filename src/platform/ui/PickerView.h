#pragma once

#include "platform/ui/PickerViewDataSource.h"
#include "platform/ui/View.h"

#include <memory>
#include <vector>

namespace ui {

// Spinning wheels of titled rows, 216 points high, one selected row per wheel (component). A tap
// above or below a wheel's middle turns it by one row and tells the data source; `press` with a
// row's title selects it when it is on its wheel.
class PickerView : public View {
public:
    static constexpr double height = 216;
    static constexpr double rowHeight = 44;

    static std::shared_ptr<PickerView> create(const gfx::Rect& frame = {});
    explicit PickerView(const gfx::Rect& frame = {});

    std::string_view className() const override { return "PickerView"; }

    // Not retained.
    std::shared_ptr<PickerViewDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const std::shared_ptr<PickerViewDataSource>&);

    int numberOfComponents();
    int numberOfRowsInComponent(int component);
    // -1 for a wheel without rows.
    int selectedRowInComponent(int component);
    // By program: nothing is told.
    void selectRow(int row, int component, bool animated = false);
    // By the user: the data source hears of it.
    void selectRowByUser(int row, int component);
    void reloadAllComponents();
    void reloadComponent(int component);
    bool showsSelectionIndicator() const { return m_showsSelectionIndicator; }
    void setShowsSelectionIndicator(bool shows) { m_showsSelectionIndicator = shows; }

    gfx::Size sizeThatFits(gfx::Size) const override;
    void touchesEnded(const TouchSet&, const Event&) override;
    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    void collectPressTargets(PressTargets&) override;
    std::string treeAttributes() const override;

private:
    void loadIfNeeded();
    std::string titleFor(int row, int component);

    std::weak_ptr<PickerViewDataSource> m_dataSource;
    std::vector<int> m_rowCounts;
    std::vector<int> m_selected;
    bool m_loaded = false;
    bool m_showsSelectionIndicator = false;
};

}
