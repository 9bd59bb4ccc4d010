#pragma once
// The add-in's own version information, which the generated comments quote.
#include "model/version.h"

namespace rw::product {

inline constexpr const char* kDisplayName = "Rowwright";
inline constexpr const char* kCopyright = " 2026 Rowwright contributors";
inline constexpr const char* kComments = "Data-access code generated from the database schema.";

}  // namespace rw::product
