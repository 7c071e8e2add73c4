#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Object.h"

namespace plinka {

// The keys of one archived record, as a class's decoding initialiser reads them.
class Decoder {
  public:
    virtual ~Decoder() = default;
    // The object stored under the key; Nil when absent, not an object reference, or undecodable.
    virtual Object decodeObjectForKey(std::string_view key) = 0;
    // The Boolean stored under the key; false when absent or not a number.
    virtual bool decodeBoolForKey(std::string_view key) = 0;
    // The integer stored under the key; 0 when absent or not a number.
    virtual int64_t decodeIntegerForKey(std::string_view key) = 0;
    // Whether the record holds the key at all.
    virtual bool containsValueForKey(std::string_view key) = 0;
};

// The keys of one record being archived, as a class's encoder writes them.
class Encoder {
  public:
    virtual ~Encoder() = default;
    // Stores the object (shared when met again) under the key.
    virtual void encodeObject(const Object& object, std::string_view key) = 0;
    // Stores an integer inline under the key.
    virtual void encodeInteger(int64_t value, std::string_view key) = 0;
    // Stores a Boolean inline under the key.
    virtual void encodeBool(bool value, std::string_view key) = 0;
};

// Makes an object of one of the program's classes from its record; Nil when it yields nothing.
using ClassDecoder = std::function<Object(Decoder&)>;
// The program's own archivable classes by archived class name.
using ClassTable = std::map<std::string, ClassDecoder, std::less<>>;

// Reading and writing keyed archives (the "plnk" theme format among them).
class KeyedArchives {
  public:
    virtual ~KeyedArchives() = default;
    // The root object of the archive file; Nil when the file can't be read or decoded, with the
    // reason in `error` when asked for.
    virtual Object unarchiveObjectWithFile(const std::string& path, const ClassTable& classes,
                                           std::string* error = nullptr) = 0;
    // The root object of an archive held in memory; Nil as above.
    virtual Object unarchiveObjectWithData(const std::vector<uint8_t>& data,
                                           const ClassTable& classes,
                                           std::string* error = nullptr) = 0;
    // A binary keyed archive of the object graph; nullopt when it holds something unarchivable.
    virtual std::optional<std::vector<uint8_t>> archivedDataWithRootObject(const Object& root) = 0;
};

}  // namespace plinka
