#include "host/faultPlan.h"

namespace caelo::host {

void FaultPlan::failCall(std::string_view operation, std::int64_t nth) {
    auto it = plans_.try_emplace(std::string(operation)).first;
    it->second.failingCalls.insert(it->second.calls + (nth < 1 ? 1 : nth));
}

void FaultPlan::failCallsFrom(std::string_view operation, std::int64_t nth) {
    auto it = plans_.try_emplace(std::string(operation)).first;
    it->second.failFrom = it->second.calls + (nth < 1 ? 1 : nth);
}

void FaultPlan::clear() {
    plans_.clear();
}

bool FaultPlan::shouldFail(std::string_view operation) {
    auto it = plans_.find(operation);
    if (it == plans_.end()) {
        it = plans_.try_emplace(std::string(operation)).first;
    }
    Plan& plan = it->second;
    ++plan.calls;
    return plan.failingCalls.erase(plan.calls) > 0 || (plan.failFrom > 0 && plan.calls >= plan.failFrom);
}

std::int64_t FaultPlan::calls(std::string_view operation) const {
    const auto it = plans_.find(operation);
    return it == plans_.end() ? 0 : it->second.calls;
}

} // namespace caelo::host
