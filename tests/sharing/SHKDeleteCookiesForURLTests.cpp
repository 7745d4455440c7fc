#include "platform/foundation/HTTPCookieStorage.h"
#include "platform/foundation/URLConnection.h"
#include "platform/foundation/URLRequest.h"
#include "sharing/core/SHKDeleteCookiesForURL.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

namespace {

void load(const std::string& address)
{
    fnd::Ref<fnd::Error> error;
    fnd::URLConnection::sendSynchronousRequest(fnd::URLRequest(fnd::URL::create(address)), nullptr, &error);
    ASSERT_FALSE(error) << error->description();
}

std::vector<std::string> cookieDomains()
{
    std::vector<std::string> domains;
    for (auto& cookie : fnd::HTTPCookieStorage::shared()->cookies())
        domains.push_back(cookie.domain);
    return domains;
}

}

TEST(SHKDeleteCookiesForURLTests, OnlyTheCookiesOfThatHostGo)
{
    auto storage = fnd::HTTPCookieStorage::shared();
    storage->deleteAllCookies();
    brenzo::testing::LoopbackServer server;
    server.http().Get("/login", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", "session=abc; Path=/");
        response.set_content("ok", "text/plain");
    });
    server.start();
    auto port = std::to_string(server.port());
    load("http://127.0.0.1:" + port + "/login");
    load("http://localhost:" + port + "/login");
    ASSERT_EQ(cookieDomains().size(), 2u);

    SHKDeleteCookiesForURL(*fnd::URL::create("http://127.0.0.1:" + port + "/somewhere/else"));
    EXPECT_EQ(cookieDomains(), std::vector<std::string> { "localhost" });
    storage->deleteAllCookies();
}
