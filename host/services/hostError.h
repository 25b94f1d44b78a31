// The error the host's C++ interface throws when a request cannot be met.
//
// The message is meant for the user as it stands: it names the input (a file,
// a node path, a parameter) and says what is wrong with it.
#ifndef CAELO_HOST_SERVICES_HOST_ERROR_H
#define CAELO_HOST_SERVICES_HOST_ERROR_H

#include <stdexcept>
#include <string>

namespace caelo::host {

// Thrown by the host's C++ interface (never across the C interface table).
// Example: try { loadScene("a.caelo"); } catch (const HostError& e) { std::cerr << e.what(); }
class HostError : public std::runtime_error {
public:
    explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace caelo::host

#endif
