#include "SharingScreenTest.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/URLLoader.h"
#include "platform/network/Reachability.h"
#include "platform/ui/Application.h"
#include "platform/ui/ModalPanelRegistry.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKSharer.h"
#include "sharing/ui/SHKActivityIndicator.h"
#include "sharing/ui/SHKFormController.h"
#include "sharing/ui/SHKFormFieldCell.h"
#include "support/ui/SimulatedDevice.h"

namespace brenzo::testing {

namespace {

void resetScreens()
{
    SHKActivityIndicator::currentIndicator().resetForTesting();
    resetSimulatedDevice();
}

}

SharingScreenTest::SharingScreenTest(std::shared_ptr<const DefaultSHKConfigurator> configurator)
    : m_environment(std::move(configurator))
{
    resetScreens();
    m_window = ui::Window::create();
    m_root = ui::ViewController::create();
    m_window->setRootViewController(m_root);
    m_window->makeKeyAndVisible();
    SHK::setRootViewController(m_root);
    setOnline(true);
    settle();
}

SharingScreenTest::~SharingScreenTest()
{
    // A request still on its way holds its sharer until its report is run: let it end here.
    fnd::RunLoop::main().runUntil([] { return fnd::URLLoader::shared().transfersUnderWay() == 0; }, 60);
    m_time.runUntilIdle();
    SHK::resetForTesting();
    resetScreens();
    net::Reachability::clearOverride();
}

void SharingScreenTest::settle()
{
    m_time.runUntilIdle();
    ui::Application::shared().layoutIfNeeded();
    m_time.runUntilIdle();
}

void SharingScreenTest::setOnline(bool online)
{
    if (online)
        net::Reachability::setOverride(net::ReachabilityFlag::Reachable | net::ReachabilityFlag::IsDirect);
    else
        net::Reachability::setOverride(net::ReachabilityFlags());
}

std::shared_ptr<SHKFormController> SharingScreenTest::shownForm()
{
    settle();
    m_time.advance(SHK::pendingViewDelay);
    settle();
    auto sharer = std::dynamic_pointer_cast<SHKSharer>(SHK::currentHelper().currentView());
    if (!sharer || SHK::currentHelper().isDismissingView())
        return nullptr;
    auto form = std::dynamic_pointer_cast<SHKFormController>(sharer->topViewController());
    if (form)
        form->tableView()->layoutIfNeeded();
    return form;
}

std::shared_ptr<SHKFormFieldCell> SharingScreenTest::cellAt(SHKFormController& form, int row, int section)
{
    return std::dynamic_pointer_cast<SHKFormFieldCell>(form.tableView()->cellForRowAtIndexPath(ui::IndexPath::forRow(row, section)));
}

void SharingScreenTest::type(SHKFormController& form, int row, std::string_view text)
{
    auto field = cellAt(form, row)->getTextField();
    ASSERT_TRUE(field->becomeFirstResponder());
    field->insertText(text);
}

std::vector<std::shared_ptr<ui::AlertView>> SharingScreenTest::alerts()
{
    std::vector<std::shared_ptr<ui::AlertView>> found;
    for (auto& panel : ui::ModalPanelRegistry::shared().panels()) {
        if (auto alert = std::dynamic_pointer_cast<ui::AlertView>(panel))
            found.push_back(std::move(alert));
    }
    return found;
}

std::vector<std::string> SharingScreenTest::alertTexts()
{
    std::vector<std::string> texts;
    for (auto& alert : alerts()) {
        std::string text = alert->title() + ": " + alert->message();
        for (int index = 0; index < alert->numberOfButtons(); ++index)
            text += " [" + alert->buttonTitleAtIndex(index) + "]";
        texts.push_back(std::move(text));
    }
    return texts;
}

}
