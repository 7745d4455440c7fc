#pragma once

#include "platform/foundation/Object.h"

namespace fnd {

// A point in time, in seconds since 1970-01-01 00:00:00 UTC.
class Date final : public Object {
public:
    // The current time of the process clock (virtual in tests).
    static Ref<Date> now();
    static Ref<Date> withTimeIntervalSince1970(double seconds);
    // The start of the year 4001: later than any date the application meets, for what never expires.
    static Ref<Date> distantFuture();

    explicit Date(double secondsSince1970);

    double timeIntervalSince1970() const { return m_seconds; }
    double timeIntervalSinceDate(const Date& other) const { return m_seconds - other.m_seconds; }
    double timeIntervalSinceNow() const;
    Ref<Date> addingTimeInterval(double seconds) const { return withTimeIntervalSince1970(m_seconds + seconds); }

    std::string_view className() const override { return "Date"; }
    size_t hash() const override;
    bool isEqual(const Object&) const override;
    // "2011-03-01 12:00:00 +0000"
    std::string description() const override;

private:
    double m_seconds;
};

}
