#pragma once

#include "SharingScreenTest.h"
#include "TwitterFakeService.h"
#include "RecordingSharerDelegate.h"

#include "platform/foundation/RunLoop.h"
#include "platform/ui/NavigationController.h"
#include "services/ServiceEndpoints.h"
#include "services/twitter/SHKTwitter.h"
#include "sharing/core/MySHKConfigurator.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKSharerDelegate.h"
#include "sharing/ui/SHKOAuthView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace brenzo::testing {

// The application's configuration with the Twitter keys a test sets.
class TwitterTestConfigurator : public MySHKConfigurator {
public:
    std::string twitterConsumerKey() const override { return consumerKey; }
    std::string twitterSecret() const override { return secret; }
    std::string twitterCallbackUrl() const override { return callbackURL; }
    int64_t twitterUseXAuth() const override { return useXAuth ? 1 : 0; }
    std::string twitterUsername() const override { return username; }
    std::string bitLyLogin() const override { return shortenerLogin; }
    std::string bitLyKey() const override { return shortenerKey; }
    bool forcePreIOS5TwitterAccess() const override { return forcePreIOS5; }

    std::string consumerKey = TwitterFakeService::consumerKey;
    std::string secret = TwitterFakeService::consumerSecret;
    std::string callbackURL = TwitterFakeService::callback;
    bool useXAuth = false;
    std::string username;
    std::string shortenerLogin;
    std::string shortenerKey;
    bool forcePreIOS5 = false;
};

// A Twitter sharer's world: the fake service behind every Twitter endpoint, the configuration
// above, and a screen to show the sharing screens on.
class TwitterTest : public SharingScreenTest {
protected:
    TwitterTest()
        : TwitterTest(std::make_shared<TwitterTestConfigurator>())
    {
    }

    explicit TwitterTest(std::shared_ptr<TwitterTestConfigurator> configurator)
        : SharingScreenTest(configurator)
        , m_configuration(std::move(configurator))
    {
        ServiceEndpoints::shared().apply({ { "tw.api", m_service.url("") }, { "tw.shortener", m_service.url("") }, { "tw.pichost", m_service.url("") } });
    }

    ~TwitterTest() override { ServiceEndpoints::shared().reset(); }

    std::shared_ptr<SHKTwitter> makeSharer(fnd::Ref<SHKItem> item)
    {
        auto sharer = SHKSharer::create<SHKTwitter>();
        sharer->setItem(std::move(item));
        sharer->setShareDelegate(m_delegate);
        return sharer;
    }

    // Stores the access token the fake service knows, as a finished login would.
    static void storeLogin()
    {
        SHK::setAuthValueForKeyForSharer(TwitterFakeService::accessToken, "accessKey", "SHKTwitter");
        SHK::setAuthValueForKeyForSharer(TwitterFakeService::accessTokenSecret, "accessSecret", "SHKTwitter");
    }

    bool waitFor(const std::function<bool()>& condition)
    {
        bool met = fnd::RunLoop::main().runUntil(condition, 20);
        settle();
        return met;
    }

    bool waitForEvents(size_t count)
    {
        return waitFor([&] { return m_delegate->events.size() >= count; });
    }

    template<typename Controller>
    std::shared_ptr<Controller> shown()
    {
        settle();
        auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(SHK::currentHelper().currentView());
        return navigation ? std::dynamic_pointer_cast<Controller>(navigation->topViewController()) : nullptr;
    }

    std::shared_ptr<SHKOAuthView> waitForAuthorizePage()
    {
        std::shared_ptr<SHKOAuthView> view;
        waitFor([&] {
            view = shown<SHKOAuthView>();
            return view && !view->webView()->isLoading() && !view->webView()->shownPages().empty();
        });
        return view;
    }

    std::string problems() const
    {
        std::string text;
        for (auto& problem : m_service.problems())
            text += problem + "\n";
        return text;
    }

    static std::shared_ptr<RecordingSharerDelegate> makeDelegate()
    {
        return std::make_shared<RecordingSharerDelegate>(RecordingSharerDelegate::Failures::WithDomainCodeAndMessage);
    }

    TwitterFakeService m_service;
    std::shared_ptr<TwitterTestConfigurator> m_configuration;
    std::shared_ptr<RecordingSharerDelegate> m_delegate = makeDelegate();
};

}
