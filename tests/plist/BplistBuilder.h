#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace plinka::testing {

// Assembles a binary property list object by object, the way macOS lays one out: header,
// objects, offset table, trailer. Each add returns the object's index for later references.
class BplistBuilder {
  public:
    using Bytes = std::vector<uint8_t>;

    uint64_t boolean(bool value);
    uint64_t integer(int64_t value);
    uint64_t real(double value);
    uint64_t date(double secondsSinceReferenceDate);
    uint64_t string(std::string_view ascii);
    uint64_t utf16(std::u16string_view text);
    uint64_t data(const Bytes& bytes);
    uint64_t uid(uint64_t value);
    uint64_t array(const std::vector<uint64_t>& elements);
    uint64_t dictionary(const std::vector<std::pair<uint64_t, uint64_t>>& entries);
    // Raw object bytes, marker included, for shapes the helpers above won't make.
    uint64_t raw(Bytes bytes);

    std::size_t size() const { return objects_.size(); }
    // The file with `root` as its top object; references and offsets as wide as they must be.
    Bytes build(uint64_t root) const;

  private:
    struct Entry {
        uint8_t marker = 0;  // High nibble; 0xFF for raw bytes.
        Bytes payload;
        std::vector<uint64_t> refs;
        uint64_t count = 0;
    };
    uint64_t add(Entry entry);

    std::vector<Entry> objects_;
};

}  // namespace plinka::testing
