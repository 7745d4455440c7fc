#include "services/ServiceEndpoints.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class ServiceEndpointsTest : public ::testing::Test {
protected:
    void TearDown() override { ServiceEndpoints::shared().reset(); }

    std::filesystem::path writeFile(const std::string& text)
    {
        auto path = m_directory.path() / "services.txt";
        std::ofstream(path) << text;
        return path;
    }

    brenzo::testing::TemporaryDirectory m_directory;
};

TEST_F(ServiceEndpointsTest, DefaultsAreWellFormedProductionAddresses)
{
    auto& endpoints = ServiceEndpoints::shared();
    for (auto& entry : ServiceEndpoints::entries()) {
        SCOPED_TRACE(entry.key);
        EXPECT_FALSE(ServiceEndpoints::validate(entry.key, entry.productionValue));
        EXPECT_EQ(endpoints.url(entry.key), entry.productionValue);
        EXPECT_FALSE(entry.productionValue.ends_with('/'));
        EXPECT_EQ(entry.productionValue.find("127.0.0.1"), std::string::npos);
    }
}

TEST_F(ServiceEndpointsTest, OverridesApplyWholeOrNotAtAll)
{
    auto& endpoints = ServiceEndpoints::shared();
    auto production = endpoints.url("tw.api");

    auto error = endpoints.apply({ { "fb.graph", "http://127.0.0.1:8080/" }, { "tw.api", "ftp://127.0.0.1" } });
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("tw.api"), std::string::npos);
    EXPECT_EQ(endpoints.url("fb.graph"), "https://graph.facebook.com");
    EXPECT_EQ(endpoints.url("tw.api"), production);

    EXPECT_FALSE(endpoints.apply({ { "fb.graph", "http://127.0.0.1:8080/" } }));
    EXPECT_EQ(endpoints.url("fb.graph"), "http://127.0.0.1:8080");
    EXPECT_THROW(endpoints.url("no.such.key"), std::out_of_range);
}

TEST_F(ServiceEndpointsTest, FileErrorsNameTheLineAndApplyNothing)
{
    auto& endpoints = ServiceEndpoints::shared();
    auto error = endpoints.applyFile(writeFile("# loopback peers\n\nfsq.api = http://127.0.0.1:9000/v2\nnot.a.key=http://127.0.0.1\n"));
    ASSERT_TRUE(error);
    EXPECT_NE(error->find(":4: unknown service endpoint \"not.a.key\""), std::string::npos) << *error;
    EXPECT_EQ(endpoints.url("fsq.api"), "https://api.foursquare.com/v2");

    error = endpoints.applyFile(writeFile("fsq.api http://127.0.0.1\n"));
    ASSERT_TRUE(error);
    EXPECT_NE(error->find(":1: expected key=address"), std::string::npos) << *error;
    EXPECT_TRUE(endpoints.applyFile(writeFile("greader.cookieDomain=http://x\n")));
    EXPECT_TRUE(endpoints.applyFile(writeFile("pinboard=http://127.0.0.1/?q=1\n")));
    EXPECT_TRUE(endpoints.applyFile(m_directory.path()));

    EXPECT_FALSE(endpoints.applyFile(writeFile("fsq.api = http://127.0.0.1:9000/v2\ngreader.cookieDomain=.127.0.0.1\n")));
    EXPECT_EQ(endpoints.url("fsq.api"), "http://127.0.0.1:9000/v2");
    EXPECT_EQ(endpoints.url("greader.cookieDomain"), ".127.0.0.1");
}

}
