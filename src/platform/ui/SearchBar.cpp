#include "platform/ui/SearchBar.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Button.h"
#include "platform/ui/SearchDisplayController.h"
#include "platform/ui/TextField.h"

#include <cmath>

namespace ui {

SearchBarDelegate::~SearchBarDelegate() = default;

std::shared_ptr<SearchBar> SearchBar::create(const gfx::Rect& frame)
{
    return std::make_shared<SearchBar>(frame);
}

SearchBar::SearchBar(const gfx::Rect& frame)
    : View(frame)
    , m_field(TextField::create())
    , m_cancelButton(Button::create(ButtonType::RoundedRect))
{
    setBackgroundColor(gfx::Color(0.7, 0.75, 0.8));
    m_field->setBorderStyle(TextBorderStyle::RoundedRect);
    m_field->setContentVerticalAlignment(ControlContentVerticalAlignment::Center);
    m_field->setReturnKeyType(ReturnKeyType::Search);
    m_field->setAutocorrectionType(TextAutocorrectionType::No);
    // The field belongs to the bar, so its actions never outlive it.
    m_field->addTargetActionForControlEvents(Action("searchBarEditingBegan", [this](const fnd::Id&) { editingBegan(); }), ControlEvent::EditingDidBegin);
    m_field->addTargetActionForControlEvents(Action("searchBarEditingChanged", [this](const fnd::Id&) { editingChanged(); }), ControlEvent::EditingChanged);
    m_field->addTargetActionForControlEvents(Action("searchBarEditingEnded", [this](const fnd::Id&) { editingEnded(); }), ControlEvent::EditingDidEnd);
    m_field->addTargetActionForControlEvents(Action("searchBarSearchButtonClicked", [this](const fnd::Id&) { searchButtonTapped(); }),
        ControlEvent::EditingDidEndOnExit);
    addSubview(m_field);
    m_cancelButton->setTitle("Cancel");
    m_cancelButton->addTargetActionForControlEvents(Action("searchBarCancelButtonClicked", [this](const fnd::Id&) { cancelButtonTapped(); }),
        ControlEvent::TouchUpInside);
    m_cancelButton->setHidden(true);
    addSubview(m_cancelButton);
}

const std::string& SearchBar::text() const
{
    return m_field->text();
}

void SearchBar::setText(std::string text)
{
    m_field->setText(std::move(text));
}

const std::string& SearchBar::placeholder() const
{
    return m_field->placeholder();
}

void SearchBar::setPlaceholder(std::string placeholder)
{
    m_field->setPlaceholder(std::move(placeholder));
}

void SearchBar::setShowsCancelButton(bool shows, bool)
{
    m_showsCancelButton = shows;
    m_cancelButton->setHidden(!shows);
    setNeedsLayout();
}

void SearchBar::selectScopeButtonIndex(int index)
{
    if (index == m_selectedScope || index < 0 || index >= static_cast<int>(m_scopeTitles.size()))
        return;
    m_selectedScope = index;
    if (auto display = m_display.lock())
        display->searchScopeChanged(index);
    if (auto delegate = this->delegate())
        delegate->searchBarSelectedScopeButtonIndexDidChange(*this, index);
}

bool SearchBar::becomeFirstResponder()
{
    auto delegate = this->delegate();
    if (!m_field->isFirstResponder() && delegate && !delegate->searchBarShouldBeginEditing(*this))
        return false;
    return m_field->becomeFirstResponder();
}

bool SearchBar::resignFirstResponder()
{
    return m_field->resignFirstResponder();
}

bool SearchBar::isFirstResponder() const
{
    return m_field->isFirstResponder();
}

void SearchBar::editingBegan()
{
    auto protect = sharedAs<SearchBar>();
    if (auto display = m_display.lock())
        display->searchBarBeganEditing();
    if (auto delegate = this->delegate())
        delegate->searchBarTextDidBeginEditing(*this);
}

void SearchBar::editingChanged()
{
    auto protect = sharedAs<SearchBar>();
    auto text = m_field->text();
    if (auto display = m_display.lock())
        display->searchTextChanged(text);
    if (auto delegate = this->delegate())
        delegate->searchBarTextDidChange(*this, text);
}

void SearchBar::editingEnded()
{
    if (auto delegate = this->delegate())
        delegate->searchBarTextDidEndEditing(*this);
}

void SearchBar::searchButtonTapped()
{
    if (auto delegate = this->delegate())
        delegate->searchBarSearchButtonClicked(*this);
}

void SearchBar::cancelButtonTapped()
{
    auto protect = sharedAs<SearchBar>();
    if (auto delegate = this->delegate())
        delegate->searchBarCancelButtonClicked(*this);
    if (auto display = m_display.lock())
        display->searchBarCancelled();
}

gfx::Size SearchBar::sizeThatFits(gfx::Size limit) const
{
    return { limit.width > 0 ? limit.width : frame().width(), height };
}

void SearchBar::layoutSubviews()
{
    auto area = bounds();
    double cancelWidth = m_showsCancelButton ? 70 : 0;
    m_field->setFrame({ 6, std::round((area.height() - 31) / 2), std::max(0.0, area.width() - 12 - cancelWidth), 31 });
    m_cancelButton->setFrame({ area.width() - cancelWidth, std::round((area.height() - 30) / 2), cancelWidth - 6, 30 });
}

void SearchBar::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    auto area = bounds();
    context.setFillColor(gfx::Color::grey(0.55));
    context.fillRect({ area.minX(), area.maxY() - 1, area.width(), 1 });
}

std::string SearchBar::treeAttributes() const
{
    std::string text = "text=\"" + m_field->text() + "\"";
    if (!m_field->placeholder().empty())
        text += " placeholder=\"" + m_field->placeholder() + "\"";
    return text;
}

}
