#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brelloc {

// Where a text output goes: a file, standard output or memory. Writers stream
// into it piece by piece; a stream that fails remembers the failure and
// ignores what follows, so a writer need not check every call.
class TextStream {
public:
    virtual ~TextStream() = default;
    virtual void Write(std::string_view text) = 0;
};

// Keeps everything in memory, for tests and fuzzers.
class StringTextStream : public TextStream {
public:
    void Write(std::string_view text) override { text_.append(text.data(), text.size()); }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

} // namespace brelloc
