#include "platform/ui/PickerView.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Touch.h"
#include "platform/ui/TouchSet.h"

#include <algorithm>
#include <cmath>

namespace ui {

PickerViewDataSource::~PickerViewDataSource() = default;

std::shared_ptr<PickerView> PickerView::create(const gfx::Rect& frame)
{
    return std::make_shared<PickerView>(frame);
}

PickerView::PickerView(const gfx::Rect& frame)
    : View({ frame.origin, { frame.width() > 0 ? frame.width() : 320, height } })
{
    setBackgroundColor(gfx::Color::grey(0.85));
}

void PickerView::setDataSource(const std::shared_ptr<PickerViewDataSource>& dataSource)
{
    m_dataSource = dataSource;
    m_loaded = false;
    setNeedsDisplay();
}

void PickerView::loadIfNeeded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    auto source = dataSource();
    int components = source ? std::max(0, source->numberOfComponentsInPickerView(*this)) : 0;
    m_rowCounts.assign(components, 0);
    m_selected.resize(components, 0);
    for (int component = 0; component < components; ++component) {
        m_rowCounts[component] = std::max(0, source->numberOfRowsInComponent(*this, component));
        m_selected[component] = m_rowCounts[component] ? std::clamp(m_selected[component], 0, m_rowCounts[component] - 1) : -1;
    }
}

void PickerView::reloadAllComponents()
{
    m_loaded = false;
    loadIfNeeded();
    setNeedsDisplay();
}

void PickerView::reloadComponent(int)
{
    reloadAllComponents();
}

int PickerView::numberOfComponents()
{
    loadIfNeeded();
    return static_cast<int>(m_rowCounts.size());
}

int PickerView::numberOfRowsInComponent(int component)
{
    loadIfNeeded();
    return component >= 0 && component < numberOfComponents() ? m_rowCounts[component] : 0;
}

int PickerView::selectedRowInComponent(int component)
{
    loadIfNeeded();
    return component >= 0 && component < numberOfComponents() ? m_selected[component] : -1;
}

void PickerView::selectRow(int row, int component, bool)
{
    if (row < 0 || row >= numberOfRowsInComponent(component))
        return;
    m_selected[component] = row;
    setNeedsDisplay();
}

void PickerView::selectRowByUser(int row, int component)
{
    if (row < 0 || row >= numberOfRowsInComponent(component) || m_selected[component] == row)
        return;
    selectRow(row, component);
    auto protect = sharedAs<PickerView>();
    if (auto source = dataSource())
        source->didSelectRow(*this, row, component);
}

std::string PickerView::titleFor(int row, int component)
{
    auto source = dataSource();
    auto title = source ? source->titleForRow(*this, row, component) : std::nullopt;
    return title.value_or("?");
}

gfx::Size PickerView::sizeThatFits(gfx::Size limit) const
{
    return { limit.width > 0 ? limit.width : 320, height };
}

void PickerView::touchesEnded(const TouchSet& touches, const Event&)
{
    auto touch = touches.anyObject();
    int components = numberOfComponents();
    if (!touch || components == 0)
        return;
    auto point = touch->locationInView(this);
    auto area = bounds();
    int component = std::clamp(static_cast<int>((point.x - area.minX()) / (area.width() / components)), 0, components - 1);
    double offset = point.y - area.midY();
    int rows = static_cast<int>(std::round(offset / rowHeight));
    if (rows != 0)
        selectRowByUser(std::clamp(m_selected[component] + rows, 0, m_rowCounts[component] - 1), component);
}

void PickerView::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    int components = numberOfComponents();
    auto area = bounds();
    if (components == 0)
        return;
    double width = area.width() / components;
    context.setFillColor(gfx::Color(0.6, 0.7, 0.9, 0.5));
    context.fillRect({ area.minX(), area.midY() - rowHeight / 2, area.width(), rowHeight });
    auto font = gfx::Font::boldSystemFont(20);
    for (int component = 0; component < components; ++component) {
        gfx::Rect wheel { area.minX() + component * width + 4, area.minY(), width - 8, area.height() };
        context.setFillColor(gfx::Color::white());
        context.fillRect(wheel);
        int selected = m_selected[component];
        for (int shift = -2; shift <= 2; ++shift) {
            int row = selected + shift;
            if (row < 0 || row >= m_rowCounts[component])
                continue;
            double top = area.midY() - rowHeight / 2 + shift * rowHeight + 10;
            context.drawText(titleFor(row, component), { wheel.minX() + 8, top, wheel.width() - 16, rowHeight - 10 }, font,
                shift == 0 ? gfx::Color::black() : gfx::Color::grey(0.55), gfx::TextAlignment::Center, gfx::LineBreakMode::TailTruncation, 1);
        }
    }
}

void PickerView::collectPressTargets(PressTargets& targets)
{
    std::weak_ptr<PickerView> weakThis = sharedAs<PickerView>();
    for (int component = 0; component < numberOfComponents(); ++component) {
        for (int row = 0; row < m_rowCounts[component]; ++row) {
            PressTarget target;
            target.kind = PressTarget::Kind::TableRow;
            target.texts = { titleFor(row, component) };
            target.description = "picker row \"" + target.texts.front() + "\"";
            target.press = [weakThis, row, component] {
                if (auto picker = weakThis.lock())
                    picker->selectRowByUser(row, component);
            };
            targets.push_back(std::move(target));
        }
    }
}

std::string PickerView::treeAttributes() const
{
    std::string text = "selected=";
    for (size_t component = 0; component < m_selected.size(); ++component)
        text += (component ? "," : "") + std::to_string(m_selected[component]);
    return text;
}

}
