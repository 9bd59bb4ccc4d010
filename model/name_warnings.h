#pragma once
// Names that are generated as given but make Visual Basic code that does
// not compile, or that calls a property where it means a function: one
// plain warning line per name, for the user to see after the run.
#include <string>
#include <unordered_set>
#include <vector>

#include "model/field_grid.h"

namespace rw {

// One line per such table or column of the tables not in `refused`, in grid
// order, each "warning: <table>[.<column>]: <why> (<what follows>)".
std::vector<std::string> nameWarnings(const FieldGrid& grid, const std::unordered_set<std::string>& refused);

}  // namespace rw
