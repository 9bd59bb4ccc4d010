#include "gen/printer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/cp1252.h"

namespace rw {
namespace {

// A template ready to write at one indent: `bytes` is its fixed text in
// Windows-1252 with CR LF and the indent; each piece is the fixed text up to
// `end` followed by the value named `name` (none after the last piece).
// A piece remembers where in the values its name was found last time (the
// position and the address of the name given there), so that a call site
// that passes the same names in the same order finds each value at once.
struct CompiledTemplate {
    struct Piece {
        std::size_t end;
        std::string_view name;
        std::size_t seenAt = 0;
        const char* seenName = nullptr;
    };
    std::string bytes;
    std::vector<Piece> pieces;
    // The number of pieces followed by a value.
    std::size_t values = 0;
};

CompiledTemplate compile(std::string_view text, int indent) {
    CompiledTemplate out;
    std::string fixed;  // UTF-8 text since the last value
    const auto closePiece = [&](std::string_view name) {
        out.bytes += cp1252::fromUtf8(fixed);
        fixed.clear();
        out.pieces.push_back({out.bytes.size(), name});
        if (!name.empty()) ++out.values;
    };
    if (!text.empty() && text.front() == '\n') text.remove_prefix(1);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view rest = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!rest.empty()) fixed.append(static_cast<std::size_t>(indent), ' ');
        for (std::size_t dollar = rest.find('$'); dollar != std::string_view::npos; dollar = rest.find('$')) {
            const std::size_t close = rest.find('$', dollar + 1);
            if (close == std::string_view::npos) throw std::invalid_argument("unpaired $ in template");
            fixed += rest.substr(0, dollar);
            const std::string_view name = rest.substr(dollar + 1, close - dollar - 1);
            if (name.empty()) {
                fixed += '$';
            } else {
                closePiece(name);
            }
            rest.remove_prefix(close + 1);
        }
        fixed += rest;
        fixed += "\r\n";
    }
    closePiece({});
    return out;
}

// What the printer reads of a compiled template, held in the table's slot
// itself, so that finding a template reaches its parts with no further load.
struct TemplateParts {
    const char* bytes = nullptr;
    std::size_t size = 0;
    CompiledTemplate::Piece* pieces = nullptr;  // null: the slot is free
    std::size_t count = 0;
    std::size_t values = 0;
};

// Compiled templates by text address and indent, kept for the life of the
// thread. Templates are compile-time text, so an address always means the
// same text. An open-addressing table of a few hundred slots: the lookup is
// on every emit, and stays in the cache.
class TemplateTable {
public:
    const TemplateParts& find(std::string_view text, int indent) {
        if (2 * (used_ + 1) > slots_.size()) grow();
        Slot& slot = probe(slots_, text.data(), indent);
        if (!slot.parts.pieces) {
            auto made = std::make_unique<CompiledTemplate>(compile(text, indent));
            slot = {text.data(), indent,
                    {made->bytes.data(), made->bytes.size(), made->pieces.data(), made->pieces.size(), made->values}};
            owned_.push_back(std::move(made));
            ++used_;
        }
        return slot.parts;
    }

private:
    struct Slot {
        const char* text = nullptr;
        int indent = 0;
        TemplateParts parts;
    };

    static Slot& probe(std::vector<Slot>& slots, const char* text, int indent) {
        const std::size_t mask = slots.size() - 1;
        // The indent is mixed in before the multiply, so one template at
        // two indents lands in two places rather than one run of probes.
        const std::uint64_t key = reinterpret_cast<std::uintptr_t>(text) ^ static_cast<std::uint64_t>(indent);
        std::size_t i = static_cast<std::size_t>(key * 0x9E3779B97F4A7C15ull >> 32) & mask;
        while (slots[i].parts.pieces && !(slots[i].text == text && slots[i].indent == indent)) i = (i + 1) & mask;
        return slots[i];
    }

    void grow() {
        std::vector<Slot> bigger(slots_.empty() ? 512 : slots_.size() * 2);
        for (const Slot& s : slots_) {
            if (s.parts.pieces) probe(bigger, s.text, s.indent) = s;
        }
        slots_.swap(bigger);
    }

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
    std::vector<std::unique_ptr<CompiledTemplate>> owned_;
};

const TemplateParts& compiled(std::string_view text, int indent) {
    thread_local TemplateTable table;
    return table.find(text, indent);
}

// The value for `piece` when its name is not where it was last time.
std::string_view findValue(TemplateVars vars, CompiledTemplate::Piece& piece) {
    const TemplateVar* given = vars.begin();
    for (std::size_t k = 0; k < vars.size(); ++k) {
        if (std::string_view(given[k].name) == piece.name) {
            piece.seenAt = k;
            piece.seenName = given[k].name.data();
            return given[k].value;
        }
    }
    throw std::invalid_argument("template variable not given: " + std::string(piece.name));
}

inline std::string_view valueOf(TemplateVars vars, CompiledTemplate::Piece& piece) {
    const TemplateVar* given = vars.begin();
    if (piece.seenAt < vars.size() && given[piece.seenAt].name.data() == piece.seenName &&
        given[piece.seenAt].name.size() == piece.name.size()) {
        return given[piece.seenAt].value;
    }
    return findValue(vars, piece);
}

template <class Word>
inline Word load(const char* from) {
    Word w;
    std::memcpy(&w, from, sizeof w);
    return w;
}
template <class Word>
inline void store(char* to, Word w) {
    std::memcpy(to, &w, sizeof w);
}

// Copies `n` bytes from `from` to `out` and returns them OR-ed together
// (in part more than once), for the ASCII test. A short run is copied as
// two words that overlap rather than byte by byte or by a call.
inline std::uint64_t copyNoting(char* out, const char* from, std::size_t n) {
    if (n >= 8) {
        std::uint64_t high = 0;
        for (std::size_t k = 0; k + 8 < n; k += 8) {
            const auto word = load<std::uint64_t>(from + k);
            store(out + k, word);
            high |= word;
        }
        const auto last = load<std::uint64_t>(from + n - 8);
        store(out + n - 8, last);
        return high | last;
    }
    if (n >= 4) {
        const auto first = load<std::uint32_t>(from), last = load<std::uint32_t>(from + n - 4);
        store(out, first);
        store(out + n - 4, last);
        return first | last;
    }
    std::uint64_t high = 0;
    for (std::size_t k = 0; k < n; ++k) {
        out[k] = from[k];
        high |= static_cast<unsigned char>(from[k]);
    }
    return high;
}

// Copies fixed text: a long run by the library, a short one inline, in
// blocks of sixteen bytes that overlap at the end.
inline void copyFixed(char* out, const char* from, std::size_t n) {
    struct Block {
        char bytes[16];
    };
    if (n <= 16) {
        copyNoting(out, from, n);
    } else if (n <= 32) {
        store(out, load<Block>(from));
        store(out + n - 16, load<Block>(from + n - 16));
    } else if (n <= 64) {
        store(out, load<Block>(from));
        store(out + 16, load<Block>(from + 16));
        store(out + n - 32, load<Block>(from + n - 32));
        store(out + n - 16, load<Block>(from + n - 16));
    } else {
        std::memcpy(out, from, n);
    }
}

// Writes a value at `out`, which has room for all its bytes: copied while
// noting any high bit; a value that is not all ASCII is then written again,
// converted.
inline char* putValue(char* out, std::string_view utf8) {
    const std::size_t n = utf8.size();
    if ((copyNoting(out, utf8.data(), n) & 0x8080808080808080ULL) == 0) return out + n;
    return out + cp1252::encodeInto(utf8, out, n);
}

}  // namespace

void Printer::emit(TemplateVars vars, Template text) {
    const TemplateParts& t = compiled(text.text(), indent_);
    // Each character of a value gives at most one byte, so the fixed text
    // and the longest value at every place bound the bytes written.
    std::size_t longest = 0;
    for (const TemplateVar& v : vars) longest = std::max(longest, v.value.size());
    const std::size_t most = t.size + t.values * longest;
    char* const start = most <= TextFile::kBufferSize ? file_.reserve(most) : nullptr;
    if (start) {
        char* out = start;
        std::size_t from = 0;
        for (CompiledTemplate::Piece& piece : std::span(t.pieces, t.count)) {
            copyFixed(out, t.bytes + from, piece.end - from);
            out += piece.end - from;
            from = piece.end;
            if (!piece.name.empty()) out = putValue(out, valueOf(vars, piece));
        }
        file_.commit(static_cast<std::size_t>(out - start));
        return;
    }
    // Larger than the buffer: piece by piece.
    std::size_t from = 0;
    for (CompiledTemplate::Piece& piece : std::span(t.pieces, t.count)) {
        file_.bytes(std::string_view(t.bytes + from, piece.end - from));
        from = piece.end;
        if (!piece.name.empty()) file_.text(valueOf(vars, piece));
    }
}

void Printer::line(std::string_view text) {
    const std::size_t most = text.size() + 2;
    if (char* out = most <= TextFile::kBufferSize ? file_.reserve(most) : nullptr) {
        char* const start = out;
        out = putValue(out, text);
        *out++ = '\r';
        *out++ = '\n';
        file_.commit(static_cast<std::size_t>(out - start));
        return;
    }
    file_.text(text);
    file_.endLine();
}

void Printer::emptyLines(int count) {
    for (int k = 0; k < count; ++k) file_.endLine();
}

}  // namespace rw
