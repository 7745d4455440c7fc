#include "sharing/ui/SHKFormController.h"

#include "platform/graphics/TextMeasurer.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKConfiguration.h"
#include "sharing/ui/SHKCustomFormFieldCell.h"
#include "sharing/ui/SHKFormOptionController.h"

#include <algorithm>

namespace {

const DefaultSHKConfigurator& configuration()
{
    return SHKConfiguration::sharedInstance()->configurator();
}

}

std::shared_ptr<SHKFormController> SHKFormController::create(ui::TableViewStyle style, std::string title, std::string rightButtonTitle)
{
    return make<SHKFormController>(style, std::move(title), std::move(rightButtonTitle));
}

SHKFormController::SHKFormController(ui::TableViewStyle style)
    : TableViewController(style)
{
}

SHKFormController::~SHKFormController() = default;

void SHKFormController::setUpWithTitle(std::string title, std::string rightButtonTitle)
{
    setTitle(std::move(title));
    auto item = navigationItem();
    item->setLeftBarButtonItem(ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Cancel,
        ui::Action::to(this, "cancel", &SHKFormController::cancel)));
    item->setRightBarButtonItem(ui::BarButtonItem::createWithTitle(std::move(rightButtonTitle), ui::BarButtonItemStyle::Done,
        ui::Action::to(this, "validateForm", &SHKFormController::validateForm)));
}

bool SHKFormController::usesPlaceholders()
{
    return configuration().usePlaceholders().has_value();
}

void SHKFormController::viewDidLoad()
{
    TableViewController::viewDidLoad();
    auto table = tableView();
    table->setSeparatorStyle(ui::TableViewCellSeparatorStyle::SingleLine);
    if (auto color = configuration().formBackgroundColor())
        table->setBackgroundColor(*color);
}

void SHKFormController::addSection(std::vector<fnd::Ref<SHKFormFieldSettings>> rows, std::optional<std::string> header, std::optional<std::string> footer)
{
    if (m_sections.empty() && !usesPlaceholders()) {
        auto measurer = gfx::TextMeasurer::current();
        double widest = 0;
        for (auto& row : rows) {
            if (row && row->isTextKind())
                widest = std::max(widest, measurer->widthOfText(row->label(), gfx::Font::boldSystemFont(17)));
        }
        m_labelWidth = widest;
    }
    m_sections.push_back({ std::move(rows), std::move(header), std::move(footer) });
    if (isViewLoaded())
        tableView()->reloadData();
}

const fnd::Ref<SHKFormFieldSettings>* SHKFormController::rowAt(const ui::IndexPath& indexPath) const
{
    if (indexPath.section < 0 || static_cast<size_t>(indexPath.section) >= m_sections.size())
        return nullptr;
    auto& rows = m_sections[indexPath.section].rows;
    if (indexPath.row < 0 || static_cast<size_t>(indexPath.row) >= rows.size() || !rows[indexPath.row])
        return nullptr;
    return &rows[indexPath.row];
}

std::optional<ui::IndexPath> SHKFormController::indexPathOfKey(std::string_view key) const
{
    for (size_t section = 0; section < m_sections.size(); ++section) {
        auto& rows = m_sections[section].rows;
        for (size_t row = 0; row < rows.size(); ++row) {
            if (rows[row] && rows[row]->key() == key)
                return ui::IndexPath::forRow(static_cast<int>(row), static_cast<int>(section));
        }
    }
    return std::nullopt;
}

int SHKFormController::numberOfSectionsInTableView(ui::TableView&)
{
    return static_cast<int>(m_sections.size());
}

int SHKFormController::numberOfRowsInSection(ui::TableView&, int section)
{
    if (section < 0 || static_cast<size_t>(section) >= m_sections.size())
        return 0;
    return static_cast<int>(m_sections[section].rows.size());
}

std::optional<std::string> SHKFormController::titleForHeaderInSection(ui::TableView&, int section)
{
    if (section < 0 || static_cast<size_t>(section) >= m_sections.size())
        return std::nullopt;
    return m_sections[section].header;
}

std::optional<std::string> SHKFormController::titleForFooterInSection(ui::TableView&, int section)
{
    if (section < 0 || static_cast<size_t>(section) >= m_sections.size())
        return std::nullopt;
    return m_sections[section].footer;
}

std::optional<std::string> SHKFormController::shownValueForRow(const SHKFormFieldSettings& row) const
{
    auto stored = m_values.find(row.key());
    if (stored != m_values.end())
        return stored->second;
    if (!row.start())
        return std::nullopt;
    if (row.type() == FormFieldKind::OptionPicker && row.optionPickerInfo()) {
        auto selection = row.optionPickerInfo()->stringForKey("curIndexes");
        if (selection && *selection != SHKFormFieldSettings::noSelection)
            return row.optionPickerValueForIndexes(*selection);
    }
    return *row.start();
}

std::shared_ptr<ui::TableViewCell> SHKFormController::cellForRowAtIndexPath(ui::TableView& table, const ui::IndexPath& indexPath)
{
    auto* found = rowAt(indexPath);
    if (!found)
        return nullptr;
    auto& row = *found;
    bool isOption = row->type() == FormFieldKind::OptionPicker;
    auto identifier = isOption ? optionCellIdentifier : cellIdentifier;

    auto cell = std::dynamic_pointer_cast<SHKFormFieldCell>(table.dequeueReusableCellWithIdentifier(identifier));
    if (!cell) {
        cell = std::make_shared<SHKCustomFormFieldCell>(std::string(identifier));
        cell->setForm(sharedAs<SHKFormController>());
        if (auto color = configuration().formFontColor())
            cell->textLabel()->setTextColor(*color);
    } else {
        cellWillLeave(*cell);
    }
    cell->setSettings(row);

    if (usesPlaceholders() && !isOption) {
        if (row->isTextKind())
            cell->getTextField()->setPlaceholder(row->label());
        cell->textLabel()->setText(row->type() == FormFieldKind::Switch ? row->label() : std::string());
    } else {
        cell->setLabelWidth(m_labelWidth);
        cell->textLabel()->setText(row->label());
    }
    // A reused cell must not go on showing the row it showed before.
    if (auto value = shownValueForRow(*row))
        cell->setValue(std::move(*value));
    else
        cell->clearValue();
    return cell;
}

void SHKFormController::cellWillLeave(SHKFormFieldCell& cell)
{
    auto& row = cell.settings();
    if (!row || row->key().empty() || row->type() == FormFieldKind::OptionPicker)
        return;
    if (auto value = cell.getValue())
        m_values[row->key()] = *value;
}

SHKFormValues SHKFormController::formValues()
{
    return formValuesForSection(0);
}

SHKFormValues SHKFormController::formValuesForSection(size_t section)
{
    SHKFormValues result;
    if (section >= m_sections.size())
        return result;
    auto table = isViewLoaded() ? tableView() : nullptr;
    auto& rows = m_sections[section].rows;
    for (size_t index = 0; index < rows.size(); ++index) {
        auto& row = rows[index];
        if (!row)
            continue;
        std::shared_ptr<SHKFormFieldCell> cell;
        if (table)
            cell = std::dynamic_pointer_cast<SHKFormFieldCell>(table->cellForRowAtIndexPath(ui::IndexPath::forRow(static_cast<int>(index), static_cast<int>(section))));
        if (cell && cell->settings() && cell->settings()->key() == row->key()) {
            if (auto value = cell->getValue()) {
                if (row->type() != FormFieldKind::OptionPicker || value != row->start())
                    result[row->key()] = *value;
                continue;
            }
        }
        auto stored = m_values.find(row->key());
        if (stored != m_values.end())
            result[row->key()] = stored->second;
    }
    return result;
}

void SHKFormController::sendToDelegate(const BoundOperation& operation)
{
    auto delegate = m_delegate.lock();
    if (delegate && operation)
        operation(delegate.get(), *this);
}

void SHKFormController::validateForm()
{
    auto protect = sharedAs<SHKFormController>();
    if (auto field = m_activeField.lock())
        field->resignFirstResponder();
    sendToDelegate(m_validateSelector);
}

void SHKFormController::saveForm()
{
    auto protect = sharedAs<SHKFormController>();
    sendToDelegate(m_saveSelector);
    close();
}

void SHKFormController::cancel()
{
    auto protect = sharedAs<SHKFormController>();
    close();
    sendToDelegate(m_cancelSelector);
}

void SHKFormController::close()
{
    SHK::currentHelper().hideCurrentViewControllerAnimated(true);
}

void SHKFormController::viewDidAppear(bool animated)
{
    TableViewController::viewDidAppear(animated);
    if (!m_autoSelect || m_sections.empty() || m_sections.front().rows.empty())
        return;
    auto table = tableView();
    table->layoutIfNeeded();
    table->selectRowAtIndexPath(ui::IndexPath::forRow(0, 0), false, ui::TableViewScrollPosition::None);
}

void SHKFormController::viewDidDisappear(bool animated)
{
    TableViewController::viewDidDisappear(animated);
    auto navigation = navigationController();
    if (!navigation || !navigation->topViewController())
        SHK::currentHelper().viewWasDismissed();
}

void SHKFormController::didSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    auto* row = rowAt(indexPath);
    if (!row || (*row)->type() != FormFieldKind::OptionPicker)
        return;
    auto options = SHKFormOptionController::createWithOptionsInfoClient(*row, sharedAs<SHKFormController>());
    if (auto navigation = navigationController())
        navigation->pushViewController(std::move(options), true);
}

void SHKFormController::didBeginEditing(ui::TextField& field)
{
    m_activeField = field.sharedAs<ui::TextField>();
}

bool SHKFormController::shouldReturn(ui::TextField&)
{
    validateForm();
    return true;
}

void SHKFormController::formOptionControllerPickedOption(SHKFormOptionController& controller, std::optional<std::string> pickedOption)
{
    auto protect = sharedAs<SHKFormController>();
    auto& row = controller.settings();
    if (pickedOption && row) {
        bool none = *pickedOption == SHKFormFieldSettings::noSelection;
        if (none)
            m_values.erase(row->key());
        else
            m_values[row->key()] = *pickedOption;
        // A picker row may stand in any section.
        auto indexPath = indexPathOfKey(row->key());
        if (indexPath && isViewLoaded()) {
            if (auto cell = std::dynamic_pointer_cast<SHKFormFieldCell>(tableView()->cellForRowAtIndexPath(*indexPath)))
                cell->setValue(none ? row->start().value_or(std::string()) : *pickedOption);
            tableView()->reloadData();
        }
    }
    if (auto navigation = navigationController())
        navigation->popViewControllerAnimated(true);
}
