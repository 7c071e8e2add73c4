#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace plinka {

class Codable;

// A class of the program's own that keyed archives can hold; identity is the address.
struct ClassInfo {
    std::string_view name;
};

// A dynamically typed, immutable value: what property lists and keyed archives hold and what an
// object reference of the original platform can point at. Copies share their contents.
class Object {
  public:
    enum class Type : uint8_t {
        Nil,
        Null,
        String,
        Integer,
        Real,
        Boolean,
        Data,
        Date,
        Uid,
        Array,
        Dictionary,
        Url,
        Instance,
        Record
    };
    using Bytes = std::vector<uint8_t>;
    using Array = std::vector<Object>;
    using Dictionary = std::vector<std::pair<Object, Object>>;

    Object() = default;
    static Object null() { return Object(Storage(std::in_place_index<1>)); }
    static Object string(std::string value);
    static Object integer(int64_t value) { return Object(Storage(std::in_place_index<3>, value)); }
    static Object real(double value) { return Object(Storage(std::in_place_index<4>, value)); }
    static Object boolean(bool value) { return Object(Storage(std::in_place_index<5>, value)); }
    static Object data(Bytes value);
    // Seconds since 2001-01-01 00:00:00 UTC, the property-list epoch.
    static Object date(double secondsSinceReferenceDate);
    static Object uid(uint64_t value);
    static Object array(Array elements);
    static Object dictionary(Dictionary entries);
    static Object url(std::string absoluteString);
    static Object instance(std::shared_ptr<Codable> instance);
    // A record of a class this program does not know, remembered by its class name.
    static Object record(std::string className);

    Type type() const { return static_cast<Type>(storage_.index()); }
    bool isNil() const { return type() == Type::Nil; }
    explicit operator bool() const { return !isNil(); }

    // Each accessor answers nullptr (or nullopt) when the value is of another type.
    const std::string* stringValue() const;
    std::optional<int64_t> integerValue() const;
    std::optional<double> realValue() const;
    std::optional<bool> booleanValue() const;
    const Bytes* dataValue() const;
    std::optional<double> dateValue() const;
    std::optional<uint64_t> uidValue() const;
    const Array* arrayValue() const;
    const Dictionary* dictionaryValue() const;
    const std::string* urlValue() const;
    const std::string* recordClassName() const;
    const std::shared_ptr<Codable>* instanceValue() const;

    // The instance, when it is one of class T (which names its ClassInfo as T::kClass).
    template <class T>
    T* as() const;

    // The dictionary entry whose key is the string `key`; Nil when absent or not a dictionary.
    const Object& objectForKey(std::string_view key) const;

    // The class name the original platform would report: "NSString", "NSArray", the record's or
    // instance's own name, "(null)" for Nil.
    std::string_view className() const;

    // Same type and equal contents; instances compare by identity.
    bool operator==(const Object& other) const;

  private:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };
    struct DateValue {
        double seconds;
        bool operator==(const DateValue&) const = default;
    };
    struct UidValue {
        uint64_t value;
        bool operator==(const UidValue&) const = default;
    };
    using Storage =
        std::variant<std::monostate, NullTag, std::shared_ptr<const std::string>, int64_t, double,
                     bool, std::shared_ptr<const Bytes>, DateValue, UidValue,
                     std::shared_ptr<const Array>, std::shared_ptr<const Dictionary>,
                     std::shared_ptr<const std::string>, std::shared_ptr<Codable>,
                     std::shared_ptr<const std::string>>;
    explicit Object(Storage storage) : storage_(std::move(storage)) {}

    Storage storage_;
};

// An object of one of the program's own classes that keyed archives can hold.
class Codable {
  public:
    virtual ~Codable() = default;
    // The class this object is, for kind tests.
    virtual const ClassInfo& objectClass() const = 0;
    // The class name the object is archived under.
    virtual std::string_view classForCoder() const { return objectClass().name; }
    // Writes the object's keys.
    virtual void encodeWithCoder(class Encoder& coder) const = 0;
};

template <class T>
T* Object::as() const {
    if (const auto* instance = std::get_if<12>(&storage_)) {
        if (&(*instance)->objectClass() == &T::kClass) {
            return static_cast<T*>(instance->get());
        }
    }
    return nullptr;
}

}  // namespace plinka
