#include "platform/linux/plist/PlistConversion.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/linux/plist/PlistLimits.h"

namespace plinka {

namespace {

// libplist hands out malloc'd copies of strings, keys and data.
struct MallocFree {
    void operator()(void* memory) const { std::free(memory); }
};
template <class T>
using Malloced = std::unique_ptr<T, MallocFree>;

std::string stringOf(plist_t node) {
    char* value = nullptr;
    plist_get_string_val(node, &value);
    Malloced<char> owner(value);
    return value ? std::string(value) : std::string();
}

Object::Bytes dataOf(plist_t node) {
    char* value = nullptr;
    uint64_t length = 0;
    plist_get_data_val(node, &value, &length);
    Malloced<char> owner(value);
    const auto* bytes = reinterpret_cast<const uint8_t*>(value);
    return value ? Object::Bytes(bytes, bytes + length) : Object::Bytes();
}

std::optional<Object> convert(plist_t node, std::size_t depth, std::string* error) {
    if (depth > PlistLimits::kMaxDepth) {
        if (error) {
            *error = "property list nested too deeply";
        }
        return std::nullopt;
    }
    switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            uint8_t value = 0;
            plist_get_bool_val(node, &value);
            return Object::boolean(value != 0);
        }
        case PLIST_UINT: {
            uint64_t value = 0;
            plist_get_uint_val(node, &value);
            return Object::integer(
                static_cast<int64_t>(value));  // Negatives come back as 2^64 - n.
        }
        case PLIST_REAL: {
            double value = 0;
            plist_get_real_val(node, &value);
            return Object::real(value);
        }
        case PLIST_STRING:
            return Object::string(stringOf(node));
        case PLIST_DATE: {
            int32_t seconds = 0;
            int32_t microseconds = 0;
            plist_get_date_val(node, &seconds, &microseconds);
            return Object::date(seconds + microseconds / 1e6);
        }
        case PLIST_DATA:
            return Object::data(dataOf(node));
        case PLIST_UID: {
            uint64_t value = 0;
            plist_get_uid_val(node, &value);
            return Object::uid(value);
        }
        case PLIST_ARRAY: {
            Object::Array elements;
            elements.reserve(plist_array_get_size(node));
            plist_array_iter iterator = nullptr;
            plist_array_new_iter(node, &iterator);
            Malloced<void> iteratorOwner(iterator);
            for (plist_t item = nullptr;;) {
                plist_array_next_item(node, iterator, &item);
                if (!item) {
                    break;
                }
                auto element = convert(item, depth + 1, error);
                if (!element) {
                    return std::nullopt;
                }
                elements.push_back(std::move(*element));
            }
            return Object::array(std::move(elements));
        }
        case PLIST_DICT: {
            Object::Dictionary entries;
            entries.reserve(plist_dict_get_size(node));
            plist_dict_iter iterator = nullptr;
            plist_dict_new_iter(node, &iterator);
            Malloced<void> iteratorOwner(iterator);
            for (;;) {
                char* key = nullptr;
                plist_t item = nullptr;
                plist_dict_next_item(node, iterator, &key, &item);
                Malloced<char> keyOwner(key);
                if (!item) {
                    break;
                }
                auto value = convert(item, depth + 1, error);
                if (!value) {
                    return std::nullopt;
                }
                entries.emplace_back(Object::string(key ? key : ""), std::move(*value));
            }
            return Object::dictionary(std::move(entries));
        }
        default:
            if (error) {
                *error = "property list holds an unsupported node type";
            }
            return std::nullopt;
    }
}

plist_t newDate(double secondsSinceReferenceDate) {
    const double seconds = std::floor(secondsSinceReferenceDate);
    if (!std::isfinite(seconds) || seconds < std::numeric_limits<int32_t>::min() ||
        seconds > std::numeric_limits<int32_t>::max()) {
        return nullptr;
    }
    const auto microseconds = static_cast<int32_t>(
        std::min(999999.0, std::round((secondsSinceReferenceDate - seconds) * 1e6)));
    return plist_new_date(static_cast<int32_t>(seconds), microseconds);
}

PlistNode build(const Object& object, std::size_t depth) {
    if (depth > PlistLimits::kMaxDepth) {
        return nullptr;
    }
    switch (object.type()) {
        case Object::Type::String:
            // libplist's strings end at a NUL; refuse rather than cut one short.
            if (object.stringValue()->find('\0') != std::string::npos) {
                return nullptr;
            }
            return PlistNode(plist_new_string(object.stringValue()->c_str()));
        case Object::Type::Integer:
            return PlistNode(plist_new_uint(static_cast<uint64_t>(*object.integerValue())));
        case Object::Type::Real:
            return PlistNode(plist_new_real(*object.realValue()));
        case Object::Type::Boolean:
            return PlistNode(plist_new_bool(*object.booleanValue() ? 1 : 0));
        case Object::Type::Data: {
            const auto& bytes = *object.dataValue();
            return PlistNode(
                plist_new_data(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        }
        case Object::Type::Date:
            return PlistNode(newDate(*object.dateValue()));
        case Object::Type::Uid:
            return PlistNode(plist_new_uid(*object.uidValue()));
        case Object::Type::Array: {
            PlistNode array(plist_new_array());
            for (const auto& element : *object.arrayValue()) {
                PlistNode item = build(element, depth + 1);
                if (!item) {
                    return nullptr;
                }
                plist_array_append_item(array.get(), item.release());
            }
            return array;
        }
        case Object::Type::Dictionary: {
            PlistNode dictionary(plist_new_dict());
            for (const auto& [key, value] : *object.dictionaryValue()) {
                PlistNode item = build(value, depth + 1);
                if (!key.stringValue() || key.stringValue()->find('\0') != std::string::npos ||
                    !item) {
                    return nullptr;
                }
                plist_dict_set_item(dictionary.get(), key.stringValue()->c_str(), item.release());
            }
            return dictionary;
        }
        default:
            return nullptr;
    }
}

}  // namespace

std::optional<Object> objectFromPlistNode(plist_t node, std::string* error) {
    return convert(node, 0, error);
}

PlistNode plistNodeFromObject(const Object& object) {
    return build(object, 0);
}

}  // namespace plinka
