// Generation time against schema size. Each case generates the object class
// and the collection class of N tables of 20 columns into an in-memory file
// system, removing each file once it is closed so that memory stays flat.
// The fitted complexity should be O(N): a generator that scans the whole
// grid per table shows up here as O(N^2).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "model/field_grid.h"
#include "model/gen_context.h"
#include "model/names.h"
#include "gen/collection/coll_file.h"
#include "gen/object/object_class.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/file_system.h"
#include "platform/text_files.h"
#include "platform/ui.h"
#include "support/memory_file_system.h"
#include "support/scripted_ui.h"

namespace {

constexpr int kColumns = 20;
constexpr int kTypes[] = {130, 3, 129, 2, 17, 4, 5, 6, 11, 135, 7, 8, 20, 72, 128};

struct Schema {
    rw::FieldGrid grid;
    std::vector<std::string> tables;
};

Schema makeSchema(int tableCount) {
    Schema schema;
    for (int t = 1; t <= tableCount; ++t) {
        const std::string table = (t % 7 == 0 ? "Bench Table " : "BenchTable") + std::to_string(t);
        schema.tables.push_back(table);
        for (int c = 0; c < kColumns; ++c) {
            rw::FieldRow row;
            row.table = table;
            row.field = c == 0 ? "ID" : (c % 10 == 5 ? "Value " : "Value") + std::to_string(c);
            row.primary = c == 0 || (c == 1 && t % 5 == 0);
            row.autoNumber = c == 0 && t % 3 == 0;
            row.dataType = static_cast<std::int16_t>(c == 0 ? 3 : kTypes[(t + c) % std::size(kTypes)]);
            row.nullable = c % 3 != 0;
            schema.grid.append(std::move(row));
        }
    }
    return schema;
}

void BM_TableClasses(benchmark::State& state) {
    const Schema schema = makeSchema(static_cast<int>(state.range(0)));
    std::vector<std::string> classBases;
    for (const auto& table : schema.tables) classBases.push_back(rw::classBaseName(table));

    rw::GenerationSettings settings;
    settings.mbErrorHandler = settings.mbCode = settings.mbModuleHeaders = settings.mbFunctionHeaders =
        settings.mbDevNotes = true;
    settings.mbActiveXDll = true;
    settings.msStoreDir = "/out";
    rw::MemoryFileSystem fs;
    fs.createDirectories("/out");
    rw::FileTable files(fs);
    rw::ScriptedUi ui;
    rw::FixedClock clock(rw::DateTime{2026, 12, 5, 8, 17, 21});
    rw::OfflineConnection conn(std::string("Microsoft SQL Server"), std::string("Bench"));
    rw::GenContext ctx{settings, schema.grid, conn, ui, clock, files};

    rw::TableNames names;
    for (auto _ : state) {
        for (std::size_t i = 0; i < schema.tables.size(); ++i) {
            const std::string objectPath = "/out/cls" + classBases[i] + ".cls";
            const std::string collPath = "/out/cls" + classBases[i] + "Coll.cls";
            const int coll = files.openForOutput(collPath);
            names.assign(schema.grid, schema.tables[i]);
            rw::msGenCollFile(ctx, coll, names, "OleDll");
            files.close(coll);
            const int object = files.openForOutput(objectPath);
            rw::msGenObjectFile(ctx, object, names, "OleDll");
            files.close(object);
            fs.remove(collPath);
            fs.remove(objectPath);
        }
    }
    if (!ui.messages.empty()) state.SkipWithError(("a generator showed: " + ui.messages.front().text).c_str());
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0) * kColumns);
    state.counters["field_rows"] = static_cast<double>(state.range(0) * kColumns);
}

BENCHMARK(BM_TableClasses)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
