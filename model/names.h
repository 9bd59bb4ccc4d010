#pragma once
// Naming rules for generated classes, properties and SQL field names.
#include <string>
#include <string_view>

namespace rw {

// The text with its first character upper-cased. Only a character whose
// upper-case form is one character and both exist in Windows-1252 changes
// ("é" gives "É"; "ß" and "µ" stay).
std::string upperFirst(std::string_view text);
void appendUpperFirst(std::string& out, std::string_view text);

// The table name with its first character upper-cased, then every "#",
// "~", "?" and space removed.
std::string classBaseName(std::string_view table);

// The column name with its first character upper-cased, then every space
// replaced by "_".
std::string propertyName(std::string_view field);
void appendPropertyName(std::string& out, std::string_view field);

// The column name in "[" and "]" when it contains a space.
std::string bracketedFieldName(std::string_view field);

// The table name in "[" and "]" when it contains a space.
std::string bracketedTableName(std::string_view table);

bool containsSpace(std::string_view text);

// The name in Windows-1252 with every letter upper-cased, for comparing
// names as Visual Basic does: case-insensitively, character by character
// ("é" equals "É").
std::string nameKey(std::string_view name);
// The same made in `key`, reusing its storage.
void assignNameKey(std::string& key, std::string_view name);

}  // namespace rw
