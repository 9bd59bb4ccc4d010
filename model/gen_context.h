#pragma once
// Everything a generator reads and writes through, passed explicitly: the
// settings, the field rows, the wizard's connection, the user interface,
// the clock and the table of open files.
#include <string>
#include <string_view>

#include "model/field_grid.h"
#include "model/settings.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/runtime_error.h"
#include "platform/text_files.h"
#include "platform/ui.h"

namespace rw {

struct GenContext {
    const GenerationSettings& settings;
    const FieldGrid& grid;
    const Connection& conn;
    Ui& ui;
    Clock& clock;
    FileTable& files;

    TextFile& file(int number) { return files.at(number); }
    // The connection's "DBMS Name", read at the moment a decision needs it.
    std::string dbmsName() const { return conn.property("DBMS Name"); }
};

// Runs `body` under its own error handler: a RuntimeError is shown with the
// source followed by " (" + where + ")", and ends only this operation.
// Returns false when an error was shown.
template <class Body>
bool guarded(Ui& ui, std::string_view where, Body&& body) {
    try {
        body();
        return true;
    } catch (const RuntimeError& e) {
        ShowError(ui, e.number, e.source + " (" + std::string(where) + ")", e.description, e.subject);
        return false;
    }
}

}  // namespace rw
