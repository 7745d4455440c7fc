#include "platform/foundation/Date.h"

#include "platform/foundation/Clock.h"

#include <cmath>
#include <ctime>
#include <functional>

namespace fnd {

Ref<Date> Date::now()
{
    return withTimeIntervalSince1970(Clock::current().now());
}

Ref<Date> Date::distantFuture()
{
    return withTimeIntervalSince1970(64092211200);
}

Ref<Date> Date::withTimeIntervalSince1970(double seconds)
{
    return std::make_shared<Date>(seconds);
}

Date::Date(double secondsSince1970)
    : m_seconds(secondsSince1970)
{
}

double Date::timeIntervalSinceNow() const
{
    return m_seconds - Clock::current().now();
}

size_t Date::hash() const
{
    return std::hash<double>()(m_seconds);
}

bool Date::isEqual(const Object& other) const
{
    auto* date = dynamic_cast<const Date*>(&other);
    return date && date->m_seconds == m_seconds;
}

std::string Date::description() const
{
    time_t seconds = static_cast<time_t>(std::floor(m_seconds));
    struct tm parts {};
    gmtime_r(&seconds, &parts);
    char buffer[64];
    strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S +0000", &parts);
    return buffer;
}

}
