#pragma once

#include "platform/ui/IndexPath.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace ui {

class ImageView;
class Label;
class TableView;

// Numbered as the platform numbered them.
enum class TableViewCellStyle {
    Default = 0,
    // Title at the left, detail right-aligned at the right.
    Value1 = 1,
    // Small blue title in a left column, detail beside it.
    Value2 = 2,
    // Title with the detail under it.
    Subtitle = 3,
};

enum class TableViewCellAccessoryType {
    None = 0,
    DisclosureIndicator = 1,
    DetailDisclosureButton = 2,
    Checkmark = 3,
};

enum class TableViewCellSelectionStyle {
    None = 0,
    Blue = 1,
    Gray = 2,
};

enum class TableViewCellEditingStyle {
    None = 0,
    Delete = 1,
    Insert = 2,
};

// One row of a table: an image, a title and (except in the default style) a detail, laid out in a
// content view, with an accessory at the right. Tables reuse cells by their reuse identifier.
//
// Layout is fixed so that subclasses can rely on it: the content view spans the cell less the
// accessory (its width plus 20 points, or 30 for the drawn accessory types) and, while editing,
// less a 32-point indent; the image sits at the left, scaled down to the content height; the
// labels start 10 points after it and end 10 points before the content's edge.
class TableViewCell : public View {
public:
    static std::shared_ptr<TableViewCell> create(TableViewCellStyle = TableViewCellStyle::Default, std::string reuseIdentifier = {});
    explicit TableViewCell(TableViewCellStyle = TableViewCellStyle::Default, std::string reuseIdentifier = {});

    std::string_view className() const override { return "TableViewCell"; }

    TableViewCellStyle style() const { return m_style; }
    const std::string& reuseIdentifier() const { return m_reuseIdentifier; }

    // Add content here rather than to the cell, so it moves with editing and the accessory.
    const std::shared_ptr<View>& contentView() const { return m_contentView; }
    const std::shared_ptr<Label>& textLabel() const { return m_textLabel; }
    // None in the default style.
    const std::shared_ptr<Label>& detailTextLabel() const { return m_detailTextLabel; }
    const std::shared_ptr<ImageView>& imageView() const { return m_imageView; }

    TableViewCellAccessoryType accessoryType() const { return m_accessoryType; }
    void setAccessoryType(TableViewCellAccessoryType);
    // A view of its own in place of the accessory type.
    const std::shared_ptr<View>& accessoryView() const { return m_accessoryView; }
    void setAccessoryView(std::shared_ptr<View>);
    TableViewCellAccessoryType editingAccessoryType() const { return m_editingAccessoryType; }
    void setEditingAccessoryType(TableViewCellAccessoryType);
    const std::shared_ptr<View>& editingAccessoryView() const { return m_editingAccessoryView; }
    void setEditingAccessoryView(std::shared_ptr<View>);

    TableViewCellSelectionStyle selectionStyle() const { return m_selectionStyle; }
    void setSelectionStyle(TableViewCellSelectionStyle style) { m_selectionStyle = style; setNeedsDisplay(); }

    bool isSelected() const { return m_selected; }
    bool isHighlighted() const { return m_highlighted; }
    bool isEditing() const { return m_editing; }
    virtual void setSelected(bool selected, bool animated = false);
    virtual void setHighlighted(bool highlighted, bool animated = false);
    virtual void setEditing(bool editing, bool animated = false);
    bool showsReorderControl() const { return m_showsReorderControl; }
    void setShowsReorderControl(bool shows) { m_showsReorderControl = shows; }
    bool shouldIndentWhileEditing() const { return m_indentsWhileEditing; }
    void setShouldIndentWhileEditing(bool indents) { m_indentsWhileEditing = indents; setNeedsLayout(); }

    // Called before the table hands the cell out again: clears the selection and highlight.
    virtual void prepareForReuse();

    // The table showing the cell, if any.
    std::shared_ptr<TableView> tableView() const;

    // The texts the row can be pressed by: what its content shows (PressFinder::textsShownIn).
    virtual std::vector<std::string> pressTexts() const;

    void layoutSubviews() override;
    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    void collectPressTargets(PressTargets&) override;
    std::string treeAttributes() const override;

    // For the table.
    void setTableEditingIndent(bool indented) { m_tableIndent = indented; }
    void setSeparatorShown(bool shown) { m_separatorShown = shown; }

private:
    bool showsSelection() const;
    void updateLabelHighlight();
    std::shared_ptr<View> shownAccessoryView() const;
    TableViewCellAccessoryType shownAccessoryType() const;
    double accessoryWidth() const;
    void layOutLabels(const gfx::Rect& content, double textLeft);

    TableViewCellStyle m_style;
    std::string m_reuseIdentifier;
    std::shared_ptr<View> m_contentView;
    std::shared_ptr<Label> m_textLabel;
    std::shared_ptr<Label> m_detailTextLabel;
    std::shared_ptr<ImageView> m_imageView;
    TableViewCellAccessoryType m_accessoryType = TableViewCellAccessoryType::None;
    std::shared_ptr<View> m_accessoryView;
    TableViewCellAccessoryType m_editingAccessoryType = TableViewCellAccessoryType::None;
    std::shared_ptr<View> m_editingAccessoryView;
    std::shared_ptr<View> m_installedAccessoryView;
    TableViewCellSelectionStyle m_selectionStyle = TableViewCellSelectionStyle::Blue;
    bool m_selected = false;
    bool m_highlighted = false;
    bool m_editing = false;
    bool m_showsReorderControl = false;
    bool m_indentsWhileEditing = true;
    bool m_tableIndent = true;
    bool m_separatorShown = true;
};

}
