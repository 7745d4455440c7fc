#include "platform/ui/TableViewCell.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/TextMeasurer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/PressFinder.h"
#include "platform/ui/TableView.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr double labelMargin = 10;
constexpr double drawnAccessoryWidth = 30;
constexpr double editingIndent = 32;

const gfx::Color selectionBlue { 0.02, 0.45, 0.9 };
const gfx::Color selectionGray { 0.75, 0.75, 0.75 };
const gfx::Color detailBlue { 0.22, 0.33, 0.53 };

double lineHeight(const gfx::Font& font)
{
    return std::ceil(gfx::TextMeasurer::current()->lineHeight(font));
}

std::shared_ptr<Label> makeLabel(const gfx::Font& font, const gfx::Color& color)
{
    auto label = Label::create();
    label->setFont(font);
    label->setTextColor(color);
    label->setBackgroundColor(std::nullopt);
    label->setHighlightedTextColor(gfx::Color::white());
    return label;
}

}

std::shared_ptr<TableViewCell> TableViewCell::create(TableViewCellStyle style, std::string reuseIdentifier)
{
    return std::make_shared<TableViewCell>(style, std::move(reuseIdentifier));
}

TableViewCell::TableViewCell(TableViewCellStyle style, std::string reuseIdentifier)
    : View({ 0, 0, 320, 44 })
    , m_style(style)
    , m_reuseIdentifier(std::move(reuseIdentifier))
{
    setBackgroundColor(gfx::Color::white());
    m_contentView = View::create(bounds());
    m_contentView->setBackgroundColor(std::nullopt);
    addSubview(m_contentView);

    m_imageView = ImageView::create();
    m_contentView->addSubview(m_imageView);

    switch (style) {
    case TableViewCellStyle::Default:
        m_textLabel = makeLabel(gfx::Font::boldSystemFont(17), gfx::Color::black());
        break;
    case TableViewCellStyle::Value1:
        m_textLabel = makeLabel(gfx::Font::boldSystemFont(17), gfx::Color::black());
        m_detailTextLabel = makeLabel(gfx::Font::systemFont(17), detailBlue);
        m_detailTextLabel->setTextAlignment(gfx::TextAlignment::Right);
        break;
    case TableViewCellStyle::Value2:
        m_textLabel = makeLabel(gfx::Font::boldSystemFont(12), detailBlue);
        m_textLabel->setTextAlignment(gfx::TextAlignment::Right);
        m_detailTextLabel = makeLabel(gfx::Font::boldSystemFont(15), gfx::Color::black());
        break;
    case TableViewCellStyle::Subtitle:
        m_textLabel = makeLabel(gfx::Font::boldSystemFont(17), gfx::Color::black());
        m_detailTextLabel = makeLabel(gfx::Font::systemFont(14), gfx::Color::grey(0.5));
        break;
    }
    m_contentView->addSubview(m_textLabel);
    if (m_detailTextLabel)
        m_contentView->addSubview(m_detailTextLabel);
}

void TableViewCell::setAccessoryType(TableViewCellAccessoryType type)
{
    m_accessoryType = type;
    setNeedsLayout();
    setNeedsDisplay();
}

void TableViewCell::setAccessoryView(std::shared_ptr<View> view)
{
    m_accessoryView = std::move(view);
    setNeedsLayout();
}

void TableViewCell::setEditingAccessoryType(TableViewCellAccessoryType type)
{
    m_editingAccessoryType = type;
    setNeedsLayout();
    setNeedsDisplay();
}

void TableViewCell::setEditingAccessoryView(std::shared_ptr<View> view)
{
    m_editingAccessoryView = std::move(view);
    setNeedsLayout();
}

bool TableViewCell::showsSelection() const
{
    return m_selectionStyle != TableViewCellSelectionStyle::None && (m_selected || m_highlighted);
}

void TableViewCell::updateLabelHighlight()
{
    bool highlighted = showsSelection();
    m_textLabel->setHighlighted(highlighted);
    if (m_detailTextLabel)
        m_detailTextLabel->setHighlighted(highlighted);
    m_imageView->setHighlighted(highlighted);
    setNeedsDisplay();
}

void TableViewCell::setSelected(bool selected, bool)
{
    m_selected = selected;
    updateLabelHighlight();
}

void TableViewCell::setHighlighted(bool highlighted, bool)
{
    m_highlighted = highlighted;
    updateLabelHighlight();
}

void TableViewCell::setEditing(bool editing, bool)
{
    if (m_editing == editing)
        return;
    m_editing = editing;
    setNeedsLayout();
    setNeedsDisplay();
}

void TableViewCell::prepareForReuse()
{
    setHighlighted(false);
    setSelected(false);
}

std::shared_ptr<TableView> TableViewCell::tableView() const
{
    for (auto* view = superviewPointer(); view; view = view->superviewPointer()) {
        if (auto* table = dynamic_cast<TableView*>(view))
            return table->sharedAs<TableView>();
    }
    return nullptr;
}

std::shared_ptr<View> TableViewCell::shownAccessoryView() const
{
    return m_editing ? m_editingAccessoryView : m_accessoryView;
}

TableViewCellAccessoryType TableViewCell::shownAccessoryType() const
{
    return m_editing ? m_editingAccessoryType : m_accessoryType;
}

double TableViewCell::accessoryWidth() const
{
    if (auto view = shownAccessoryView())
        return view->frame().width() + 20;
    return shownAccessoryType() == TableViewCellAccessoryType::None ? 0 : drawnAccessoryWidth;
}

void TableViewCell::layoutSubviews()
{
    auto area = bounds();
    if (m_installedAccessoryView && m_installedAccessoryView != shownAccessoryView()) {
        m_installedAccessoryView->removeFromSuperview();
        m_installedAccessoryView.reset();
    }
    if (auto accessory = shownAccessoryView()) {
        if (accessory->superviewPointer() != this)
            addSubview(accessory);
        m_installedAccessoryView = accessory;
        auto size = accessory->frame().size;
        accessory->setFrame({ area.maxX() - 10 - size.width, std::round((area.height() - size.height) / 2), size.width, size.height });
    }

    double indent = (m_editing && m_indentsWhileEditing && m_tableIndent) ? editingIndent : 0;
    gfx::Rect content { indent, 0, std::max(0.0, area.width() - indent - accessoryWidth()), area.height() };
    m_contentView->setFrame(content);

    double textLeft = labelMargin;
    if (auto image = m_imageView->image()) {
        auto size = image->size();
        double height = std::min(size.height, content.height());
        double width = size.height > 0 ? size.width * height / size.height : 0;
        m_imageView->setFrame({ 0, std::round((content.height() - height) / 2), width, height });
        textLeft = width + labelMargin;
    } else {
        m_imageView->setFrame({});
    }
    layOutLabels({ 0, 0, content.width(), content.height() }, textLeft);
}

void TableViewCell::layOutLabels(const gfx::Rect& content, double textLeft)
{
    double width = std::max(0.0, content.width() - textLeft - labelMargin);
    double height = content.height();
    switch (m_style) {
    case TableViewCellStyle::Default:
        m_textLabel->setFrame({ textLeft, 0, width, height });
        break;
    case TableViewCellStyle::Value1: {
        double titleWidth = std::min(width, m_textLabel->sizeThatFits({ width, height }).width);
        double titleHeight = lineHeight(m_textLabel->font());
        m_textLabel->setFrame({ textLeft, std::round((height - titleHeight) / 2), titleWidth, titleHeight });
        double detailLeft = textLeft + titleWidth + labelMargin;
        double detailWidth = std::max(0.0, content.width() - labelMargin - detailLeft);
        double detailHeight = lineHeight(m_detailTextLabel->font());
        m_detailTextLabel->setFrame({ detailLeft, std::round((height - detailHeight) / 2), detailWidth, detailHeight });
        break;
    }
    case TableViewCellStyle::Value2: {
        double titleHeight = lineHeight(m_textLabel->font());
        m_textLabel->setFrame({ textLeft, std::round((height - titleHeight) / 2), 67, titleHeight });
        double detailLeft = textLeft + 67 + 6;
        double detailHeight = lineHeight(m_detailTextLabel->font());
        m_detailTextLabel->setFrame({ detailLeft, std::round((height - detailHeight) / 2), std::max(0.0, content.width() - labelMargin - detailLeft),
            detailHeight });
        break;
    }
    case TableViewCellStyle::Subtitle: {
        double titleHeight = lineHeight(m_textLabel->font());
        double detailHeight = m_detailTextLabel->text().empty() ? 0 : lineHeight(m_detailTextLabel->font());
        double top = std::round((height - titleHeight - detailHeight) / 2);
        m_textLabel->setFrame({ textLeft, top, width, titleHeight });
        m_detailTextLabel->setFrame({ textLeft, top + titleHeight, width, detailHeight });
        break;
    }
    }
}

void TableViewCell::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    auto area = bounds();
    if (showsSelection()) {
        context.setFillColor(m_selectionStyle == TableViewCellSelectionStyle::Gray ? selectionGray : selectionBlue);
        context.fillRect(area);
    }
    if (m_separatorShown) {
        context.setFillColor(gfx::Color::grey(0.88));
        context.fillRect({ area.minX(), area.maxY() - 1, area.width(), 1 });
    }
    if (m_editing && m_indentsWhileEditing && m_tableIndent) {
        // The delete control: a red disc with a white bar.
        gfx::Point middle { area.minX() + 16, area.midY() };
        context.setFillColor(gfx::Color(0.85, 0.15, 0.15));
        context.beginPath();
        context.addArc(middle, 10, 0, 2 * M_PI, false);
        context.fillPath();
        context.setFillColor(gfx::Color::white());
        context.fillRect({ middle.x - 6, middle.y - 1.5, 12, 3 });
    }
    if (shownAccessoryView())
        return;
    auto type = shownAccessoryType();
    if (type == TableViewCellAccessoryType::None)
        return;
    gfx::Rect box { area.maxX() - drawnAccessoryWidth, area.minY(), drawnAccessoryWidth - 10, area.height() };
    auto color = showsSelection() ? gfx::Color::white() : gfx::Color::grey(0.5);
    switch (type) {
    case TableViewCellAccessoryType::DisclosureIndicator:
        context.setStrokeColor(color);
        context.setLineWidth(3);
        context.beginPath();
        context.moveTo({ box.midX() - 3, box.midY() - 6 });
        context.addLineTo({ box.midX() + 3, box.midY() });
        context.addLineTo({ box.midX() - 3, box.midY() + 6 });
        context.strokePath();
        break;
    case TableViewCellAccessoryType::DetailDisclosureButton:
        context.setFillColor(gfx::Color(0.2, 0.45, 0.9));
        context.beginPath();
        context.addArc({ box.midX(), box.midY() }, 10, 0, 2 * M_PI, false);
        context.fillPath();
        context.drawText(">", { box.midX() - 10, box.midY() - 9, 20, 18 }, gfx::Font::boldSystemFont(14), gfx::Color::white(), gfx::TextAlignment::Center);
        break;
    case TableViewCellAccessoryType::Checkmark:
        context.setStrokeColor(showsSelection() ? gfx::Color::white() : detailBlue);
        context.setLineWidth(3);
        context.beginPath();
        context.moveTo({ box.midX() - 7, box.midY() });
        context.addLineTo({ box.midX() - 2, box.midY() + 6 });
        context.addLineTo({ box.midX() + 8, box.midY() - 7 });
        context.strokePath();
        break;
    case TableViewCellAccessoryType::None:
        break;
    }
}

std::vector<std::string> TableViewCell::pressTexts() const
{
    auto texts = PressFinder::textsShownIn(*m_contentView);
    std::vector<std::string> unique;
    for (auto& text : texts) {
        if (std::find(unique.begin(), unique.end(), text) == unique.end())
            unique.push_back(text);
    }
    return unique;
}

void TableViewCell::collectPressTargets(PressTargets& targets)
{
    auto table = tableView();
    if (!table)
        return;
    auto texts = pressTexts();
    if (texts.empty())
        return;
    PressTarget target;
    target.kind = PressTarget::Kind::TableRow;
    target.texts = texts;
    target.description = "row \"" + texts.front() + "\"";
    std::weak_ptr<TableViewCell> weakThis = sharedAs<TableViewCell>();
    target.press = [weakThis] {
        auto cell = weakThis.lock();
        if (!cell)
            return;
        if (auto table = cell->tableView()) {
            if (auto indexPath = table->indexPathForCell(*cell))
                table->selectRowByUser(*indexPath);
        }
    };
    targets.push_back(std::move(target));
}

std::string TableViewCell::treeAttributes() const
{
    std::string text;
    if (!m_reuseIdentifier.empty())
        text += "reuse=\"" + m_reuseIdentifier + "\"";
    if (m_selected)
        text += std::string(text.empty() ? "" : " ") + "selected";
    if (m_editing)
        text += std::string(text.empty() ? "" : " ") + "editing";
    switch (shownAccessoryType()) {
    case TableViewCellAccessoryType::DisclosureIndicator:
        text += std::string(text.empty() ? "" : " ") + "accessory=disclosure";
        break;
    case TableViewCellAccessoryType::DetailDisclosureButton:
        text += std::string(text.empty() ? "" : " ") + "accessory=detail";
        break;
    case TableViewCellAccessoryType::Checkmark:
        text += std::string(text.empty() ? "" : " ") + "accessory=checkmark";
        break;
    case TableViewCellAccessoryType::None:
        break;
    }
    return text;
}

}
