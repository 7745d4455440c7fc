#pragma once

#include "platform/ui/TableViewController.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextFieldDelegate.h"
#include "sharing/ui/SHKFormFieldSettings.h"
#include "sharing/ui/SHKFormOptionControllerClient.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class SHKFormFieldCell;

// A field key -> the text entered (switches "1" or "0").
using SHKFormValues = std::map<std::string, std::string, std::less<>>;

// A table of form rows (SHKFormFieldSettings) in sections, with a Cancel button at the left and a
// button of the caller's title at the right. The form checks nothing itself: its delegate hears
// validate (the right button, or Return in a text field), save and cancel through the operations it
// chose, and reads the entered values with formValues().
//
// Values live in the cells while their rows are visible; a row's value is kept in values() once its
// cell scrolls out of sight or is reused, and shown again when the row comes back.
//
// Placeholder mode (on whenever the configuration answers "usePlaceholders" with any value): text
// rows show their label as the field's placeholder and no label beside it.
class SHKFormController : public ui::TableViewController, public ui::TextFieldDelegate, public SHKFormOptionControllerClient {
public:
    template<typename Delegate>
    using Operation = void (Delegate::*)(SHKFormController&);

    struct Section {
        std::vector<fnd::Ref<SHKFormFieldSettings>> rows;
        std::optional<std::string> header;
        std::optional<std::string> footer;
    };

    static constexpr std::string_view cellIdentifier = "Cell";
    static constexpr std::string_view optionCellIdentifier = "OptionCell";

    static std::shared_ptr<SHKFormController> create(ui::TableViewStyle, std::string title, std::string rightButtonTitle);
    explicit SHKFormController(ui::TableViewStyle);
    ~SHKFormController() override;

    std::string_view className() const override { return "SHKFormController"; }

    // The delegate is not retained. A null operation is not sent.
    template<typename Delegate>
    void setDelegate(const std::shared_ptr<Delegate>& delegate, Operation<Delegate> validate, Operation<Delegate> save, Operation<Delegate> cancel)
    {
        m_delegate = delegate;
        m_validateSelector = bind(validate);
        m_saveSelector = bind(save);
        m_cancelSelector = bind(cancel);
    }
    bool hasDelegate() const { return !m_delegate.expired(); }

    void addSection(std::vector<fnd::Ref<SHKFormFieldSettings>> rows, std::optional<std::string> header, std::optional<std::string> footer);
    const std::vector<Section>& sections() const { return m_sections; }

    // The values of the first section.
    SHKFormValues formValues();
    // Each row's value: from its visible cell, else from values(). An option row whose shown value
    // equals its start value is left out; rows without a value are absent.
    SHKFormValues formValuesForSection(size_t section);

    // The right button and Return: the delegate checks the values and saves when they are good.
    void validateForm();
    // Tells the delegate to save, then closes.
    void saveForm();
    // Closes first, then tells the delegate.
    void cancel();
    void close();

    bool autoSelect() const { return m_autoSelect; }
    void setAutoSelect(bool autoSelect) { m_autoSelect = autoSelect; }
    double labelWidth() const { return m_labelWidth; }
    const SHKFormValues& values() const { return m_values; }
    std::shared_ptr<ui::TextField> activeField() const { return m_activeField.lock(); }
    // Placeholder mode: the configuration answers "usePlaceholders" with any value.
    static bool usesPlaceholders();

    // From a cell that leaves the table: keeps the value of the row it showed.
    void cellWillLeave(SHKFormFieldCell&);

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;

    int numberOfSectionsInTableView(ui::TableView&) override;
    int numberOfRowsInSection(ui::TableView&, int section) override;
    std::optional<std::string> titleForHeaderInSection(ui::TableView&, int section) override;
    std::optional<std::string> titleForFooterInSection(ui::TableView&, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override;
    void didSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override;

    void didBeginEditing(ui::TextField&) override;
    bool shouldReturn(ui::TextField&) override;

    void formOptionControllerPickedOption(SHKFormOptionController&, std::optional<std::string> pickedOption) override;

protected:
    // Sets the title and the two buttons; the factories call it once the form is owned.
    void setUpWithTitle(std::string title, std::string rightButtonTitle);

    template<typename Form>
    static std::shared_ptr<Form> make(ui::TableViewStyle style, std::string title, std::string rightButtonTitle)
    {
        auto form = std::make_shared<Form>(style);
        form->setUpWithTitle(std::move(title), std::move(rightButtonTitle));
        return form;
    }

private:
    using BoundOperation = std::function<void(void* delegate, SHKFormController&)>;

    template<typename Delegate>
    static BoundOperation bind(Operation<Delegate> operation)
    {
        if (!operation)
            return {};
        return [operation](void* delegate, SHKFormController& form) { (static_cast<Delegate*>(delegate)->*operation)(form); };
    }
    void sendToDelegate(const BoundOperation&);
    const fnd::Ref<SHKFormFieldSettings>* rowAt(const ui::IndexPath&) const;
    std::optional<ui::IndexPath> indexPathOfKey(std::string_view key) const;
    std::optional<std::string> shownValueForRow(const SHKFormFieldSettings&) const;

    std::weak_ptr<void> m_delegate;
    BoundOperation m_validateSelector;
    BoundOperation m_saveSelector;
    BoundOperation m_cancelSelector;
    std::vector<Section> m_sections;
    SHKFormValues m_values;
    double m_labelWidth = 0;
    std::weak_ptr<ui::TextField> m_activeField;
    bool m_autoSelect = false;
};
