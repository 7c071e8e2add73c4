#include "base/Object.h"

namespace plinka {

namespace {

template <std::size_t Index, class Storage>
auto* alternative(const Storage& storage) {
    return std::get_if<Index>(&storage);
}

}  // namespace

Object Object::string(std::string value) {
    return Object(
        Storage(std::in_place_index<2>, std::make_shared<const std::string>(std::move(value))));
}

Object Object::data(Bytes value) {
    return Object(Storage(std::in_place_index<6>, std::make_shared<const Bytes>(std::move(value))));
}

Object Object::date(double secondsSinceReferenceDate) {
    return Object(Storage(std::in_place_index<7>, DateValue{secondsSinceReferenceDate}));
}

Object Object::uid(uint64_t value) {
    return Object(Storage(std::in_place_index<8>, UidValue{value}));
}

Object Object::array(Array elements) {
    return Object(
        Storage(std::in_place_index<9>, std::make_shared<const Array>(std::move(elements))));
}

Object Object::dictionary(Dictionary entries) {
    return Object(
        Storage(std::in_place_index<10>, std::make_shared<const Dictionary>(std::move(entries))));
}

Object Object::url(std::string absoluteString) {
    return Object(Storage(std::in_place_index<11>,
                          std::make_shared<const std::string>(std::move(absoluteString))));
}

Object Object::instance(std::shared_ptr<Codable> instance) {
    if (!instance) {
        return Object();
    }
    return Object(Storage(std::in_place_index<12>, std::move(instance)));
}

Object Object::record(std::string className) {
    return Object(Storage(std::in_place_index<13>,
                          std::make_shared<const std::string>(std::move(className))));
}

const std::string* Object::stringValue() const {
    const auto* value = alternative<2>(storage_);
    return value ? value->get() : nullptr;
}

std::optional<int64_t> Object::integerValue() const {
    if (const auto* value = alternative<3>(storage_)) {
        return *value;
    }
    return std::nullopt;
}

std::optional<double> Object::realValue() const {
    if (const auto* value = alternative<4>(storage_)) {
        return *value;
    }
    return std::nullopt;
}

std::optional<bool> Object::booleanValue() const {
    if (const auto* value = alternative<5>(storage_)) {
        return *value;
    }
    return std::nullopt;
}

const Object::Bytes* Object::dataValue() const {
    const auto* value = alternative<6>(storage_);
    return value ? value->get() : nullptr;
}

std::optional<double> Object::dateValue() const {
    if (const auto* value = alternative<7>(storage_)) {
        return value->seconds;
    }
    return std::nullopt;
}

std::optional<uint64_t> Object::uidValue() const {
    if (const auto* value = alternative<8>(storage_)) {
        return value->value;
    }
    return std::nullopt;
}

const Object::Array* Object::arrayValue() const {
    const auto* value = alternative<9>(storage_);
    return value ? value->get() : nullptr;
}

const Object::Dictionary* Object::dictionaryValue() const {
    const auto* value = alternative<10>(storage_);
    return value ? value->get() : nullptr;
}

const std::string* Object::urlValue() const {
    const auto* value = alternative<11>(storage_);
    return value ? value->get() : nullptr;
}

const std::shared_ptr<Codable>* Object::instanceValue() const {
    return alternative<12>(storage_);
}

const std::string* Object::recordClassName() const {
    const auto* value = alternative<13>(storage_);
    return value ? value->get() : nullptr;
}

const Object& Object::objectForKey(std::string_view key) const {
    static const Object nil;
    if (const auto* entries = dictionaryValue()) {
        for (const auto& [entryKey, value] : *entries) {
            if (const auto* name = entryKey.stringValue(); name && *name == key) {
                return value;
            }
        }
    }
    return nil;
}

std::string_view Object::className() const {
    switch (type()) {
        case Type::Nil:
            return "(null)";
        case Type::Null:
            return "NSNull";
        case Type::String:
            return "NSString";
        case Type::Integer:
        case Type::Real:
        case Type::Boolean:
            return "NSNumber";
        case Type::Data:
            return "NSData";
        case Type::Date:
            return "NSDate";
        case Type::Uid:
            return "UID";
        case Type::Array:
            return "NSArray";
        case Type::Dictionary:
            return "NSDictionary";
        case Type::Url:
            return "NSURL";
        case Type::Instance:
            return (*instanceValue())->objectClass().name;
        case Type::Record:
            return *recordClassName();
    }
    return "(null)";
}

bool Object::operator==(const Object& other) const {
    if (type() != other.type()) {
        return false;
    }
    switch (type()) {
        case Type::String:
            return *stringValue() == *other.stringValue();
        case Type::Data:
            return *dataValue() == *other.dataValue();
        case Type::Array:
            return *arrayValue() == *other.arrayValue();
        case Type::Dictionary:
            return *dictionaryValue() == *other.dictionaryValue();
        case Type::Url:
            return *urlValue() == *other.urlValue();
        case Type::Record:
            return *recordClassName() == *other.recordClassName();
        default:
            return storage_ == other.storage_;
    }
}

}  // namespace plinka
