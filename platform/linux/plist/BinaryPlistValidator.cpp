#include "platform/linux/plist/BinaryPlistValidator.h"

#include <cstring>
#include <vector>

#include "platform/linux/plist/PlistLimits.h"

namespace plinka {

namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kTrailerSize = 32;

uint64_t readBigEndian(const uint8_t* bytes, std::size_t size) {
    uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

uint64_t saturatingAdd(uint64_t a, uint64_t b) {
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

// One object as libplist will expand it: its own bytes and where its references are. The
// references are read when walked, so a huge collection costs no memory here.
struct ObjectShape {
    uint64_t payloadBytes = 0;
    uint64_t refsPosition = 0;
    uint64_t refCount = 0;  // For a dictionary: the keys, then the values.
    uint64_t keyCount = 0;
};

class Validator {
  public:
    explicit Validator(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    bool run(std::string* error) {
        if (!readTrailer() || !walkFromRoot()) {
            if (error) {
                *error = "malformed binary property list: " + reason_;
            }
            return false;
        }
        return true;
    }

  private:
    enum class Visit : uint8_t { Unseen, Open, Done };
    struct Totals {
        uint64_t nodes = 0;
        uint64_t payloadBytes = 0;
    };

    bool fail(std::string reason) {
        reason_ = std::move(reason);
        return false;
    }

    bool readTrailer() {
        if (bytes_.size() < kHeaderSize + 1 + kTrailerSize) {
            return fail("too short");
        }
        if (std::memcmp(bytes_.data(), "bplist00", kHeaderSize) != 0) {
            return fail("not a bplist00 header");
        }
        const uint8_t* trailer = bytes_.data() + bytes_.size() - kTrailerSize;
        offsetSize_ = trailer[6];
        refSize_ = trailer[7];
        objectCount_ = readBigEndian(trailer + 8, 8);
        root_ = readBigEndian(trailer + 16, 8);
        tableOffset_ = readBigEndian(trailer + 24, 8);
        const uint64_t trailerStart = bytes_.size() - kTrailerSize;
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8) {
            return fail("bad offset or reference size");
        }
        if (objectCount_ == 0 || objectCount_ > trailerStart || root_ >= objectCount_) {
            return fail("bad object count or root");
        }
        if (tableOffset_ < kHeaderSize || tableOffset_ > trailerStart ||
            objectCount_ * offsetSize_ > trailerStart - tableOffset_) {
            return fail("offset table out of bounds");
        }
        return true;
    }

    // Reads a length that is either the marker's low nibble or a following integer object.
    bool readLength(uint8_t marker, uint64_t& position, uint64_t& length) {
        length = marker & 0x0F;
        if (length != 0x0F) {
            return true;
        }
        if (position >= tableOffset_) {
            return fail("length past the objects");
        }
        const uint8_t lengthMarker = bytes_[position++];
        if ((lengthMarker & 0xF0) != 0x10 || (lengthMarker & 0x0F) > 3) {
            return fail("bad length marker");
        }
        const uint64_t size = uint64_t{1} << (lengthMarker & 0x0F);
        if (size > tableOffset_ - position) {
            return fail("length past the objects");
        }
        length = readBigEndian(bytes_.data() + position, size);
        position += size;
        return true;
    }

    bool fits(uint64_t position, uint64_t count, uint64_t unit) {
        if (position > tableOffset_ || count > (tableOffset_ - position) / unit) {
            return fail("object runs past the objects");
        }
        return true;
    }

    bool setReferences(uint64_t position, uint64_t count, ObjectShape& shape) {
        if (!fits(position, count, refSize_)) {
            return false;
        }
        shape.refsPosition = position;
        shape.refCount = count;
        return true;
    }

    // The n-th reference of an object; a dictionary's keys must be strings.
    bool referenceOf(const ObjectShape& shape, uint64_t n, uint64_t& ref) {
        ref = readBigEndian(bytes_.data() + shape.refsPosition + n * refSize_, refSize_);
        if (ref >= objectCount_) {
            return fail("object reference out of range");
        }
        if (n < shape.keyCount) {
            uint8_t keyMarker = 0;
            uint64_t keyPosition = 0;
            if (!markerOf(ref, keyMarker, keyPosition)) {
                return false;
            }
            if ((keyMarker >> 4) != 0x5 && (keyMarker >> 4) != 0x6) {
                return fail("dictionary key is not a string");
            }
        }
        return true;
    }

    uint64_t offsetOf(uint64_t index) const {
        return readBigEndian(bytes_.data() + tableOffset_ + index * offsetSize_, offsetSize_);
    }

    // The marker of an object, after checking its offset.
    bool markerOf(uint64_t index, uint8_t& marker, uint64_t& position) {
        position = offsetOf(index);
        if (position < kHeaderSize || position >= tableOffset_) {
            return fail("object offset out of bounds");
        }
        marker = bytes_[position++];
        return true;
    }

    bool shapeOf(uint64_t index, ObjectShape& shape) {
        uint8_t marker = 0;
        uint64_t position = 0;
        if (!markerOf(index, marker, position)) {
            return false;
        }
        const uint8_t low = marker & 0x0F;
        uint64_t length = 0;
        switch (marker >> 4) {
            case 0x0:
                return (low == 0x8 || low == 0x9) || fail("unsupported null or fill object");
            case 0x1:
                return (low <= 4 && fits(position, uint64_t{1} << low, 1)) || fail("bad integer");
            case 0x2:
                return ((low == 2 || low == 3) && fits(position, uint64_t{1} << low, 1)) ||
                       fail("bad real");
            case 0x3:
                return (low == 3 && fits(position, 8, 1)) || fail("bad date");
            case 0x4:
                if (!readLength(marker, position, length) || !fits(position, length, 1)) {
                    return false;
                }
                shape.payloadBytes = length;
                return true;
            case 0x5:
            case 0x6: {
                const uint64_t unit = (marker >> 4) == 0x5 ? 1 : 2;
                if (!readLength(marker, position, length) || !fits(position, length, unit)) {
                    return false;
                }
                // libplist asserts (and so aborts) on strings with a NUL inside.
                for (uint64_t i = 0; i < length; ++i) {
                    if (readBigEndian(bytes_.data() + position + i * unit, unit) == 0) {
                        return fail("NUL character in a string");
                    }
                }
                shape.payloadBytes = length * (unit == 1 ? 1 : 3);  // UTF-16 as UTF-8 at most.
                return true;
            }
            case 0x8:
                return ((low == 0 || low == 1 || low == 3 || low == 7) &&
                        fits(position, low + 1u, 1) &&
                        readBigEndian(bytes_.data() + position, low + 1u) <= UINT32_MAX) ||
                       fail("bad UID");
            case 0xA:
                return readLength(marker, position, length) &&
                       setReferences(position, length, shape);
            case 0xD:
                if (!readLength(marker, position, length) || length > UINT64_MAX / 2 ||
                    !setReferences(position, length * 2, shape)) {
                    return false;
                }
                shape.keyCount = length;
                return true;
            default:
                return fail("unsupported object type");
        }
    }

    // Depth-first from the root without recursion: rejects reference cycles, nesting beyond
    // the limit, and trees that expand beyond the node or byte limits.
    bool walkFromRoot() {
        struct Frame {
            uint64_t index;
            ObjectShape shape;
            uint64_t next = 0;
            Totals totals;
        };
        std::vector<Visit> visits(objectCount_, Visit::Unseen);
        std::vector<Totals> done(objectCount_);
        std::vector<Frame> stack;
        Totals rootTotals;

        auto open = [&](uint64_t index) {
            if (stack.size() >= PlistLimits::kMaxDepth) {
                return fail("nested too deeply");
            }
            Frame frame{index, {}, 0, {}};
            if (!shapeOf(index, frame.shape)) {
                return false;
            }
            frame.totals = {1, frame.shape.payloadBytes};
            visits[index] = Visit::Open;
            stack.push_back(std::move(frame));
            return true;
        };
        auto add = [&](Totals& into, const Totals& part) {
            into.nodes = saturatingAdd(into.nodes, part.nodes);
            into.payloadBytes = saturatingAdd(into.payloadBytes, part.payloadBytes);
            if (into.nodes > PlistLimits::kMaxNodes) {
                return fail("expands to too many objects");
            }
            if (into.payloadBytes > PlistLimits::kMaxPayloadBytes) {
                return fail("expands to too many bytes");
            }
            return true;
        };

        if (!open(root_)) {
            return false;
        }
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.next < frame.shape.refCount) {
                uint64_t child = 0;
                if (!referenceOf(frame.shape, frame.next++, child)) {
                    return false;
                }
                switch (visits[child]) {
                    case Visit::Open:
                        return fail("reference cycle");
                    case Visit::Done:
                        if (!add(frame.totals, done[child])) {
                            return false;
                        }
                        break;
                    case Visit::Unseen:
                        if (!open(child)) {
                            return false;
                        }
                        break;
                }
                continue;
            }
            const uint64_t index = frame.index;
            done[index] = frame.totals;
            visits[index] = Visit::Done;
            stack.pop_back();
            if (!add(stack.empty() ? rootTotals : stack.back().totals, done[index])) {
                return false;
            }
        }
        return true;
    }

    std::span<const uint8_t> bytes_;
    uint64_t offsetSize_ = 0;
    uint64_t refSize_ = 0;
    uint64_t objectCount_ = 0;
    uint64_t root_ = 0;
    uint64_t tableOffset_ = 0;
    std::string reason_;
};

}  // namespace

bool validateBinaryPropertyList(std::span<const uint8_t> bytes, std::string* error) {
    return Validator(bytes).run(error);
}

}  // namespace plinka
