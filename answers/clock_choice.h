#pragma once
// The clock that dates a run's output, chosen from what the program was
// given: a fixed moment, else SOURCE_DATE_EPOCH, else the machine's clock.
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/clock.h"

namespace rw {

// A malformed --now or SOURCE_DATE_EPOCH; the message names which.
struct ClockChoiceError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// `now` (--now YYYY-MM-DDTHH:MM:SS), else `sourceDateEpoch` when it is not
// empty (seconds since 1970, read as UTC, so reproducible builds give the
// same text anywhere), else the machine's clock. Throws ClockChoiceError.
std::unique_ptr<Clock> chooseClock(const std::optional<std::string>& now,
                                   const std::optional<std::string>& sourceDateEpoch);

}  // namespace rw
