// davhost's JSON writer. The input builds a tree of values, op by op (a byte each, then its
// operands): a string (a length byte and as many bytes), a number (eight bytes), true or
// false, null, an array or object opened, the innermost one closed; a value inside an
// object follows its member name (a string). The same tree is built with a strict parser's
// own values beside it. The written document must parse, strictly, to that tree: members
// in their order, every string that is valid UTF-8 as it was; and a string literal of any
// bytes parses to a string that is valid UTF-8.
#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "host/json_text.h"

namespace {

using dav::host::Json;
using Strict = nlohmann::ordered_json;

// Nesting deeper than davhost writes is not needed, and the strict parser recurses.
constexpr std::size_t kMostDepth = 64;

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Done() const { return at_ >= size_; }
  std::uint8_t Byte() { return Done() ? 0 : data_[at_++]; }
  std::string Text() {
    const std::size_t length = std::min<std::size_t>(Byte(), size_ - at_);
    const std::string text(reinterpret_cast<const char*>(data_) + at_, length);
    at_ += length;
    return text;
  }
  std::int64_t Number() {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = bits << 8 | Byte();
    std::int64_t number;
    std::memcpy(&number, &bits, sizeof number);
    return number;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// What a string reads back as: itself when it is valid UTF-8, else what the writer made of
// it (which must parse).
std::string Expected(const std::string& text) {
  try {
    (void)Strict(text).dump();
    return text;
  } catch (const Strict::type_error&) {
    return Strict::parse(dav::host::JsonString(text)).get<std::string>();
  }
}

struct Open {
  Json json;
  Strict strict;
  std::string name;  // the member name this container goes in as, inside an object
};

// Member names are davhost's own, valid UTF-8; a value under any other name is left out.
void Add(Open& parent, std::string name, Json json, Strict strict) {
  if (parent.strict.is_object()) {
    if (Expected(name) != name) return;
    parent.json.Set(name, std::move(json));
    parent.strict[name] = std::move(strict);
  } else {
    parent.json.Push(std::move(json));
    parent.strict.push_back(std::move(strict));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  std::vector<Open> open;
  open.push_back({Json::MakeArray(), Strict::array(), {}});
  while (!in.Done()) {
    Open& top = open.back();
    const std::uint8_t op = in.Byte() % 7;
    if (op == 6) {  // close
      if (open.size() == 1) continue;
      Open done = std::move(open.back());
      open.pop_back();
      Add(open.back(), done.name, std::move(done.json), std::move(done.strict));
      continue;
    }
    const std::string name = top.strict.is_object() ? in.Text() : std::string();
    switch (op) {
      case 0: {
        const std::string text = in.Text();
        Add(top, name, Json(text), Strict(Expected(text)));
        break;
      }
      case 1: {
        const std::int64_t number = in.Number();
        Add(top, name, Json(static_cast<long long>(number)), Strict(number));
        break;
      }
      case 2:
        Add(top, name, Json(true), Strict(true));
        break;
      case 3:
        Add(top, name, Json(), Strict(nullptr));
        break;
      default:
        if (open.size() >= kMostDepth) break;
        open.push_back(op == 4 ? Open{Json::MakeArray(), Strict::array(), name}
                               : Open{Json::MakeObject(), Strict::object(), name});
    }
  }
  while (open.size() > 1) {
    Open done = std::move(open.back());
    open.pop_back();
    Add(open.back(), done.name, std::move(done.json), std::move(done.strict));
  }
  const std::string written = open.front().json.Dump();
  if (written.empty() || written.back() != '\n') abort();
  if (Strict::parse(written) != open.front().strict) abort();  // throws when it is no JSON

  const std::string any(reinterpret_cast<const char*>(data), size);
  (void)Strict(Strict::parse(dav::host::JsonString(any)).get<std::string>()).dump();
  return 0;
}
