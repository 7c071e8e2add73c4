#include "platform/linux/plist/ArchiveJson.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

#include "platform/linux/plist/KeyedArchiveContainer.h"
#include "platform/linux/plist/KeyedArchiveReader.h"

namespace plinka {

namespace {

// References and inline containers together; both recurse here.
constexpr std::size_t kMaxDepth = 2 * KeyedArchiveReader::kMaxDepth;

// The length of the valid UTF-8 sequence at the start of `text`, or 0.
std::size_t utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    uint32_t minimum = 0;
    uint32_t code = 0;
    if (lead < 0x80) {
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = code << 6 | (next & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return (code < minimum || code > 0x10FFFF || surrogate) ? 0 : length;
}

class JsonWriter {
  public:
    explicit JsonWriter(const KeyedArchiveContainer& archive)
        : archive_(archive),
          open_(archive.objects().size(), false),
          classNames_(archive.objects().size()) {}

    std::optional<std::string> run(std::string* error) {
        writeReference(archive_.rootUid());
        if (!error_.empty()) {
            if (error) {
                *error = "cannot dump keyed archive: " + error_;
            }
            return std::nullopt;
        }
        return std::move(out_);
    }

  private:
    bool failed() const { return !error_.empty(); }

    void fail(std::string reason) {
        if (!failed()) {
            error_ = std::move(reason);
        }
    }

    void append(std::string_view text) {
        if (failed()) {
            return;
        }
        if (out_.size() + text.size() > kMaxArchiveJsonBytes) {
            fail("the JSON would be larger than " + std::to_string(kMaxArchiveJsonBytes) +
                 " bytes");
            return;
        }
        out_.append(text);
    }

    void writeString(std::string_view text) {
        std::string quoted = "\"";
        quoted.reserve(text.size() + 2);
        std::size_t plain = 0;  // Start of the run of bytes that go out as they are.
        auto flush = [&](std::size_t end) { quoted.append(text.substr(plain, end - plain)); };
        for (std::size_t i = 0; i < text.size();) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c >= 0x20 && c != '"' && c != '\\' && c < 0x80) {
                ++i;
                continue;
            }
            const std::size_t length = c < 0x80 ? 1 : utf8SequenceLength(text.substr(i));
            if (length > 1) {
                i += length;
                continue;
            }
            flush(i);
            if (length == 0) {
                quoted += "\\ufffd";
            } else if (c == '"' || c == '\\') {
                quoted += '\\';
                quoted += static_cast<char>(c);
            } else if (c == '\n') {
                quoted += "\\n";
            } else if (c == '\t') {
                quoted += "\\t";
            } else if (c == '\r') {
                quoted += "\\r";
            } else {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                quoted += escape;
            }
            plain = ++i;
        }
        flush(text.size());
        quoted += '"';
        append(quoted);
    }

    void writeReal(double value) {
        if (!std::isfinite(value)) {
            append("null");
            return;
        }
        char buffer[32];
        auto [end, status] = std::to_chars(buffer, buffer + sizeof buffer, value);
        std::string_view text(buffer, end - buffer);
        append(text);
        if (text.find_first_of(".e") == std::string_view::npos) {
            append(".0");
        }
    }

    void writeData(const Object::Bytes& bytes) {
        static constexpr char kAlphabet[] =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        std::string encoded;
        encoded.reserve((bytes.size() + 2) / 3 * 4);
        for (std::size_t i = 0; i < bytes.size(); i += 3) {
            const std::size_t left = bytes.size() - i;
            const uint32_t chunk =
                bytes[i] << 16 | (left > 1 ? bytes[i + 1] << 8 : 0) | (left > 2 ? bytes[i + 2] : 0);
            encoded += kAlphabet[chunk >> 18 & 63];
            encoded += kAlphabet[chunk >> 12 & 63];
            encoded += left > 1 ? kAlphabet[chunk >> 6 & 63] : '=';
            encoded += left > 2 ? kAlphabet[chunk & 63] : '=';
        }
        append("{\"$data\":\"");
        append(encoded);
        append("\"}");
    }

    void writeTagged(std::string_view tag, auto writeValue) {
        append("{\"");
        append(tag);
        append("\":");
        writeValue();
        append("}");
    }

    // A value as a plist holds it: scalars, inline containers and references.
    void writeValue(const Object& value) {
        if (failed()) {
            return;
        }
        if (auto uid = KeyedArchiveContainer::uidOf(value)) {
            writeReference(*uid);
            return;
        }
        switch (value.type()) {
            case Object::Type::String:
                return writeString(*value.stringValue());
            case Object::Type::Integer:
                return append(std::to_string(*value.integerValue()));
            case Object::Type::Real:
                return writeReal(*value.realValue());
            case Object::Type::Boolean:
                return append(*value.booleanValue() ? "true" : "false");
            case Object::Type::Data:
                return writeData(*value.dataValue());
            case Object::Type::Date:
                return writeTagged("$date", [&] { writeReal(*value.dateValue()); });
            case Object::Type::Array:
                return nested([&] { writeList(*value.arrayValue()); });
            case Object::Type::Dictionary:
                return nested([&] {
                    writeTagged("$dict", [&] {
                        append("{");
                        writeMembers(*value.dictionaryValue(), {}, "");
                        append("}");
                    });
                });
            default:
                return fail("unexpected value type");
        }
    }

    void nested(auto write) {
        if (depth_ >= kMaxDepth) {
            return fail("objects nested too deeply");
        }
        ++depth_;
        write();
        --depth_;
    }

    void writeList(const Object::Array& elements) {
        append("[");
        for (std::size_t i = 0; i < elements.size() && !failed(); ++i) {
            append(i ? "," : "");
            writeValue(elements[i]);
        }
        append("]");
    }

    // A JSON object key: a string as it is, anything else as the text of its own JSON.
    void writeKey(const Object& key) {
        if (const auto* text = key.stringValue()) {
            return writeString(*text);
        }
        const std::size_t start = out_.size();
        writeValue(key);
        if (failed()) {
            return;
        }
        const std::string text = out_.substr(start);
        out_.resize(start);
        writeString(text);
    }

    // The entries of a dictionary but `skip`, as members of a JSON object, each after
    // `separator` and then ",".
    void writeMembers(const Object::Dictionary& entries, std::string_view skip,
                      const char* separator) {
        for (const auto& [key, value] : entries) {
            if (failed()) {
                return;
            }
            if (const auto* name = key.stringValue(); name && !skip.empty() && *name == skip) {
                continue;
            }
            append(separator);
            writeKey(key);
            append(":");
            writeValue(value);
            separator = ",";
        }
    }

    void writeReference(uint64_t uid) {
        if (failed()) {
            return;
        }
        if (uid == 0) {
            return append("null");
        }
        if (!archive_.isValidUid(uid)) {
            return fail("reference " + std::to_string(uid) + " is outside \"$objects\"");
        }
        if (open_[uid]) {
            return writeTagged("$ref", [&] { append(std::to_string(uid)); });
        }
        open_[uid] = true;
        nested([&] { writeObject(uid); });
        open_[uid] = false;
    }

    void writeObject(uint64_t uid) {
        const Object& value = archive_.objects()[uid];
        if (!value.dictionaryValue()) {
            if (value.arrayValue() || value.uidValue()) {
                return fail("object " + std::to_string(uid) + " is neither a value nor a record");
            }
            return writeValue(value);
        }
        if (const std::string* className = classNameOf(uid, value)) {
            writeRecord(uid, *className, value);
        }
    }

    // The record's class name, checked once per class record: shared records are written at
    // every place they appear.
    const std::string* classNameOf(uint64_t uid, const Object& record) {
        const auto classUid = KeyedArchiveContainer::uidOf(record.objectForKey("$class"));
        if (classUid && archive_.isValidUid(*classUid) && !classNames_[*classUid].empty()) {
            return &classNames_[*classUid];
        }
        std::vector<std::string> chain;
        std::string error;
        if (!archive_.classChainOf(record, chain, error)) {
            fail("object " + std::to_string(uid) + ": " + error);
            return nullptr;
        }
        classNames_[*classUid] = chain.front();
        return &classNames_[*classUid];
    }

    void writeRecord(uint64_t uid, std::string_view className, const Object& record) {
        if (className == "NSArray" || className == "NSMutableArray") {
            std::vector<const Object*> references;
            std::string error;
            if (!KeyedArchiveContainer::arrayReferencesOf(record, references, error)) {
                return fail(error);
            }
            append("[");
            for (std::size_t i = 0; i < references.size() && !failed(); ++i) {
                append(i ? "," : "");
                writeMember(*references[i], "an array element");
            }
            return append("]");
        }
        if (className == "NSDictionary" || className == "NSMutableDictionary") {
            return writeDictionary(record);
        }
        if (className == "NSString" || className == "NSMutableString") {
            return writeInlineOrReference(record.objectForKey("NS.string"), Object::Type::String);
        }
        if (className == "NSData" || className == "NSMutableData") {
            return writeInlineOrReference(record.objectForKey("NS.data"), Object::Type::Data);
        }
        if (className == "NSURL") {
            if (auto url = absoluteUrl(uid, 0)) {
                writeTagged("$url", [&] { writeString(*url); });
            }
            return;
        }
        if (className == "NSDate") {
            return writeTagged("$date", [&] { writeValue(record.objectForKey("NS.time")); });
        }
        append("{\"$class\":");
        writeString(className);
        writeMembers(*record.dictionaryValue(), "$class", ",");
        append("}");
    }

    void writeMember(const Object& reference, std::string_view what) {
        if (auto uid = KeyedArchiveContainer::uidOf(reference)) {
            return writeReference(*uid);
        }
        fail(std::string(what) + " is not a reference");
    }

    void writeDictionary(const Object& record) {
        const Object& keyList = record.objectForKey("NS.keys");
        const Object& valueList = record.objectForKey("NS.objects");
        const Object::Array empty;
        const auto* keys = keyList.isNil() ? &empty : keyList.arrayValue();
        const auto* values = valueList.isNil() ? &empty : valueList.arrayValue();
        if (!keys || !values || keys->size() != values->size()) {
            return fail("NS.keys and NS.objects are not arrays of one length");
        }
        append("{\"$dict\":{");
        for (std::size_t i = 0; i < keys->size() && !failed(); ++i) {
            append(i ? "," : "");
            const Object* key = target((*keys)[i]);
            if (!key) {
                return fail("a dictionary key is not a valid reference");
            }
            writeKey(key->stringValue() ? *key : (*keys)[i]);
            append(":");
            writeMember((*values)[i], "a dictionary value");
        }
        append("}}");
    }

    void writeInlineOrReference(const Object& value, Object::Type expected) {
        if (value.type() == expected) {
            return writeValue(value);
        }
        auto uid = KeyedArchiveContainer::uidOf(value);
        if (!uid || !archive_.isValidUid(*uid) || archive_.objects()[*uid].type() != expected) {
            return fail("a string or data record without its contents");
        }
        writeValue(archive_.objects()[*uid]);
    }

    // The absolute string of the NSURL record at `uid`, made once per record.
    std::optional<std::string> absoluteUrl(uint64_t uid, std::size_t depth) {
        if (auto known = urls_.find(uid); known != urls_.end()) {
            return known->second;
        }
        if (depth >= KeyedArchiveReader::kMaxDepth) {
            fail("NSURL bases nested too deeply or in a cycle");
            return std::nullopt;
        }
        const Object& record = archive_.objects()[uid];
        const Object* relative = target(record.objectForKey("NS.relative"));
        if (!relative || !relative->stringValue()) {
            fail("NSURL without a string NS.relative");
            return std::nullopt;
        }
        std::optional<std::string> base;
        const auto baseUid = KeyedArchiveContainer::uidOf(record.objectForKey("NS.base"));
        if (baseUid && *baseUid != 0) {
            const Object* baseRecord = target(record.objectForKey("NS.base"));
            if (!baseRecord || !baseRecord->dictionaryValue()) {
                fail("NS.base is not a URL");
                return std::nullopt;
            }
            base = absoluteUrl(*baseUid, depth + 1);
            if (!base) {
                return std::nullopt;
            }
        }
        auto url =
            KeyedArchiveContainer::absoluteUrl(base ? &*base : nullptr, *relative->stringValue());
        if (!url || (urlBytes_ += url->size()) > KeyedArchiveContainer::kMaxUrlBytes) {
            fail("NSURL too long");
            return std::nullopt;
        }
        return urls_.emplace(uid, std::move(*url)).first->second;
    }

    const Object* target(const Object& reference) const {
        auto uid = KeyedArchiveContainer::uidOf(reference);
        if (!uid || *uid == 0 || !archive_.isValidUid(*uid)) {
            return nullptr;
        }
        return &archive_.objects()[*uid];
    }

    const KeyedArchiveContainer& archive_;
    std::vector<bool> open_;
    std::vector<std::string> classNames_;  // By class record UID; empty until checked.
    std::map<uint64_t, std::string> urls_;
    std::size_t urlBytes_ = 0;
    std::size_t depth_ = 0;
    std::string out_;
    std::string error_;
};

}  // namespace

std::optional<std::string> archiveToJson(const std::vector<uint8_t>& archive, std::string* error) {
    auto container = KeyedArchiveContainer::read(archive, error);
    if (!container) {
        return std::nullopt;
    }
    return JsonWriter(*container).run(error);
}

}  // namespace plinka
