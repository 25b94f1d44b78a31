// The fault plan: a test seam that makes chosen future calls of the host's
// interface table fail, so that a module's failure paths can be exercised.
//
// Operations are named after the table's functions: "CreateObject",
// "CreateTag", "AllocateInstance", "RegisterObjectType", "RegisterTagType",
// "RegisterHelpHook", "CreateDateValue", "CreateCurve", "ResizeCurve",
// "DefaultCopyNode", "ResizeArray", "LoadModuleResources", "LoadIcon",
// "SetCurve", "SetDateTime".
#ifndef CAELO_HOST_FAULT_PLAN_H
#define CAELO_HOST_FAULT_PLAN_H

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

namespace caelo::host {

// Example: application().faults().failCall("CreateTag", 2); // the second
// CreateTag from now on answers NULL; the first and third succeed.
class FaultPlan {
public:
    // Makes the n-th future call (n >= 1) of the operation fail.
    void failCall(std::string_view operation, std::int64_t nth = 1);
    // Makes every future call of the operation from the n-th on fail.
    void failCallsFrom(std::string_view operation, std::int64_t nth = 1);
    // Forgets every planned failure and every count.
    void clear();

    // Counts one call of the operation and answers whether it is to fail.
    // Called by the interface table only.
    [[nodiscard]] bool shouldFail(std::string_view operation);
    // Calls of the operation counted since start-up or the last clear().
    [[nodiscard]] std::int64_t calls(std::string_view operation) const;

private:
    struct Plan {
        std::int64_t calls = 0;
        std::set<std::int64_t> failingCalls;
        std::int64_t failFrom = 0; // 0: none
    };
    std::map<std::string, Plan, std::less<>> plans_;
};

} // namespace caelo::host

#endif
