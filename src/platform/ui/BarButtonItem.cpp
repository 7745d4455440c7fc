#include "platform/ui/BarButtonItem.h"

#include "platform/ui/BundleImages.h"
#include "platform/ui/View.h"

#include <filesystem>

namespace ui {

std::string_view systemItemName(BarButtonSystemItem item)
{
    switch (item) {
    case BarButtonSystemItem::Done:
        return "done";
    case BarButtonSystemItem::Cancel:
        return "cancel";
    case BarButtonSystemItem::Edit:
        return "edit";
    case BarButtonSystemItem::Save:
        return "save";
    case BarButtonSystemItem::Add:
        return "add";
    case BarButtonSystemItem::FlexibleSpace:
        return "flexible-space";
    case BarButtonSystemItem::FixedSpace:
        return "fixed-space";
    case BarButtonSystemItem::Compose:
        return "compose";
    case BarButtonSystemItem::Reply:
        return "reply";
    case BarButtonSystemItem::Action:
        return "action";
    case BarButtonSystemItem::Organize:
        return "organize";
    case BarButtonSystemItem::Bookmarks:
        return "bookmarks";
    case BarButtonSystemItem::Search:
        return "search";
    case BarButtonSystemItem::Refresh:
        return "refresh";
    case BarButtonSystemItem::Stop:
        return "stop";
    case BarButtonSystemItem::Camera:
        return "camera";
    case BarButtonSystemItem::Trash:
        return "trash";
    case BarButtonSystemItem::Play:
        return "play";
    case BarButtonSystemItem::Pause:
        return "pause";
    case BarButtonSystemItem::Rewind:
        return "rewind";
    case BarButtonSystemItem::FastForward:
        return "fast-forward";
    case BarButtonSystemItem::Undo:
        return "undo";
    case BarButtonSystemItem::Redo:
        return "redo";
    }
    return "item";
}

std::string_view systemItemTitle(BarButtonSystemItem item)
{
    switch (item) {
    case BarButtonSystemItem::Done:
        return "Done";
    case BarButtonSystemItem::Cancel:
        return "Cancel";
    case BarButtonSystemItem::Edit:
        return "Edit";
    case BarButtonSystemItem::Save:
        return "Save";
    case BarButtonSystemItem::Undo:
        return "Undo";
    case BarButtonSystemItem::Redo:
        return "Redo";
    default:
        return {};
    }
}

fnd::Ref<BarButtonItem> BarButtonItem::createWithBarButtonSystemItem(BarButtonSystemItem systemItem, Action action)
{
    auto item = std::make_shared<BarButtonItem>();
    item->m_systemItem = systemItem;
    item->m_action = std::move(action);
    if (systemItem == BarButtonSystemItem::Done)
        item->m_style = BarButtonItemStyle::Done;
    else if (!systemItemTitle(systemItem).empty())
        item->m_style = BarButtonItemStyle::Bordered;
    return item;
}

fnd::Ref<BarButtonItem> BarButtonItem::createWithTitle(std::string title, BarButtonItemStyle style, Action action)
{
    auto item = std::make_shared<BarButtonItem>();
    item->setTitle(std::move(title));
    item->m_style = style;
    item->m_action = std::move(action);
    return item;
}

fnd::Ref<BarButtonItem> BarButtonItem::createWithImage(fnd::Ref<gfx::Image> image, BarButtonItemStyle style, Action action)
{
    auto item = std::make_shared<BarButtonItem>();
    item->setImage(std::move(image));
    item->m_style = style;
    item->m_action = std::move(action);
    return item;
}

fnd::Ref<BarButtonItem> BarButtonItem::createWithCustomView(std::shared_ptr<View> view)
{
    auto item = std::make_shared<BarButtonItem>();
    item->m_customView = std::move(view);
    return item;
}

BarButtonItem::BarButtonItem() = default;
BarButtonItem::~BarButtonItem() = default;

std::string BarButtonItem::description() const
{
    std::string text = "<BarButtonItem";
    if (m_systemItem)
        text += " " + std::string(systemItemName(*m_systemItem));
    if (!title().empty())
        text += " \"" + title() + "\"";
    if (!m_action.name().empty())
        text += " action=" + m_action.name();
    if (!isEnabled())
        text += " disabled";
    return text + ">";
}

bool BarButtonItem::isSpace() const
{
    return m_systemItem == BarButtonSystemItem::FlexibleSpace || m_systemItem == BarButtonSystemItem::FixedSpace;
}

void BarButtonItem::setStyle(BarButtonItemStyle style)
{
    m_style = style;
    changed();
}

void BarButtonItem::setWidth(double width)
{
    m_width = width;
    changed();
}

void BarButtonItem::setCustomView(std::shared_ptr<View> view)
{
    m_customView = std::move(view);
    changed();
}

void BarButtonItem::setAction(Action action)
{
    m_action = std::move(action);
}

std::string BarButtonItem::displayTitle() const
{
    if (!title().empty())
        return title();
    if (m_systemItem)
        return std::string(systemItemTitle(*m_systemItem));
    return {};
}

std::vector<std::string> BarButtonItem::pressNames() const
{
    std::vector<std::string> names;
    if (!title().empty())
        names.push_back(title());
    if (m_systemItem) {
        names.emplace_back(systemItemName(*m_systemItem));
        if (auto shown = systemItemTitle(*m_systemItem); !shown.empty())
            names.emplace_back(shown);
    }
    if (image()) {
        auto name = BundleImages::nameOf(*image());
        if (!name.empty()) {
            names.push_back(name);
            names.push_back(std::filesystem::path(name).stem().string());
        }
    }
    return names;
}

bool BarButtonItem::press()
{
    if (!isEnabled() || isSpace())
        return false;
    fnd::Id sender = weak_from_this().lock();
    return m_action.send(sender);
}

}
