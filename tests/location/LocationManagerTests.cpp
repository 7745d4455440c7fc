#include "platform/location/LocationManager.h"
#include "platform/location/LocationSimulator.h"
#include "support/VirtualTime.h"

#include <gtest/gtest.h>

namespace brenzo::testing {
namespace {

struct Delivery {
    loc::Location location;
    std::optional<loc::Location> previous;
};

class RecordingDelegate : public loc::LocationManagerDelegate {
public:
    void locationManagerDidUpdateToLocation(loc::LocationManager&, const loc::Location& location, const std::optional<loc::Location>& previous) override
    {
        deliveries.push_back({ location, previous });
    }
    void locationManagerDidFailWithError(loc::LocationManager&, const fnd::Ref<fnd::Error>& error) override { errors.push_back(error); }

    std::vector<Delivery> deliveries;
    std::vector<fnd::Ref<fnd::Error>> errors;
};

class LocationManagerTest : public ::testing::Test {
protected:
    LocationManagerTest()
    {
        loc::LocationSimulator::resetForTesting();
        m_manager->setDelegate(m_delegate);
    }
    ~LocationManagerTest() override { loc::LocationSimulator::resetForTesting(); }

    static loc::Location at(double latitude, double longitude, double accuracy = 10)
    {
        return { .latitude = latitude, .longitude = longitude, .horizontalAccuracy = accuracy };
    }

    VirtualTime m_time;
    std::shared_ptr<loc::LocationManager> m_manager = loc::LocationManager::create();
    std::shared_ptr<RecordingDelegate> m_delegate = std::make_shared<RecordingDelegate>();
};

TEST_F(LocationManagerTest, FixesArriveOnTheMainLoopWhileRunningWithThePreviousFixOfTheRun)
{
    loc::LocationSimulator::setFix(at(52.37, 4.89));
    m_manager->startUpdatingLocation();
    EXPECT_TRUE(m_delegate->deliveries.empty());
    m_time.runUntilIdle();
    ASSERT_EQ(m_delegate->deliveries.size(), 1u);
    EXPECT_EQ(m_delegate->deliveries[0].location.latitude, 52.37);
    EXPECT_FALSE(m_delegate->deliveries[0].previous);
    EXPECT_EQ(loc::LocationManager::authorizationStatus(), loc::AuthorizationStatus::Authorized);

    loc::LocationSimulator::setFix(at(48.85, 2.35, 65));
    m_time.runUntilIdle();
    ASSERT_EQ(m_delegate->deliveries.size(), 2u);
    EXPECT_EQ(m_delegate->deliveries[1].location.horizontalAccuracy, 65);
    ASSERT_TRUE(m_delegate->deliveries[1].previous);
    EXPECT_EQ(m_delegate->deliveries[1].previous->latitude, 52.37);
    EXPECT_EQ(m_manager->location(), m_delegate->deliveries[1].location);

    // A fix posted before the stop is not delivered after it; a new run starts without a previous fix.
    loc::LocationSimulator::setFix(at(1, 1));
    m_manager->stopUpdatingLocation();
    m_time.runUntilIdle();
    EXPECT_EQ(m_delegate->deliveries.size(), 2u);
    m_manager->startMonitoringSignificantLocationChanges();
    m_time.runUntilIdle();
    ASSERT_EQ(m_delegate->deliveries.size(), 3u);
    EXPECT_FALSE(m_delegate->deliveries[2].previous);
    EXPECT_TRUE(m_delegate->errors.empty());
}

TEST_F(LocationManagerTest, ServicesOffOrDeniedFailTheManager)
{
    loc::LocationSimulator::setFix(at(52.37, 4.89));
    loc::LocationSimulator::setServicesEnabled(false);
    EXPECT_FALSE(loc::LocationManager::locationServicesEnabled());
    m_manager->startUpdatingLocation();
    m_time.runUntilIdle();
    EXPECT_TRUE(m_delegate->deliveries.empty());
    ASSERT_EQ(m_delegate->errors.size(), 1u);
    EXPECT_EQ(m_delegate->errors[0]->domain(), "kCLErrorDomain");
    EXPECT_EQ(m_delegate->errors[0]->code(), loc::LocationManager::Denied);
    EXPECT_FALSE(m_manager->isUpdatingLocation());

    loc::LocationSimulator::setServicesEnabled(true);
    m_manager->startUpdatingLocation();
    m_time.runUntilIdle();
    EXPECT_EQ(m_delegate->deliveries.size(), 1u);
    loc::LocationSimulator::setAuthorizationStatus(loc::AuthorizationStatus::Denied);
    loc::LocationSimulator::setFix(at(0, 0));
    m_time.runUntilIdle();
    EXPECT_EQ(m_delegate->deliveries.size(), 1u);
    EXPECT_EQ(m_delegate->errors.size(), 2u);
    EXPECT_FALSE(m_manager->isUpdatingLocation());
}

TEST_F(LocationManagerTest, SignificantChangesGiveNothingWhereUnavailable)
{
    loc::LocationSimulator::setSignificantChangeAvailable(false);
    loc::LocationSimulator::setFix(at(52.37, 4.89));
    EXPECT_FALSE(loc::LocationManager::significantLocationChangeMonitoringAvailable());
    m_manager->startMonitoringSignificantLocationChanges();
    m_time.runUntilIdle();
    EXPECT_FALSE(m_manager->isMonitoringSignificantLocationChanges());
    EXPECT_TRUE(m_delegate->deliveries.empty());

    // A manager that goes away while a fix is on its way is simply skipped.
    m_manager->startUpdatingLocation();
    m_manager.reset();
    m_time.runUntilIdle();
    EXPECT_TRUE(m_delegate->deliveries.empty());
    loc::LocationSimulator::setFix(at(1, 2));
    m_time.runUntilIdle();
    EXPECT_TRUE(m_delegate->deliveries.empty());
}

TEST(LocationTest, DescriptionsAndStatusNames)
{
    loc::Location fix { .latitude = 52.374031, .longitude = -4.88969, .horizontalAccuracy = 65 };
    EXPECT_EQ(fix.description(), "52.37403,-4.88969 \u00B165 m");
    fix.altitude = 12;
    fix.verticalAccuracy = 8;
    EXPECT_EQ(fix.description(), "52.37403,-4.88969 \u00B165 m, altitude 12 \u00B18 m");
    EXPECT_EQ(loc::authorizationStatusNamed("denied"), loc::AuthorizationStatus::Denied);
    EXPECT_EQ(loc::authorizationStatusName(loc::AuthorizationStatus::NotDetermined), "not-determined");
    EXPECT_FALSE(loc::authorizationStatusNamed("maybe"));
}

}
}
