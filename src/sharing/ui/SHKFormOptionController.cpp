#include "sharing/ui/SHKFormOptionController.h"

#include "platform/foundation/Assertion.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/TableView.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/ui/SHKActivityIndicator.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr const char* sourceFile = "Classes/Sharing/Classes/Sharing/UI/SHKFormOptionController";
constexpr std::string_view cellIdentifier = "Cell";

bool boolForKey(const fnd::Dictionary& info, std::string_view key)
{
    auto number = info.objectForKeyAs<fnd::Number>(key);
    return number && number->boolValue();
}

}

std::shared_ptr<SHKFormOptionController> SHKFormOptionController::createWithOptionsInfoClient(fnd::Ref<SHKFormFieldSettings> settings,
    const std::shared_ptr<SHKFormOptionControllerClient>& client)
{
    auto controller = std::make_shared<SHKFormOptionController>();
    controller->m_settings = std::move(settings);
    controller->m_client = client;
    if (auto& info = controller->m_settings->optionPickerInfo()) {
        if (auto title = info->stringForKey("title"))
            controller->setTitle(*title);
    }
    return controller;
}

SHKFormOptionController::SHKFormOptionController()
    : TableViewController(ui::TableViewStyle::Plain)
{
}

fnd::Ref<fnd::Array> SHKFormOptionController::items() const
{
    auto& info = m_settings->optionPickerInfo();
    return info ? info->objectForKeyAs<fnd::Array>("itemsList") : nullptr;
}

std::string SHKFormOptionController::selection() const
{
    auto& info = m_settings->optionPickerInfo();
    auto selection = info ? info->stringForKey("curIndexes") : std::nullopt;
    return selection.value_or(std::string(SHKFormFieldSettings::noSelection));
}

void SHKFormOptionController::setSelection(std::string selection)
{
    if (auto& info = m_settings->optionPickerInfo())
        info->setObjectForKey(fnd::String::create(std::move(selection)), "curIndexes");
}

bool SHKFormOptionController::allowsMultiple() const
{
    auto& info = m_settings->optionPickerInfo();
    return info && boolForKey(*info, "allowMultiple");
}

bool SHKFormOptionController::isStatic() const
{
    auto& info = m_settings->optionPickerInfo();
    return info && boolForKey(*info, "static");
}

void SHKFormOptionController::viewDidLoad()
{
    TableViewController::viewDidLoad();
    updateFromOptions();
    navigationItem()->setLeftBarButtonItem(ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Cancel,
        ui::Action::to(this, "cancel:", &SHKFormOptionController::cancel)));
    // A list given up front never arrives from a provider, so its Done button comes now.
    if (isStatic() && allowsMultiple())
        addDoneButton();
}

void SHKFormOptionController::updateFromOptions()
{
    auto info = m_settings->optionPickerInfo();
    if (!FND_ASSERT(info && info->objectForKey("curIndexes"), sourceFile, "Sharing: missing the cur selection value")
        || !FND_ASSERT(info->objectForKey("itemsList"), sourceFile, "Sharing: missing the itemsList")
        || !FND_ASSERT(info->objectForKey("static"), sourceFile, "Sharing: missing the static flag"))
        return;
    bool listIsStatic = isStatic();
    auto list = items();
    if (!FND_ASSERT(!listIsStatic || (list && list->count() > 0), sourceFile, "Sharing: there must be some choices or it must be not static"))
        return;
    auto provider = info->objectForKeyAs<SHKFormOptionControllerOptionProvider>(SHKFormOptionControllerOptionProvider::infoKey);
    if (!FND_ASSERT(listIsStatic || provider, sourceFile, "Sharing: if you are not static you must give a provider"))
        return;

    auto protect = sharedAs<SHKFormOptionController>();
    if (listIsStatic || m_provider || m_didLoad) {
        SHKActivityIndicator::currentIndicator().hide();
    } else {
        SHKActivityIndicator::currentIndicator().displayActivity(SHKLocalizedText("Loading..."));
        m_provider = provider;
        provider->formOptionControllerEnumerateOptions(*this);
    }
    if (isViewLoaded())
        tableView()->reloadData();
}

int SHKFormOptionController::numberOfRowsInSection(ui::TableView&, int)
{
    auto list = items();
    return list ? static_cast<int>(list->count()) : 0;
}

std::shared_ptr<ui::TableViewCell> SHKFormOptionController::cellForRowAtIndexPath(ui::TableView& table, const ui::IndexPath& indexPath)
{
    auto cell = table.dequeueReusableCellWithIdentifier(cellIdentifier);
    if (!cell)
        cell = ui::TableViewCell::create(ui::TableViewCellStyle::Default, std::string(cellIdentifier));
    auto list = items();
    auto text = list && static_cast<size_t>(indexPath.row) < list->count() ? fnd::as<fnd::String>(list->objectAtIndex(indexPath.row)) : nullptr;
    cell->textLabel()->setText(text ? text->utf8() : std::string());
    auto parts = SHKFormFieldSettings::selectionParts(selection());
    bool checked = std::find(parts.begin(), parts.end(), std::to_string(indexPath.row)) != parts.end();
    cell->setAccessoryType(checked ? ui::TableViewCellAccessoryType::Checkmark : ui::TableViewCellAccessoryType::None);
    return cell;
}

void SHKFormOptionController::didSelectRowAtIndexPath(ui::TableView& table, const ui::IndexPath& indexPath)
{
    auto protect = sharedAs<SHKFormOptionController>();
    auto index = std::to_string(indexPath.row);
    if (!allowsMultiple()) {
        setSelection(index);
        auto list = items();
        auto text = list && static_cast<size_t>(indexPath.row) < list->count() ? fnd::as<fnd::String>(list->objectAtIndex(indexPath.row)) : nullptr;
        if (auto owner = client())
            owner->formOptionControllerPickedOption(*this, text ? text->utf8() : std::string());
        return;
    }
    auto current = selection();
    std::string updated;
    if (current == SHKFormFieldSettings::noSelection) {
        updated = index;
    } else {
        auto parts = SHKFormFieldSettings::selectionParts(current);
        auto found = std::find(parts.begin(), parts.end(), index);
        if (found == parts.end()) {
            updated = current + "," + index;
        } else {
            parts.erase(found);
            for (auto& part : parts)
                updated += (updated.empty() ? "" : ",") + part;
            if (updated.empty())
                updated = SHKFormFieldSettings::noSelection;
        }
    }
    setSelection(std::move(updated));
    table.reloadRowsAtIndexPaths({ indexPath }, ui::TableViewRowAnimation::None);
}

void SHKFormOptionController::addDoneButton()
{
    navigationItem()->setRightBarButtonItem(ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Done,
        ui::Action::to(this, "done:", &SHKFormOptionController::done)));
}

void SHKFormOptionController::optionsEnumerated(fnd::Ref<fnd::Array> options)
{
    auto protect = sharedAs<SHKFormOptionController>();
    m_provider = nullptr;
    if (!options || options->count() == 0) {
        showNoOptions();
        return;
    }
    m_settings->optionPickerInfo()->setObjectForKey(options, "itemsList");
    m_didLoad = true;
    for (auto& part : SHKFormFieldSettings::selectionParts(selection())) {
        if (part == SHKFormFieldSettings::noSelection)
            continue;
        // An index that names no option (or is no number) leaves nothing chosen.
        char* end = nullptr;
        long index = std::strtol(part.c_str(), &end, 10);
        if (part.empty() || *end || index < 0 || static_cast<size_t>(index) >= options->count()) {
            setSelection(std::string(SHKFormFieldSettings::noSelection));
            break;
        }
    }
    updateFromOptions();
    if (allowsMultiple())
        addDoneButton();
}

void SHKFormOptionController::optionsEnumerationFailedWithError(const fnd::Ref<fnd::Error>&)
{
    m_provider = nullptr;
    showNoOptions();
}

void SHKFormOptionController::showNoOptions()
{
    SHKActivityIndicator::currentIndicator().hide();
    auto& info = m_settings->optionPickerInfo();
    auto title = info ? info->stringForKey("title").value_or(std::string()) : std::string();
    auto alert = ui::AlertView::create(SHKLocalizedText("No Options"), fnd::format("%@ %@", SHKLocalizedText("Could not find any"), title),
        sharedAs<SHKFormOptionController>(), SHKLocalizedText("Cancel"));
    alert->show();
}

void SHKFormOptionController::clickedButtonAtIndex(ui::AlertView&, int)
{
    cancel();
}

void SHKFormOptionController::cancel()
{
    auto protect = sharedAs<SHKFormOptionController>();
    SHKActivityIndicator::currentIndicator().hide();
    if (auto provider = std::move(m_provider))
        provider->formOptionControllerCancelEnumerateOptions(*this);
    m_provider = nullptr;
    if (auto owner = client())
        owner->formOptionControllerPickedOption(*this, std::nullopt);
}

void SHKFormOptionController::done()
{
    auto protect = sharedAs<SHKFormOptionController>();
    if (auto owner = client())
        owner->formOptionControllerPickedOption(*this, m_settings->optionPickerValueForIndexes(selection()));
}
