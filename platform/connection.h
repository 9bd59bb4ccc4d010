#pragma once
// The wizard's open database connection, as far as the generators ask it:
// provider properties read by name.
#include <map>
#include <optional>
#include <string>

namespace rw {

class Connection {
public:
    virtual ~Connection() = default;
    // The value of a provider property; a property the provider does not
    // have throws RuntimeError 3265, as a missing ADO property does.
    virtual std::string property(const std::string& name) const = 0;
};

// Throws the error of a property that does not exist.
[[noreturn]] void throwMissingProperty();

// A connection that answers from fixed values (an offline answers file, or
// a test): properties not set do not exist.
class OfflineConnection final : public Connection {
public:
    OfflineConnection() = default;
    OfflineConnection(std::optional<std::string> dbmsName, std::optional<std::string> dataSourceName);
    std::string property(const std::string& name) const override;
    void set(const std::string& name, std::string value) { properties_[name] = std::move(value); }

private:
    std::map<std::string, std::string> properties_;
};

}  // namespace rw
