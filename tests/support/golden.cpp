#include "support/golden.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/cp1252.h"

namespace rw::test {

std::string readable(const std::string& bytes) {
    std::string text = cp1252::toUtf8(bytes);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') out += text[i];
    }
    return out;
}

void expectGolden(const std::string& name, const std::string& actual) {
    const std::string path = std::string(RW_GOLDEN_DIR) + "/" + name;
    if (const char* update = std::getenv("RW_UPDATE_GOLDEN"); update != nullptr && std::string(update) == "1") {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "golden file missing: " << path << " (run scripts/refresh-golden)";
        return;
    }
    std::stringstream expected;
    expected << in.rdbuf();
    if (expected.str() == actual) return;
    // The first line that differs (an ended text reads as an empty line).
    std::istringstream want(expected.str()), got(actual);
    std::string w, g;
    int line = 0;
    do {
        ++line;
        std::getline(want, w);
        std::getline(got, g);
    } while (w == g && (want || got));
    ADD_FAILURE() << "generated text differs from " << name << " at line " << line << "\n  expected: ["
                  << cp1252::toUtf8(w) << "]\n  actual:   [" << cp1252::toUtf8(g) << "]";
}

}  // namespace rw::test
