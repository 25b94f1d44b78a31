// Sets the process's time zone (the TZ variable) for the lifetime of the
// object and restores the previous one afterwards.
#ifndef CAELO_TESTS_TEST_TIME_ZONE_H
#define CAELO_TESTS_TEST_TIME_ZONE_H

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace caelo::test {

class TimeZone {
public:
    explicit TimeZone(const char* zone) {
        if (const char* previous = std::getenv("TZ")) {
            previous_ = previous;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone() {
        if (previous_) {
            setenv("TZ", previous_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;

private:
    std::optional<std::string> previous_;
};

} // namespace caelo::test

#endif
