#include "support/golden.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/cp1252.h"

namespace rw::test {
namespace {

std::string goldenPath(const std::string& name) { return std::string(RW_GOLDEN_DIR) + "/" + name; }

std::string lineAt(const std::string& bytes, std::size_t index) {
    std::size_t start = 0;
    for (std::size_t k = 0; k < index; ++k) {
        const auto next = bytes.find('\n', start);
        if (next == std::string::npos) return "<end of file>";
        start = next + 1;
    }
    const auto end = bytes.find('\n', start);
    return cp1252::toUtf8(bytes.substr(start, end == std::string::npos ? std::string::npos : end - start + 1));
}

}  // namespace

std::string readable(const std::string& bytes) {
    std::string text = cp1252::toUtf8(bytes);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

void expectGolden(const std::string& name, const std::string& actual) {
    const std::string path = goldenPath(name);
    const char* update = std::getenv("RW_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
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
    const std::string want = expected.str();
    if (want == actual) return;
    std::size_t line = 0;
    std::size_t i = 0;
    while (i < want.size() && i < actual.size() && want[i] == actual[i]) {
        if (want[i] == '\n') ++line;
        ++i;
    }
    ADD_FAILURE() << "generated text differs from " << name << " at line " << line + 1 << "\n  expected: ["
                  << lineAt(want, line) << "]\n  actual:   [" << lineAt(actual, line) << "]";
}

}  // namespace rw::test
