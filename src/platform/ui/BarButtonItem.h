#pragma once

#include "platform/ui/Action.h"
#include "platform/ui/BarItem.h"

#include <optional>
#include <string_view>
#include <vector>

namespace ui {

class View;

// Numbered as the platform numbered them.
enum class BarButtonSystemItem {
    Done = 0,
    Cancel = 1,
    Edit = 2,
    Save = 3,
    Add = 4,
    FlexibleSpace = 5,
    FixedSpace = 6,
    Compose = 7,
    Reply = 8,
    Action = 9,
    Organize = 10,
    Bookmarks = 11,
    Search = 12,
    Refresh = 13,
    Stop = 14,
    Camera = 15,
    Trash = 16,
    Play = 17,
    Pause = 18,
    Rewind = 19,
    FastForward = 20,
    Undo = 21,
    Redo = 22,
};

enum class BarButtonItemStyle {
    Plain = 0,
    Bordered = 1,
    Done = 2,
};

// The name of a system item, as `press` knows it: "done", "flexible-space", "compose"...
std::string_view systemItemName(BarButtonSystemItem);
// What the item shows: "Done", "Cancel"... for the items with a text, empty for the icons.
std::string_view systemItemTitle(BarButtonSystemItem);

// A button in a tool bar or a navigation bar: a system item, a title, an image or a view of its
// own. It keeps its target and action (with the operation's name) so that tests and the terminal
// can see and press it.
class BarButtonItem : public BarItem {
public:
    static fnd::Ref<BarButtonItem> createWithBarButtonSystemItem(BarButtonSystemItem, Action = {});
    static fnd::Ref<BarButtonItem> createWithTitle(std::string title, BarButtonItemStyle, Action = {});
    static fnd::Ref<BarButtonItem> createWithImage(fnd::Ref<gfx::Image>, BarButtonItemStyle, Action = {});
    static fnd::Ref<BarButtonItem> createWithCustomView(std::shared_ptr<View>);

    BarButtonItem();
    ~BarButtonItem() override;

    std::string_view className() const override { return "BarButtonItem"; }
    std::string description() const override;

    std::optional<BarButtonSystemItem> systemItem() const { return m_systemItem; }
    bool isSpace() const;
    BarButtonItemStyle style() const { return m_style; }
    void setStyle(BarButtonItemStyle);
    // For fixed spaces and buttons of a set width; 0 lets the bar decide.
    double width() const { return m_width; }
    void setWidth(double);
    const std::shared_ptr<View>& customView() const { return m_customView; }
    void setCustomView(std::shared_ptr<View>);

    const Action& action() const { return m_action; }
    void setAction(Action);

    // The title the bar shows: the title, or the system item's text.
    std::string displayTitle() const;
    // The texts `press` accepts: the title, the system item's name and text, the image's name.
    std::vector<std::string> pressNames() const;
    // Sends the action with the item as sender, as a tap does; a disabled item sends nothing.
    bool press();

private:
    std::optional<BarButtonSystemItem> m_systemItem;
    BarButtonItemStyle m_style = BarButtonItemStyle::Plain;
    double m_width = 0;
    std::shared_ptr<View> m_customView;
    Action m_action;
};

}
