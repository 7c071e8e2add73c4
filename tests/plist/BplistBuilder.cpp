#include "plist/BplistBuilder.h"

#include <bit>
#include <cstring>

namespace plinka::testing {

namespace {

void appendBigEndian(BplistBuilder::Bytes& out, uint64_t value, std::size_t size) {
    for (std::size_t i = size; i-- > 0;) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

std::size_t widthOf(uint64_t value) {
    std::size_t width = 1;
    while (width < 8 && value >> (8 * width)) {
        width *= 2;
    }
    return width;
}

void appendMarker(BplistBuilder::Bytes& out, uint8_t high, uint64_t count) {
    if (count < 15) {
        out.push_back(static_cast<uint8_t>(high << 4 | count));
        return;
    }
    out.push_back(static_cast<uint8_t>(high << 4 | 0x0F));
    const std::size_t width = widthOf(count);
    out.push_back(static_cast<uint8_t>(0x10 | std::countr_zero(width)));
    appendBigEndian(out, count, width);
}

}  // namespace

uint64_t BplistBuilder::add(Entry entry) {
    objects_.push_back(std::move(entry));
    return objects_.size() - 1;
}

uint64_t BplistBuilder::raw(Bytes bytes) {
    return add({0xFF, std::move(bytes), {}, 0});
}

uint64_t BplistBuilder::boolean(bool value) {
    return raw({static_cast<uint8_t>(value ? 0x09 : 0x08)});
}

uint64_t BplistBuilder::integer(int64_t value) {
    const auto bits = static_cast<uint64_t>(value);
    const std::size_t width = value < 0 ? 8 : widthOf(bits);
    Bytes bytes{static_cast<uint8_t>(0x10 | std::countr_zero(width))};
    appendBigEndian(bytes, bits, width);
    return raw(std::move(bytes));
}

uint64_t BplistBuilder::real(double value) {
    Bytes bytes{0x23};
    appendBigEndian(bytes, std::bit_cast<uint64_t>(value), 8);
    return raw(std::move(bytes));
}

uint64_t BplistBuilder::date(double secondsSinceReferenceDate) {
    Bytes bytes{0x33};
    appendBigEndian(bytes, std::bit_cast<uint64_t>(secondsSinceReferenceDate), 8);
    return raw(std::move(bytes));
}

uint64_t BplistBuilder::string(std::string_view ascii) {
    return add({0x5, Bytes(ascii.begin(), ascii.end()), {}, ascii.size()});
}

uint64_t BplistBuilder::utf16(std::u16string_view text) {
    Bytes payload;
    for (char16_t unit : text) {
        appendBigEndian(payload, unit, 2);
    }
    return add({0x6, std::move(payload), {}, text.size()});
}

uint64_t BplistBuilder::data(const Bytes& bytes) {
    return add({0x4, bytes, {}, bytes.size()});
}

uint64_t BplistBuilder::uid(uint64_t value) {
    const std::size_t width = widthOf(value);
    Bytes bytes{static_cast<uint8_t>(0x80 | (width - 1))};
    appendBigEndian(bytes, value, width);
    return raw(std::move(bytes));
}

uint64_t BplistBuilder::array(const std::vector<uint64_t>& elements) {
    return add({0xA, {}, elements, elements.size()});
}

uint64_t BplistBuilder::dictionary(const std::vector<std::pair<uint64_t, uint64_t>>& entries) {
    Entry entry{0xD, {}, {}, entries.size()};
    for (const auto& [key, value] : entries) {
        entry.refs.push_back(key);
    }
    for (const auto& [key, value] : entries) {
        entry.refs.push_back(value);
    }
    return add(std::move(entry));
}

BplistBuilder::Bytes BplistBuilder::build(uint64_t root) const {
    Bytes out{'b', 'p', 'l', 'i', 's', 't', '0', '0'};
    const std::size_t refSize = widthOf(objects_.size());
    std::vector<uint64_t> offsets;
    for (const auto& entry : objects_) {
        offsets.push_back(out.size());
        if (entry.marker == 0xFF) {
            out.insert(out.end(), entry.payload.begin(), entry.payload.end());
            continue;
        }
        appendMarker(out, entry.marker, entry.count);
        out.insert(out.end(), entry.payload.begin(), entry.payload.end());
        for (uint64_t ref : entry.refs) {
            appendBigEndian(out, ref, refSize);
        }
    }
    const uint64_t tableOffset = out.size();
    const std::size_t offsetSize = widthOf(tableOffset);
    for (uint64_t offset : offsets) {
        appendBigEndian(out, offset, offsetSize);
    }
    out.insert(out.end(), 6, 0);
    out.push_back(static_cast<uint8_t>(offsetSize));
    out.push_back(static_cast<uint8_t>(refSize));
    appendBigEndian(out, objects_.size(), 8);
    appendBigEndian(out, root, 8);
    appendBigEndian(out, tableOffset, 8);
    return out;
}

}  // namespace plinka::testing
