#pragma once

#include "platform/foundation/Array.h"
#include "platform/foundation/Error.h"
#include "platform/ui/AlertViewDelegate.h"
#include "platform/ui/TableViewController.h"
#include "sharing/ui/SHKFormFieldSettings.h"
#include "sharing/ui/SHKFormOptionControllerClient.h"
#include "sharing/ui/SHKFormOptionControllerOptionProvider.h"

#include <memory>
#include <optional>
#include <string>

// The choices of an option-picker row, one per table row, the chosen ones checked. The list is
// given in the row's option-picker information or fetched by its provider (the activity indicator
// shows "Loading..." meanwhile). A single choice is passed to the client at once; several are
// toggled and passed with Done. Cancel passes nothing.
class SHKFormOptionController : public ui::TableViewController, public ui::AlertViewDelegate {
public:
    static std::shared_ptr<SHKFormOptionController> createWithOptionsInfoClient(fnd::Ref<SHKFormFieldSettings>, const std::shared_ptr<SHKFormOptionControllerClient>&);
    SHKFormOptionController();

    std::string_view className() const override { return "SHKFormOptionController"; }

    const fnd::Ref<SHKFormFieldSettings>& settings() const { return m_settings; }
    // Not retained.
    std::shared_ptr<SHKFormOptionControllerClient> client() const { return m_client.lock(); }
    // The provider while it is fetching.
    const fnd::Ref<SHKFormOptionControllerOptionProvider>& provider() const { return m_provider; }
    bool didLoad() const { return m_didLoad; }

    // From the provider. An empty list is reported as finding nothing.
    void optionsEnumerated(fnd::Ref<fnd::Array> options);
    void optionsEnumerationFailedWithError(const fnd::Ref<fnd::Error>&);

    void cancel();
    void done();

    void viewDidLoad() override;

    int numberOfRowsInSection(ui::TableView&, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override;
    void didSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override;

    void clickedButtonAtIndex(ui::AlertView&, int buttonIndex) override;

private:
    void updateFromOptions();
    fnd::Ref<fnd::Array> items() const;
    std::string selection() const;
    void setSelection(std::string);
    bool allowsMultiple() const;
    bool isStatic() const;
    void addDoneButton();
    void showNoOptions();

    fnd::Ref<SHKFormFieldSettings> m_settings;
    std::weak_ptr<SHKFormOptionControllerClient> m_client;
    fnd::Ref<SHKFormOptionControllerOptionProvider> m_provider;
    bool m_didLoad = false;
};
