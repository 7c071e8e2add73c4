#include "platform/linux/plist/KeyedArchiveReader.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace plinka {

namespace {

std::optional<double> numberOf(const Object& value) {
    if (auto integer = value.integerValue()) {
        return static_cast<double>(*integer);
    }
    if (auto boolean = value.booleanValue()) {
        return *boolean ? 1.0 : 0.0;
    }
    return value.realValue();
}

// The keys of one archived record, read for a class of the program's own.
class RecordDecoder final : public Decoder {
  public:
    RecordDecoder(KeyedArchiveReader& reader, const Object& record)
        : reader_(reader), record_(record) {}

    Object decodeObjectForKey(std::string_view key) override {
        const auto uid = KeyedArchiveContainer::uidOf(value(key));
        return uid ? reader_.decodeUid(*uid) : Object();
    }
    bool decodeBoolForKey(std::string_view key) override {
        return numberOf(value(key)).value_or(0) != 0;
    }
    int64_t decodeIntegerForKey(std::string_view key) override {
        const Object& stored = value(key);
        if (auto integer = stored.integerValue()) {
            return *integer;
        }
        const double number = numberOf(stored).value_or(0);
        // Out-of-range reals saturate rather than overflow.
        constexpr double kLimit = 9.2e18;
        return std::isnan(number) ? 0 : static_cast<int64_t>(std::clamp(number, -kLimit, kLimit));
    }
    bool containsValueForKey(std::string_view key) override { return !value(key).isNil(); }

  private:
    const Object& value(std::string_view key) const {
        return record_.objectForKey(archivedKey(key));
    }

    KeyedArchiveReader& reader_;
    const Object& record_;
};

}  // namespace

KeyedArchiveReader::KeyedArchiveReader(const KeyedArchiveContainer& archive,
                                       const ClassTable& classes)
    : archive_(archive),
      classes_(classes),
      states_(archive.objects().size(), State::Absent),
      decoded_(archive.objects().size()) {}

Object KeyedArchiveReader::decodeRoot(std::string* error) {
    Object root = decodeUid(archive_.rootUid());
    if (!failed_ && root.isNil()) {
        fail("the root object is nil");
    }
    if (failed_) {
        if (error) {
            *error = "cannot decode keyed archive: " + error_;
        }
        return {};
    }
    return root;
}

Object KeyedArchiveReader::fail(std::string reason) {
    if (!failed_) {
        failed_ = true;
        error_ = std::move(reason);
    }
    return {};
}

Object KeyedArchiveReader::decodeUid(uint64_t uid) {
    if (failed_ || uid == 0) {
        return {};
    }
    if (!archive_.isValidUid(uid)) {
        return fail("reference " + std::to_string(uid) + " is outside \"$objects\"");
    }
    switch (states_[uid]) {
        case State::Done:
            return decoded_[uid];
        case State::InProgress:
            return fail("object " + std::to_string(uid) + " contains itself");
        case State::Absent:
            break;
    }
    if (depth_ >= kMaxDepth) {
        return fail("objects nested too deeply");
    }
    states_[uid] = State::InProgress;
    ++depth_;
    Object result = decodeObjectAt(uid);
    --depth_;
    states_[uid] = State::Done;
    decoded_[uid] = failed_ ? Object() : result;
    return decoded_[uid];
}

Object KeyedArchiveReader::decodeObjectAt(uint64_t uid) {
    const Object& value = archive_.objects()[uid];
    switch (value.type()) {
        case Object::Type::String:
        case Object::Type::Integer:
        case Object::Type::Real:
        case Object::Type::Boolean:
        case Object::Type::Data:
        case Object::Type::Date:
            return value;
        case Object::Type::Dictionary:
            return decodeRecord(uid, value);
        default:
            return fail("object " + std::to_string(uid) + " is neither a value nor a record");
    }
}

Object KeyedArchiveReader::decodeRecord(uint64_t uid, const Object& record) {
    std::vector<std::string> chain;
    std::string error;
    if (!archive_.classChainOf(record, chain, error)) {
        return fail("object " + std::to_string(uid) + ": " + error);
    }
    // Like the platform's unarchiver, the first class in the chain that we know decodes it.
    for (const auto& className : chain) {
        if (auto decoder = classes_.find(className); decoder != classes_.end()) {
            RecordDecoder coder(*this, record);
            return decoder->second(coder);
        }
        if (Object result; decodeFoundationRecord(className, record, result)) {
            return result;
        }
    }
    return Object::record(chain.front());
}

bool KeyedArchiveReader::decodeFoundationRecord(std::string_view className, const Object& record,
                                                Object& result) {
    if (className == "NSArray" || className == "NSMutableArray") {
        result = decodeArray(record);
    } else if (className == "NSDictionary" || className == "NSMutableDictionary") {
        result = decodeDictionary(record);
    } else if (className == "NSString" || className == "NSMutableString") {
        const Object& text = record.objectForKey("NS.string");
        result = text.stringValue() ? text : decodeReference(text, "NS.string");
        if (!result.stringValue()) {
            result = fail("NS.string is not a string");
        }
    } else if (className == "NSData" || className == "NSMutableData") {
        const Object& bytes = record.objectForKey("NS.data");
        result = bytes.dataValue() ? bytes : decodeReference(bytes, "NS.data");
        if (!result.dataValue()) {
            result = fail("NS.data is not data");
        }
    } else if (className == "NSURL") {
        result = decodeUrl(record);
    } else if (className == "NSDate") {
        const auto seconds = numberOf(record.objectForKey("NS.time"));
        result = seconds ? Object::date(*seconds) : fail("NS.time is not a number");
    } else if (className == "NSNull") {
        result = Object::null();
    } else {
        return false;
    }
    return true;
}

Object KeyedArchiveReader::decodeReference(const Object& reference, std::string_view what) {
    const auto uid = KeyedArchiveContainer::uidOf(reference);
    if (!uid) {
        return fail(std::string(what) + " is not a reference");
    }
    return decodeUid(*uid);
}

bool KeyedArchiveReader::decodeReferences(const Object& list, std::string_view what,
                                          Object::Array& out) {
    const auto* references = list.arrayValue();
    if (!references) {
        fail(std::string(what) + " is not an array");
        return false;
    }
    out.reserve(references->size());
    for (const auto& reference : *references) {
        out.push_back(decodeReference(reference, what));
        if (failed_) {
            return false;
        }
    }
    return true;
}

Object KeyedArchiveReader::decodeArray(const Object& record) {
    std::vector<const Object*> references;
    std::string error;
    if (!KeyedArchiveContainer::arrayReferencesOf(record, references, error)) {
        return fail(error);
    }
    Object::Array elements;
    elements.reserve(references.size());
    for (const Object* reference : references) {
        elements.push_back(decodeReference(*reference, "an array element"));
        if (failed_) {
            return {};
        }
    }
    return Object::array(std::move(elements));
}

Object KeyedArchiveReader::decodeDictionary(const Object& record) {
    const Object& keyList = record.objectForKey("NS.keys");
    const Object& valueList = record.objectForKey("NS.objects");
    if (keyList.isNil() && valueList.isNil()) {
        return Object::dictionary({});
    }
    Object::Array keys;
    Object::Array values;
    if (!decodeReferences(keyList, "NS.keys", keys) ||
        !decodeReferences(valueList, "NS.objects", values)) {
        return {};
    }
    if (keys.size() != values.size()) {
        return fail("NS.keys and NS.objects differ in length");
    }
    Object::Dictionary entries;
    entries.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        entries.emplace_back(std::move(keys[i]), std::move(values[i]));
    }
    return Object::dictionary(std::move(entries));
}

Object KeyedArchiveReader::decodeUrl(const Object& record) {
    const Object& baseReference = record.objectForKey("NS.base");
    const Object base =
        baseReference.isNil() ? Object() : decodeReference(baseReference, "NS.base");
    const Object relative = decodeReference(record.objectForKey("NS.relative"), "NS.relative");
    if (failed_) {
        return {};
    }
    if ((!base.isNil() && !base.urlValue()) || !relative.stringValue()) {
        return fail("NSURL without a string NS.relative or with a base that is no URL");
    }
    auto url = KeyedArchiveContainer::absoluteUrl(base.urlValue(), *relative.stringValue());
    if (!url || (urlBytes_ += url->size()) > KeyedArchiveContainer::kMaxUrlBytes) {
        return fail("NSURL too long");
    }
    return Object::url(std::move(*url));
}

}  // namespace plinka
