#pragma once
// JSON text for other programs, written in one place: the runner's lines, the case library, the
// quiz's key and the sweep's shards. Compact, in the C locale, commas placed by the writer; a
// number that is no number is written as null, since JSON has none.

#include "session/number_text.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vm::session {

class JsonWriter {
  public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // An object's member name; its value follows.
    JsonWriter& key(std::string_view name);
    JsonWriter& string(std::string_view text);
    JsonWriter& number(double v, NumberForm form = NumberForm::shortest);
    JsonWriter& whole(long long v);
    JsonWriter& null();

    const std::string& text() const { return out_; }
    // The text with a line end, as the runner prints one value per line.
    std::string line() const { return out_ + '\n'; }

  private:
    // A comma before every value or member but a container's first.
    void beginValue();
    JsonWriter& open(char bracket);
    JsonWriter& close(char bracket);

    std::string out_;
    std::vector<bool> empty_; // whether each open container has nothing yet
    bool afterKey_ = false;
};

// The length of the UTF-8 sequence at the start of v, 0 when none starts there (a stray byte, an
// overlong form, a surrogate, beyond U+10FFFF).
std::size_t utf8SequenceLength(std::string_view v);

// v as a JSON string, quotes and escapes included. A byte that is no UTF-8 becomes \udcXX, as
// Python's surrogateescape reads it (os.fsencode gives the byte back).
std::string jsonString(std::string_view v);

} // namespace vm::session
