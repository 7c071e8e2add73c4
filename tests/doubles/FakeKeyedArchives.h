#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/KeyedArchive.h"

namespace plinka::testing {

// A decoder over a dictionary the test builds: objects, booleans and integers are stored
// directly under their keys.
class DictionaryDecoder final : public Decoder {
  public:
    explicit DictionaryDecoder(Object record) : record_(std::move(record)) {}
    Object decodeObjectForKey(std::string_view key) override { return record_.objectForKey(key); }
    bool decodeBoolForKey(std::string_view key) override {
        return record_.objectForKey(key).booleanValue().value_or(false);
    }
    int64_t decodeIntegerForKey(std::string_view key) override {
        return record_.objectForKey(key).integerValue().value_or(0);
    }
    bool containsValueForKey(std::string_view key) override {
        return !record_.objectForKey(key).isNil();
    }

  private:
    Object record_;
};

// An encoder that keeps what was written under each key.
class RecordingEncoder final : public Encoder {
  public:
    void encodeObject(const Object& object, std::string_view key) override {
        entries.emplace_back(std::string(key), object);
    }
    void encodeInteger(int64_t value, std::string_view key) override {
        entries.emplace_back(std::string(key), Object::integer(value));
    }
    void encodeBool(bool value, std::string_view key) override {
        entries.emplace_back(std::string(key), Object::boolean(value));
    }
    const Object& operator[](std::string_view key) const;

    std::vector<std::pair<std::string, Object>> entries;
};

// Archive files that exist only in the test: each path decodes through its record, with the
// class table the caller passes.
class FakeKeyedArchives final : public KeyedArchives {
  public:
    using Contents = std::function<Object(const ClassTable& classes)>;

    Object unarchiveObjectWithFile(const std::string& path, const ClassTable& classes,
                                   std::string* error) override;
    // The core reads archives from files only.
    Object unarchiveObjectWithData(const std::vector<uint8_t>&, const ClassTable&,
                                   std::string*) override {
        return {};
    }
    std::optional<std::vector<uint8_t>> archivedDataWithRootObject(const Object&) override {
        return std::nullopt;
    }

    // A file whose root is the record decoded by the class named `className`.
    void addRecordFile(const std::string& path, const std::string& className, Object record);
    // A theme file storing the name, whose sample (key 254 down and up) speaks the name.
    void addThemeFile(const std::string& path, const std::string& storedName);

    std::map<std::string, Contents> files;
    std::vector<std::string> reads;
};

}  // namespace plinka::testing
