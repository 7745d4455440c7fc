#include "SharingScreenTest.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Assertion.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"
#include "platform/graphics/TextMeasurer.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/PressFinder.h"
#include "platform/ui/TableView.h"
#include "sharing/core/SHK.h"
#include "sharing/ui/SHKActivityIndicator.h"
#include "sharing/ui/SHKCustomFormController.h"
#include "sharing/ui/SHKFormFieldCell.h"
#include "sharing/ui/SHKFormOptionController.h"

#include <cmath>

using brenzo::testing::SharingScreenTest;

namespace {

using Rows = std::vector<fnd::Ref<SHKFormFieldSettings>>;

fnd::Ref<SHKFormFieldSettings> field(std::string label, std::string key, FormFieldKind kind, std::optional<std::string> start = std::nullopt)
{
    return SHKFormFieldSettings::create(std::move(label), std::move(key), kind, std::move(start));
}

fnd::Ref<fnd::Array> texts(std::initializer_list<const char*> values)
{
    std::vector<fnd::Id> objects;
    for (auto* value : values)
        objects.push_back(fnd::String::create(value));
    return fnd::Array::create(std::move(objects));
}

fnd::Ref<fnd::MutableDictionary> pickerInfo(fnd::Ref<fnd::Array> items, std::string selection, bool isStatic, bool allowMultiple = false)
{
    auto info = fnd::MutableDictionary::create();
    info->setObjectForKey(fnd::String::create("Colours"), "title");
    info->setObjectForKey(fnd::String::create(selection), "curIndexes");
    info->setObjectForKey(items ? fnd::Id(items) : fnd::Id(fnd::Array::create()), "itemsList");
    info->setObjectForKey(fnd::Number::withBool(isStatic), "static");
    info->setObjectForKey(fnd::Number::withBool(allowMultiple), "allowMultiple");
    return info;
}

// Writes down what the form tells it, and whether the form was closing at that moment.
class RecordingFormDelegate {
public:
    void validate(SHKFormController& form)
    {
        events.push_back("validate");
        if (saveWhenValidated)
            form.saveForm();
    }
    void save(SHKFormController& form)
    {
        events.push_back(std::string("save") + (SHK::currentHelper().isDismissingView() ? " closing" : ""));
        saved = form.formValues();
    }
    void cancel(SHKFormController&) { events.push_back(std::string("cancel") + (SHK::currentHelper().isDismissingView() ? " closing" : "")); }

    std::vector<std::string> events;
    bool saveWhenValidated = false;
    SHKFormValues saved;
};

class OptionClient : public SHKFormOptionControllerClient {
public:
    void formOptionControllerPickedOption(SHKFormOptionController&, std::optional<std::string> picked) override { picks.push_back(picked); }
    std::vector<std::optional<std::string>> picks;
};

class ScriptedProvider : public SHKFormOptionControllerOptionProvider {
public:
    std::string_view className() const override { return "ScriptedProvider"; }
    void formOptionControllerEnumerateOptions(SHKFormOptionController& controller) override
    {
        ++enumerations;
        asker = controller.sharedAs<SHKFormOptionController>();
    }
    void formOptionControllerCancelEnumerateOptions(SHKFormOptionController&) override { ++cancellations; }

    int enumerations = 0;
    int cancellations = 0;
    std::weak_ptr<SHKFormOptionController> asker;
};

// Stands for the sharer a form is pushed on: a sharing screen that tells the helper when it has gone.
class ScreenNavigationController : public ui::NavigationController {
public:
    void viewDidDisappear(bool animated) override
    {
        NavigationController::viewDidDisappear(animated);
        SHK::currentHelper().viewWasDismissed();
    }
};

class SHKFormTest : public SharingScreenTest {
protected:
    explicit SHKFormTest(std::shared_ptr<const DefaultSHKConfigurator> configurator = nullptr)
        : SharingScreenTest(std::move(configurator))
    {
    }

    std::shared_ptr<SHKFormController> present(std::vector<Rows> sections, std::string rightButtonTitle = "Save")
    {
        auto form = SHKCustomFormController::create(ui::TableViewStyle::Grouped, "Details", std::move(rightButtonTitle));
        for (auto& rows : sections)
            form->addSection(std::move(rows), std::nullopt, std::nullopt);
        form->setDelegate(m_delegate, &RecordingFormDelegate::validate, &RecordingFormDelegate::save, &RecordingFormDelegate::cancel);
        auto screen = std::make_shared<ScreenNavigationController>();
        screen->pushViewController(form, false);
        SHK::currentHelper().showViewController(screen);
        settle();
        return form;
    }

    static std::shared_ptr<SHKFormFieldCell> cellAt(SHKFormController& form, int row, int section = 0)
    {
        form.tableView()->layoutIfNeeded();
        return std::dynamic_pointer_cast<SHKFormFieldCell>(form.tableView()->cellForRowAtIndexPath(ui::IndexPath::forRow(row, section)));
    }

    static void type(SHKFormFieldCell& cell, std::string_view text)
    {
        auto textField = cell.getTextField();
        ASSERT_TRUE(textField->becomeFirstResponder());
        textField->insertText(text);
    }

    std::shared_ptr<RecordingFormDelegate> m_delegate = std::make_shared<RecordingFormDelegate>();
};

TEST_F(SHKFormTest, EachKindOfRowShowsItsControl)
{
    auto form = present({ {
        field("Name", "name", FormFieldKind::Text, "Ann"),
        field("Username", "username", FormFieldKind::TextNoCorrect),
        field("Password", "password", FormFieldKind::Password),
        field("Shared", "shared", FormFieldKind::Switch, "1"),
        SHKFormFieldSettings::create("Colour", "colour", FormFieldKind::OptionPicker, "None", pickerInfo(texts({ "Red" }), "-1", true)),
        SHKFormFieldSettings::create("Size", "size", FormFieldKind::OptionPicker, std::nullopt, pickerInfo(texts({ "S" }), "-1", true)),
    } });

    auto text = cellAt(*form, 0);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->getTextField()->text(), "Ann");
    EXPECT_EQ(text->getTextField()->autocorrectionType(), ui::TextAutocorrectionType::Default);
    auto username = cellAt(*form, 1)->getTextField();
    EXPECT_EQ(username->autocorrectionType(), ui::TextAutocorrectionType::No);
    EXPECT_EQ(username->autocapitalizationType(), ui::TextAutocapitalizationType::None);
    EXPECT_FALSE(username->isSecureTextEntry());
    EXPECT_TRUE(cellAt(*form, 2)->getTextField()->isSecureTextEntry());

    auto toggle = cellAt(*form, 3);
    ASSERT_TRUE(toggle->toggle());
    EXPECT_TRUE(toggle->toggle()->isOn());
    EXPECT_TRUE(toggle->textLabel()->superview());

    auto option = cellAt(*form, 4);
    EXPECT_EQ(option->reuseIdentifier(), "OptionCell");
    EXPECT_EQ(option->accessoryType(), ui::TableViewCellAccessoryType::DisclosureIndicator);
    EXPECT_EQ(option->detailTextLabel()->text(), "None");

    // By default every text row shows its label as a placeholder and no label beside it.
    for (int row = 0; row < 3; ++row) {
        auto cell = cellAt(*form, row);
        EXPECT_EQ(cell->getTextField()->placeholder(), form->sections()[0].rows[row]->label());
        EXPECT_FALSE(cell->textLabel()->superview()) << row;
    }

    // Option rows unchanged or never chosen are left out; switches read "1" or "0".
    auto values = form->formValues();
    EXPECT_EQ(values, (SHKFormValues { { "name", "Ann" }, { "username", "" }, { "password", "" }, { "shared", "1" } }));
    toggle->toggle()->toggle();
    EXPECT_EQ(form->formValues()["shared"], "0");
}

TEST_F(SHKFormTest, TypedValuesAndSwitchesAreReturned)
{
    auto form = present({ { field("Username", "username", FormFieldKind::TextNoCorrect), field("Password", "password", FormFieldKind::Password) },
        { field("Auto Share", "autoShare", FormFieldKind::Switch, "0") } });
    type(*cellAt(*form, 0), "joe");
    type(*cellAt(*form, 1), "pa ss");
    cellAt(*form, 0, 1)->toggle()->toggle();

    EXPECT_EQ(form->formValues(), (SHKFormValues { { "username", "joe" }, { "password", "pa ss" } }));
    EXPECT_EQ(form->formValuesForSection(1), (SHKFormValues { { "autoShare", "1" } }));
    EXPECT_TRUE(form->formValuesForSection(7).empty());
}

TEST_F(SHKFormTest, ValuesOfRowsScrolledOutOfSightAreKept)
{
    Rows rows;
    for (int index = 0; index < 14; ++index)
        rows.push_back(field("Field " + std::to_string(index), "field" + std::to_string(index), FormFieldKind::Text, index == 13 ? std::optional<std::string>("last") : std::nullopt));
    rows.push_back(field("Switch", "switch", FormFieldKind::Switch, "0"));
    auto form = present({ rows });
    auto table = form->tableView();
    ASSERT_FALSE(cellAt(*form, 14)) << "the last row starts out of sight";

    type(*cellAt(*form, 0), "first");
    type(*cellAt(*form, 1), "second");
    table->setContentOffset(table->maximumContentOffset());
    table->layoutIfNeeded();
    ASSERT_FALSE(cellAt(*form, 0));
    ASSERT_FALSE(cellAt(*form, 1));

    // Rows that came into sight on reused cells show their own values, not the old rows'.
    auto bottom = cellAt(*form, 12);
    ASSERT_TRUE(bottom);
    EXPECT_EQ(bottom->getTextField()->text(), "");
    EXPECT_EQ(cellAt(*form, 13)->getTextField()->text(), "last");
    cellAt(*form, 14)->toggle()->toggle();
    type(*cellAt(*form, 12), "twelve");

    auto values = form->formValues();
    EXPECT_EQ(values["field0"], "first");
    EXPECT_EQ(values["field1"], "second");
    EXPECT_EQ(values["field12"], "twelve");
    EXPECT_EQ(values["field13"], "last");
    EXPECT_EQ(values["switch"], "1");

    table->setContentOffset({ 0, 0 });
    table->layoutIfNeeded();
    EXPECT_EQ(cellAt(*form, 0)->getTextField()->text(), "first");
    EXPECT_EQ(cellAt(*form, 1)->getTextField()->text(), "second");
    auto again = form->formValues();
    EXPECT_EQ(again["field12"], "twelve");
    EXPECT_EQ(again["switch"], "1");
}

TEST_F(SHKFormTest, SaveTellsTheDelegateBeforeClosingAndCancelClosesFirst)
{
    m_delegate->saveWhenValidated = true;
    auto form = present({ { field("Username", "username", FormFieldKind::TextNoCorrect) } });
    type(*cellAt(*form, 0), "joe");
    EXPECT_EQ(form->activeField(), cellAt(*form, 0)->getTextField());

    EXPECT_EQ(ui::PressFinder::press("Save").status, ui::PressFinder::Result::Status::Pressed);
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "validate", "save" }));
    EXPECT_EQ(m_delegate->saved["username"], "joe");
    EXPECT_FALSE(cellAt(*form, 0)->getTextField()->isFirstResponder());
    EXPECT_TRUE(SHK::currentHelper().isDismissingView());
    settle();
    EXPECT_FALSE(SHK::currentHelper().currentView());

    m_delegate->events.clear();
    auto second = present({ { field("Username", "username", FormFieldKind::TextNoCorrect) } });
    EXPECT_EQ(ui::PressFinder::press("Cancel").status, ui::PressFinder::Result::Status::Pressed);
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "cancel closing" }));
}

TEST_F(SHKFormTest, ReturnValidatesWithoutSaving)
{
    auto form = present({ { field("Username", "username", FormFieldKind::TextNoCorrect) } });
    auto cell = cellAt(*form, 0);
    type(*cell, "joe");
    cell->getTextField()->insertText("\n");
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "validate" }));
    EXPECT_FALSE(SHK::currentHelper().isDismissingView());
}

TEST_F(SHKFormTest, AutoSelectPutsTheCursorInTheFirstRow)
{
    auto form = SHKCustomFormController::create(ui::TableViewStyle::Grouped, "Login", "Login");
    form->addSection({ field("Username", "username", FormFieldKind::TextNoCorrect), field("Password", "password", FormFieldKind::Password) }, std::nullopt,
        "Create an account");
    form->setAutoSelect(true);
    SHK::currentHelper().showViewController(form);
    settle();
    auto cell = cellAt(*form, 0);
    ASSERT_TRUE(cell);
    EXPECT_TRUE(cell->getTextField()->isFirstResponder());
    EXPECT_EQ(form->tableView()->footerTitleForSection(0), "Create an account");
    // The form was wrapped in a navigation controller showing its title and buttons.
    EXPECT_EQ(form->navigationItem()->title(), "Login");
    EXPECT_EQ(form->navigationItem()->rightBarButtonItem()->displayTitle(), "Login");
    EXPECT_EQ(form->navigationItem()->rightBarButtonItem()->style(), ui::BarButtonItemStyle::Done);
    EXPECT_EQ(form->navigationItem()->leftBarButtonItem()->systemItem(), ui::BarButtonSystemItem::Cancel);
}

TEST_F(SHKFormTest, TheDelegateIsNotRetained)
{
    auto form = present({ { field("Username", "username", FormFieldKind::TextNoCorrect) } });
    std::weak_ptr<RecordingFormDelegate> weakDelegate = m_delegate;
    m_delegate = nullptr;
    EXPECT_TRUE(weakDelegate.expired());
    EXPECT_FALSE(form->hasDelegate());
    form->validateForm();
    form->cancel();
}

TEST(SHKFormFieldSettingsTest, OptionTextsFollowTheSelectionsOrderAndSkipBadIndexes)
{
    auto row = SHKFormFieldSettings::create("Colour", "colour", FormFieldKind::OptionPicker, std::nullopt, pickerInfo(texts({ "Red", "Green", "Blue" }), "-1", true));
    EXPECT_EQ(row->optionPickerValueForIndexes("2,0"), "Blue,Red");
    EXPECT_EQ(row->optionPickerValueForIndexes("1"), "Green");
    EXPECT_EQ(row->optionPickerValueForIndexes("-1"), "-1");
    EXPECT_EQ(row->optionPickerValueForIndexes("0,7,x,,1"), "Red,Green");
    EXPECT_EQ(row->optionPickerValueForIndexes("3"), "-1");
    EXPECT_EQ(row->optionPickerValueForIndexes(""), "-1");
    EXPECT_EQ(field("A", "a", FormFieldKind::OptionPicker)->optionPickerValueForIndexes("0"), "-1");
}

class SHKFormLabelTest : public SHKFormTest {
protected:
    class LabelledConfigurator : public DefaultSHKConfigurator {
    public:
        std::optional<bool> usePlaceholders() const override { return std::nullopt; }
        std::optional<gfx::Color> formFontColor() const override { return gfx::Color(0, 0, 1); }
        std::optional<gfx::Color> formBackgroundColor() const override { return gfx::Color(0.9, 0.9, 0.8); }
    };

    SHKFormLabelTest()
        : SHKFormTest(std::make_shared<LabelledConfigurator>())
    {
    }
};

TEST_F(SHKFormLabelTest, LabelsStandBesideTheFieldsWhenPlaceholdersAreOff)
{
    auto form = present({ { field("Name", "name", FormFieldKind::Text), field("Password", "password", FormFieldKind::Password),
        field("An extremely long switch label", "switch", FormFieldKind::Switch, "0") } });
    double widest = gfx::TextMeasurer::current()->widthOfText("Password", gfx::Font::boldSystemFont(17));
    EXPECT_EQ(form->labelWidth(), widest);

    auto cell = cellAt(*form, 0);
    EXPECT_EQ(cell->labelWidth(), widest);
    EXPECT_TRUE(cell->textLabel()->superview());
    EXPECT_EQ(cell->textLabel()->text(), "Name");
    EXPECT_EQ(cell->textLabel()->textColor(), gfx::Color(0, 0, 1));
    EXPECT_TRUE(cell->getTextField()->placeholder().empty());
    auto content = cell->contentView()->bounds().size;
    auto frame = cell->getTextField()->frame();
    EXPECT_EQ(frame.origin.x, widest + 24);
    EXPECT_EQ(frame.width(), content.width - 10 - 24 - widest);
    EXPECT_EQ(frame.origin.y, std::round(content.height / 2 - 12.5) + 2);
    EXPECT_EQ(form->tableView()->backgroundColor(), gfx::Color(0.9, 0.9, 0.8));
}

class SHKFormOptionTest : public SHKFormTest {
protected:
    std::shared_ptr<SHKFormOptionController> topOptions(SHKFormController& form)
    {
        return std::dynamic_pointer_cast<SHKFormOptionController>(form.navigationController()->topViewController());
    }

    // An option picker for a "Venue" row whose list comes from a scripted provider.
    struct ProviderPicker {
        std::shared_ptr<ScriptedProvider> provider;
        fnd::Ref<fnd::MutableDictionary> info;
        std::shared_ptr<OptionClient> client;
        std::shared_ptr<SHKFormOptionController> options;
    };
    static ProviderPicker providerPicker(std::string_view currentIndexes)
    {
        auto provider = std::make_shared<ScriptedProvider>();
        auto info = pickerInfo(nullptr, std::string(currentIndexes), false);
        info->setObjectForKey(provider, SHKFormOptionControllerOptionProvider::infoKey);
        auto row = SHKFormFieldSettings::create("Venue", "venue", FormFieldKind::OptionPicker, std::nullopt, info);
        auto client = std::make_shared<OptionClient>();
        auto options = SHKFormOptionController::createWithOptionsInfoClient(row, client);
        return { std::move(provider), std::move(info), std::move(client), std::move(options) };
    }
};

TEST_F(SHKFormOptionTest, ASingleChoiceIsPickedAtOnce)
{
    auto info = pickerInfo(texts({ "Red", "Green", "Blue" }), "-1", true);
    auto form = present({ { SHKFormFieldSettings::create("Colour", "colour", FormFieldKind::OptionPicker, "None", info) } });
    form->tableView()->selectRowByUser(ui::IndexPath::forRow(0, 0));
    settle();
    auto options = topOptions(*form);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->title(), "Colours");
    auto table = options->tableView();
    EXPECT_EQ(table->numberOfRowsInSection(0), 3);
    EXPECT_EQ(table->cellForRowAtIndexPath(ui::IndexPath::forRow(1, 0))->textLabel()->text(), "Green");
    EXPECT_FALSE(options->navigationItem()->rightBarButtonItem());

    table->selectRowByUser(ui::IndexPath::forRow(2, 0));
    settle();
    EXPECT_EQ(form->navigationController()->topViewController(), form);
    EXPECT_EQ(info->stringForKey("curIndexes"), "2");
    EXPECT_EQ(form->values().at("colour"), "Blue");
    EXPECT_EQ(cellAt(*form, 0)->detailTextLabel()->text(), "Blue");
    EXPECT_EQ(form->formValues(), (SHKFormValues { { "colour", "Blue" } }));

    // Shown again, the choice is checked.
    form->tableView()->selectRowByUser(ui::IndexPath::forRow(0, 0));
    settle();
    auto checked = topOptions(*form)->tableView()->cellForRowAtIndexPath(ui::IndexPath::forRow(2, 0));
    EXPECT_EQ(checked->accessoryType(), ui::TableViewCellAccessoryType::Checkmark);
}

TEST_F(SHKFormOptionTest, SeveralChoicesToggleAndComeBackWithDone)
{
    auto info = pickerInfo(texts({ "Red", "Green", "Blue" }), "-1", true, true);
    auto row = SHKFormFieldSettings::create("Colour", "colour", FormFieldKind::OptionPicker, "None", info);
    auto client = std::make_shared<OptionClient>();
    auto options = SHKFormOptionController::createWithOptionsInfoClient(row, client);
    SHK::currentHelper().showViewController(options);
    settle();
    // A list given up front gets its Done button at once.
    ASSERT_TRUE(options->navigationItem()->rightBarButtonItem());

    auto table = options->tableView();
    for (int index : { 2, 0, 1, 1 })
        table->selectRowByUser(ui::IndexPath::forRow(index, 0));
    EXPECT_EQ(info->stringForKey("curIndexes"), "2,0");
    EXPECT_EQ(table->cellForRowAtIndexPath(ui::IndexPath::forRow(0, 0))->accessoryType(), ui::TableViewCellAccessoryType::Checkmark);
    EXPECT_EQ(table->cellForRowAtIndexPath(ui::IndexPath::forRow(1, 0))->accessoryType(), ui::TableViewCellAccessoryType::None);
    EXPECT_TRUE(client->picks.empty());

    EXPECT_EQ(ui::PressFinder::press("Done").status, ui::PressFinder::Result::Status::Pressed);
    ASSERT_EQ(client->picks.size(), 1u);
    EXPECT_EQ(client->picks[0], "Blue,Red");

    table->selectRowByUser(ui::IndexPath::forRow(2, 0));
    table->selectRowByUser(ui::IndexPath::forRow(0, 0));
    EXPECT_EQ(info->stringForKey("curIndexes"), "-1");
    options->cancel();
    EXPECT_EQ(client->picks.back(), std::nullopt);
}

TEST_F(SHKFormOptionTest, AProvidersListIsLoadedWhileTheIndicatorSaysSo)
{
    auto [provider, info, client, options] = providerPicker("5");
    SHK::currentHelper().showViewController(options);
    settle();

    EXPECT_EQ(provider->enumerations, 1);
    EXPECT_EQ(provider->asker.lock(), options);
    EXPECT_EQ(options->provider(), provider);
    auto& indicator = SHKActivityIndicator::currentIndicator();
    ASSERT_TRUE(indicator.subMessageLabel());
    EXPECT_EQ(indicator.subMessageLabel()->text(), "Loading...");

    options->optionsEnumerated(texts({ "Cafe", "Park" }));
    EXPECT_TRUE(options->didLoad());
    EXPECT_FALSE(options->provider());
    EXPECT_EQ(indicator.alpha(), 0);
    // The old selection named no delivered option.
    EXPECT_EQ(info->stringForKey("curIndexes"), "-1");
    EXPECT_EQ(options->tableView()->numberOfRowsInSection(0), 2);
    EXPECT_EQ(provider->enumerations, 1);
}

TEST_F(SHKFormOptionTest, AProviderThatFindsNothingLeadsToNoOptions)
{
    for (bool fails : { false, true }) {
        auto [provider, info, client, options] = providerPicker("-1");
        options->view();
        if (fails)
            options->optionsEnumerationFailedWithError(fnd::Error::withDescription("test", 1, "offline"));
        else
            options->optionsEnumerated(fnd::Array::create());

        EXPECT_EQ(alertTexts(), (std::vector<std::string> { "No Options: Could not find any Colours [Cancel]" })) << fails;
        EXPECT_TRUE(client->picks.empty());
        alerts().front()->pressButtonWithTitle("Cancel");
        settle();
        ASSERT_EQ(client->picks.size(), 1u);
        EXPECT_EQ(client->picks[0], std::nullopt);
        EXPECT_TRUE(alerts().empty());
    }
}

TEST_F(SHKFormOptionTest, CancelStopsAFetchingProvider)
{
    auto [provider, info, client, options] = providerPicker("-1");
    options->view();
    options->cancel();
    EXPECT_EQ(provider->cancellations, 1);
    EXPECT_FALSE(options->provider());
    ASSERT_EQ(client->picks.size(), 1u);
}

TEST_F(SHKFormOptionTest, MissingOptionInformationIsAProgrammingError)
{
    std::vector<std::string> messages;
    fnd::ScopedAssertionHandler handler([&](const fnd::AssertionInfo& info) { messages.push_back(info.message); });
    auto check = [&](fnd::Ref<fnd::MutableDictionary> info) {
        auto options = SHKFormOptionController::createWithOptionsInfoClient(
            SHKFormFieldSettings::create("A", "a", FormFieldKind::OptionPicker, std::nullopt, std::move(info)), std::make_shared<OptionClient>());
        options->view();
    };
    auto withoutKey = [](std::string_view key) {
        auto info = pickerInfo(texts({ "x" }), "-1", true);
        info->removeObjectForKey(key);
        return info;
    };
    check(withoutKey("curIndexes"));
    check(withoutKey("itemsList"));
    check(withoutKey("static"));
    check(pickerInfo(nullptr, "-1", true));
    check(pickerInfo(texts({ "x" }), "-1", false));
    EXPECT_EQ(messages, (std::vector<std::string> { "Sharing: missing the cur selection value", "Sharing: missing the itemsList", "Sharing: missing the static flag",
                            "Sharing: there must be some choices or it must be not static", "Sharing: if you are not static you must give a provider" }));
}

TEST_F(SHKFormOptionTest, APickerRowOutsideTheFirstSectionTakesItsPick)
{
    auto info = pickerInfo(texts({ "Red", "Green" }), "-1", true);
    auto form = present({ { field("Name", "name", FormFieldKind::Text) }, { SHKFormFieldSettings::create("Colour", "colour", FormFieldKind::OptionPicker, "None", info) } });
    form->tableView()->selectRowByUser(ui::IndexPath::forRow(0, 1));
    settle();
    topOptions(*form)->tableView()->selectRowByUser(ui::IndexPath::forRow(1, 0));
    settle();
    EXPECT_EQ(form->formValuesForSection(1), (SHKFormValues { { "colour", "Green" } }));
    EXPECT_EQ(cellAt(*form, 0, 1)->detailTextLabel()->text(), "Green");
}

}
