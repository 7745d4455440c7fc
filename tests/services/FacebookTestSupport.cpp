#include "FacebookTestSupport.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/network/Reachability.h"
#include "platform/graphics/ImageContext.h"
#include "platform/security/Keychain.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/ModalPanelRegistry.h"
#include "services/ServiceEndpoints.h"
#include "services/facebook/SHKFacebook.h"
#include "sharing/core/MySHKConfigurator.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKConfiguration.h"
#include "sharing/ui/SHKActivityIndicator.h"
#include "support/ui/SimulatedDevice.h"

namespace brenzo::testing {

namespace {

void resetEverything()
{
    SHKFacebook::resetForTesting();
    SHK::resetForTesting();
    SHKActivityIndicator::currentIndicator().resetForTesting();
    resetSimulatedDevice();
    ServiceEndpoints::shared().reset();
}

}

FacebookTest::FacebookTest()
{
    sec::Keychain::setShared(sec::Keychain::createInMemory());
    SHKConfiguration::resetForTesting();
    SHKConfiguration::sharedInstanceWithConfigurator(std::make_shared<MySHKConfigurator>());
    resetEverything();
    net::Reachability::setOverride(net::ReachabilityFlag::Reachable | net::ReachabilityFlag::IsDirect);

    m_window = ui::Window::create();
    m_root = ui::ViewController::create();
    m_window->setRootViewController(m_root);
    m_window->makeKeyAndVisible();
    SHK::setRootViewController(m_root);

    for (auto name : { "SHKSendDidStartNotification", "SHKSendDidFinish", "SHKSendDidFailWithError", "SHKSendDidCancel", "SHKAuthDidFinish" }) {
        m_observers.push_back(fnd::NotificationCenter::defaultCenter().addObserver(name, nullptr, [this, name](const fnd::Notification&) {
            m_notifications.push_back(name);
        }));
    }
}

FacebookTest::~FacebookTest()
{
    m_observers.clear();
    m_server.releaseWaiters();
    resetEverything();
    net::Reachability::clearOverride();
    SHKConfiguration::resetForTesting();
    sec::Keychain::setShared(nullptr);
}

void FacebookTest::startServer()
{
    m_server.start();
    auto base = m_server.url("");
    ASSERT_FALSE(ServiceEndpoints::shared().apply({ { "fb.graph", base }, { "fb.rest", base }, { "fb.m", base }, { "fb.login", base } }));
}

bool FacebookTest::settle(const std::function<bool()>& condition)
{
    bool reached = fnd::RunLoop::main().runUntil(condition, 20);
    ui::Application::shared().layoutIfNeeded();
    return reached;
}

void FacebookTest::runUntilIdle()
{
    m_time.runUntilIdle();
}

size_t FacebookTest::notificationCount(const std::string& name) const
{
    return std::count(m_notifications.begin(), m_notifications.end(), name);
}

const std::vector<std::string>& FacebookTest::openedURLs() const
{
    return ui::Application::shared().openedURLs();
}

std::vector<std::string> FacebookTest::alertTexts()
{
    std::vector<std::string> texts;
    for (auto& panel : ui::ModalPanelRegistry::shared().panels()) {
        if (auto alert = std::dynamic_pointer_cast<ui::AlertView>(panel))
            texts.push_back(alert->title() + ": " + alert->message());
    }
    return texts;
}

std::string ReceivedCall::param(const std::string& name) const
{
    auto found = params.find(name);
    return found == params.end() ? "<absent>" : found->second;
}

void CallLog::record(const httplib::Request& request)
{
    std::lock_guard guard(m_lock);
    m_calls.push_back({ request.method, request.path, request.params, request.files, request.get_header_value("User-Agent"),
        request.get_header_value("Content-Type") });
}

std::vector<ReceivedCall> CallLog::calls() const
{
    std::lock_guard guard(m_lock);
    return m_calls;
}

size_t CallLog::count() const
{
    std::lock_guard guard(m_lock);
    return m_calls.size();
}

}
