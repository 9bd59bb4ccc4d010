#pragma once
// The per-user application settings store: text values by application,
// section and key. An application's values live in the QSettings of
// organization and application both named after it.
#include <string>

namespace rw::host {

// The stored value, or `defaultValue` when there is none.
std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                       const std::string& defaultValue = "");
// Stores the value; a store that cannot be written raises error 75.
void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& setting);

}  // namespace rw::host
