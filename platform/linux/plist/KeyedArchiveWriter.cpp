#include "platform/linux/plist/KeyedArchiveWriter.h"

#include <map>
#include <string>

#include "platform/KeyedArchive.h"
#include "platform/linux/plist/KeyedArchiveContainer.h"
#include "platform/linux/plist/KeyedArchiveReader.h"

namespace plinka {

namespace {

Object key(std::string_view name) {
    return Object::string(std::string(name));
}

class ArchiveBuilder {
  public:
    std::optional<Object> archive(const Object& root) {
        objects_.push_back(Object::string("$null"));
        const uint64_t rootUid = encode(root);
        if (failed_) {
            return std::nullopt;
        }
        return Object::dictionary({
            {key("$archiver"), Object::string("NSKeyedArchiver")},
            {key("$version"), Object::integer(100000)},
            {key("$top"), Object::dictionary({{key("root"), Object::uid(rootUid)}})},
            {key("$objects"), Object::array(std::move(objects_))},
        });
    }

    // The UID of the object, appending it (and what it holds) to "$objects" when new.
    uint64_t encode(const Object& object) {
        if (failed_ || object.isNil()) {
            return 0;
        }
        if (depth_ >= KeyedArchiveReader::kMaxDepth) {
            failed_ = true;
            return 0;
        }
        ++depth_;
        const uint64_t uid = encodeNew(object);
        --depth_;
        return uid;
    }

  private:
    uint64_t append(Object object) {
        objects_.push_back(std::move(object));
        return objects_.size() - 1;
    }

    // The shared class record {"$classname", "$classes": [name, "NSObject"]}.
    Object classReference(std::string_view name) {
        auto known = classes_.find(name);
        if (known == classes_.end()) {
            Object::Array chain{key(name)};
            if (name != "NSObject") {
                chain.push_back(key("NSObject"));
            }
            const uint64_t uid = append(Object::dictionary({
                {key("$classname"), key(name)},
                {key("$classes"), Object::array(std::move(chain))},
            }));
            known = classes_.emplace(std::string(name), uid).first;
        }
        return Object::uid(known->second);
    }

    Object record(std::string_view className, Object::Dictionary entries) {
        entries.emplace_back(key("$class"), classReference(className));
        return Object::dictionary(std::move(entries));
    }

    Object references(const Object::Array& elements) {
        Object::Array uids;
        uids.reserve(elements.size());
        for (const auto& element : elements) {
            uids.push_back(Object::uid(encode(element)));
        }
        return Object::array(std::move(uids));
    }

    uint64_t encodeString(const std::string& text) {
        auto known = strings_.find(text);
        if (known == strings_.end()) {
            known = strings_.emplace(text, append(Object::string(text))).first;
        }
        return known->second;
    }

    uint64_t encodeInstance(const std::shared_ptr<Codable>& instance);

    uint64_t encodeNew(const Object& object) {
        switch (object.type()) {
            case Object::Type::String:
                return encodeString(*object.stringValue());
            case Object::Type::Integer:
            case Object::Type::Real:
            case Object::Type::Boolean:
            case Object::Type::Data:
                return append(object);
            case Object::Type::Null:
                return append(record("NSNull", {}));
            case Object::Type::Date:
                return append(
                    record("NSDate", {{key("NS.time"), Object::real(*object.dateValue())}}));
            case Object::Type::Array: {
                Object elements = references(*object.arrayValue());
                return append(record("NSArray", {{key("NS.objects"), std::move(elements)}}));
            }
            case Object::Type::Dictionary: {
                Object::Array keys;
                Object::Array values;
                for (const auto& [entryKey, value] : *object.dictionaryValue()) {
                    keys.push_back(entryKey);
                    values.push_back(value);
                }
                Object keyUids = references(keys);
                Object valueUids = references(values);
                return append(record("NSDictionary", {{key("NS.keys"), std::move(keyUids)},
                                                      {key("NS.objects"), std::move(valueUids)}}));
            }
            case Object::Type::Url: {
                const Object relative = Object::uid(encodeString(*object.urlValue()));
                return append(record(
                    "NSURL", {{key("NS.base"), Object::uid(0)}, {key("NS.relative"), relative}}));
            }
            case Object::Type::Instance:
                return encodeInstance(*object.instanceValue());
            case Object::Type::Record:
                return append(record(*object.recordClassName(), {}));
            case Object::Type::Uid:
            case Object::Type::Nil:
                break;
        }
        failed_ = true;
        return 0;
    }

    std::vector<Object> objects_;
    std::map<std::string, uint64_t, std::less<>> strings_;
    std::map<std::string, uint64_t, std::less<>> classes_;
    std::map<const Codable*, uint64_t> instances_;
    std::size_t depth_ = 0;
    bool failed_ = false;
};

// The keys of one instance, as its encodeWithCoder writes them.
class RecordEncoder final : public Encoder {
  public:
    explicit RecordEncoder(ArchiveBuilder& builder) : builder_(builder) {}

    void encodeObject(const Object& object, std::string_view name) override {
        const uint64_t uid = builder_.encode(object);
        entries.emplace_back(key(archivedKey(name)), Object::uid(uid));
    }
    void encodeInteger(int64_t value, std::string_view name) override {
        entries.emplace_back(key(archivedKey(name)), Object::integer(value));
    }
    void encodeBool(bool value, std::string_view name) override {
        entries.emplace_back(key(archivedKey(name)), Object::boolean(value));
    }

    Object::Dictionary entries;

  private:
    ArchiveBuilder& builder_;
};

uint64_t ArchiveBuilder::encodeInstance(const std::shared_ptr<Codable>& instance) {
    if (auto known = instances_.find(instance.get()); known != instances_.end()) {
        return known->second;
    }
    // Reserve the slot first, so an instance that refers back to itself gets its own UID.
    const uint64_t uid = append(Object());
    instances_.emplace(instance.get(), uid);
    RecordEncoder coder(*this);
    instance->encodeWithCoder(coder);
    objects_[uid] = record(instance->classForCoder(), std::move(coder.entries));
    return uid;
}

}  // namespace

std::optional<Object> keyedArchivePropertyList(const Object& root) {
    return ArchiveBuilder().archive(root);
}

}  // namespace plinka
