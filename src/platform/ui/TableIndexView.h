#pragma once

#include "platform/ui/View.h"

#include <string>
#include <vector>

namespace ui {

class TableView;

// The section index down a table's right edge: its titles spread over the height, a touch on one
// (or a finger sliding along them) shows that title's section.
class TableIndexView : public View {
public:
    explicit TableIndexView(TableView&);

    std::string_view className() const override { return "TableIndexView"; }

    static constexpr double width = 20;

    const std::vector<std::string>& titles() const { return m_titles; }
    void setTitles(std::vector<std::string>);
    // The title under a point in the view's coordinates, or -1.
    int indexAtPoint(gfx::Point) const;

    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    void touchesBegan(const TouchSet&, const Event&) override;
    void touchesMoved(const TouchSet&, const Event&) override;
    void touchesEnded(const TouchSet&, const Event&) override { }
    void touchesCancelled(const TouchSet&, const Event&) override { }
    std::string treeAttributes() const override;

private:
    void touchAt(const TouchSet&);
    double titleHeight() const;

    TableView& m_table;
    std::vector<std::string> m_titles;
    int m_lastIndex = -1;
};

}
