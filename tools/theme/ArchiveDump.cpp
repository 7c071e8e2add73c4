#include "tools/theme/ArchiveDump.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>

#include "platform/linux/plist/KeyedArchiveContainer.h"
#include "platform/linux/plist/KeyedArchiveReader.h"

namespace plinka {

namespace {

// References and inline containers together; both recurse here.
constexpr std::size_t kMaxDepth = 2 * KeyedArchiveReader::kMaxDepth;

QString text(std::string_view value) {
    return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
}

QJsonObject tagged(const char* tag, QJsonValue value) {
    return QJsonObject{{QString::fromLatin1(tag), std::move(value)}};
}

// Walks the archive from its root into a JSON value. Shared objects are copied to every place
// they appear, so the walk keeps a running estimate of the text it makes and stops at the bound.
class DumpWalker {
  public:
    explicit DumpWalker(const KeyedArchiveContainer& archive)
        : archive_(archive),
          openAt_(archive.objects().size(), kNotOpen),
          walked_(archive.objects().size()),
          classNames_(archive.objects().size()) {}

    std::optional<std::string> run(std::string* error) {
        const QJsonValue root = reference(archive_.rootUid());
        QByteArray json;
        if (!failed()) {
            json = root.isArray()    ? QJsonDocument(root.toArray()).toJson(QJsonDocument::Compact)
                   : root.isObject() ? QJsonDocument(root.toObject()).toJson(QJsonDocument::Compact)
                                     : scalarJson(root);
            if (static_cast<std::size_t>(json.size()) > kMaxArchiveJsonBytes) {
                failTooLarge();
            }
        }
        if (failed()) {
            if (error) {
                *error = "cannot dump keyed archive: " + error_;
            }
            return std::nullopt;
        }
        return json.toStdString();
    }

  private:
    bool failed() const { return !error_.empty(); }

    QJsonValue fail(std::string reason) {
        if (!failed()) {
            error_ = std::move(reason);
        }
        return QJsonValue();
    }

    // Counts the bytes a value adds to the text; false once past the bound.
    bool charge(std::size_t bytes) {
        estimate_ += bytes;
        if (estimate_ > kMaxArchiveJsonBytes) {
            failTooLarge();
        }
        return !failed();
    }

    void failTooLarge() {
        fail("the JSON would be larger than " + std::to_string(kMaxArchiveJsonBytes) + " bytes");
    }

    // A lone scalar: QJsonDocument holds only arrays and objects.
    static QByteArray scalarJson(const QJsonValue& value) {
        QByteArray json = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
        return json.mid(1, json.size() - 2);
    }

    QJsonValue string(std::string_view value) {
        return charge(value.size() + 2) ? QJsonValue(text(value)) : QJsonValue();
    }

    QJsonValue real(double value) {
        return charge(24) ? (std::isfinite(value) ? QJsonValue(value) : QJsonValue())
                          : QJsonValue();
    }

    // A value as a plist holds it: scalars, inline containers and references.
    QJsonValue value(const Object& value) {
        if (failed()) {
            return {};
        }
        if (auto uid = KeyedArchiveContainer::uidOf(value)) {
            return reference(*uid);
        }
        switch (value.type()) {
            case Object::Type::String:
                return string(*value.stringValue());
            case Object::Type::Integer:
                charge(20);
                return QJsonValue(static_cast<qint64>(*value.integerValue()));
            case Object::Type::Real:
                return real(*value.realValue());
            case Object::Type::Boolean:
                charge(5);
                return QJsonValue(*value.booleanValue());
            case Object::Type::Data:
                return data(*value.dataValue());
            case Object::Type::Date:
                return tagged("$date", real(*value.dateValue()));
            case Object::Type::Array:
                return nested([&] { return list(*value.arrayValue()); });
            case Object::Type::Dictionary:
                return nested([&] {
                    QJsonObject members;
                    addMembers(members, *value.dictionaryValue(), {});
                    return QJsonValue(tagged("$dict", members));
                });
            default:
                return fail("unexpected value type");
        }
    }

    QJsonValue data(const Object::Bytes& bytes) {
        if (!charge((bytes.size() + 2) / 3 * 4 + 12)) {
            return {};
        }
        const QByteArray raw(reinterpret_cast<const char*>(bytes.data()),
                             static_cast<qsizetype>(bytes.size()));
        return tagged("$data", QString::fromLatin1(raw.toBase64()));
    }

    template <class Make>
    QJsonValue nested(Make make) {
        if (depth_ >= kMaxDepth) {
            return fail("objects nested too deeply");
        }
        // Its brackets and the comma after it: an empty container is text too.
        if (!charge(3)) {
            return {};
        }
        ++depth_;
        deepest_ = std::max(deepest_, depth_);
        QJsonValue result = make();
        --depth_;
        return result;
    }

    QJsonValue list(const Object::Array& elements) {
        QJsonArray result;
        for (const Object& element : elements) {
            if (failed()) {
                break;
            }
            result.append(value(element));
        }
        return result;
    }

    // A JSON object key: a string as it is, anything else as the text of its own JSON.
    QString key(const Object& key) {
        if (const auto* name = key.stringValue()) {
            charge(name->size() + 3);
            return text(*name);
        }
        const QJsonValue json = value(key);
        const QByteArray keyText =
            json.isArray()    ? QJsonDocument(json.toArray()).toJson(QJsonDocument::Compact)
            : json.isObject() ? QJsonDocument(json.toObject()).toJson(QJsonDocument::Compact)
                              : scalarJson(json);
        charge(static_cast<std::size_t>(keyText.size()) + 3);
        return QString::fromUtf8(keyText);
    }

    // The entries of a dictionary but `skip`, as members of a JSON object.
    void addMembers(QJsonObject& members, const Object::Dictionary& entries,
                    std::string_view skip) {
        for (const auto& [name, member] : entries) {
            if (failed()) {
                return;
            }
            if (const auto* text = name.stringValue(); text && !skip.empty() && *text == skip) {
                continue;
            }
            const QString memberKey = key(name);
            members.insert(memberKey, value(member));
        }
    }

    QJsonValue reference(uint64_t uid) {
        if (failed()) {
            return {};
        }
        if (uid == 0) {
            charge(4);
            return QJsonValue();
        }
        if (!archive_.isValidUid(uid)) {
            return fail("reference " + std::to_string(uid) + " is outside \"$objects\"");
        }
        if (openAt_[uid] != kNotOpen) {
            charge(30);
            lowestOpenReferred_ = std::min(lowestOpenReferred_, openAt_[uid]);
            return tagged("$ref", static_cast<qint64>(uid));
        }
        // A record shared many times (a DAG) is walked once: its JSON is the same wherever it
        // appears unless it refers back to a record opened above it. Copies of a QJsonValue are
        // shared, so each further place costs its share of the bound and no walk.
        if (const auto& known = walked_[uid]) {
            if (depth_ + known->height > kMaxDepth) {
                return fail("objects nested too deeply");
            }
            deepest_ = std::max(deepest_, depth_ + known->height);
            return charge(known->bytes) ? known->json : QJsonValue();
        }
        // Records that refer back above themselves cannot be reused, so their copies are walked
        // again: the walk is bounded by count as the text is by size.
        if (++walks_ > kMaxWalks) {
            return fail("shared objects repeated too many times");
        }
        const std::size_t outerDeepest = std::exchange(deepest_, depth_);
        const std::size_t outerLowest = std::exchange(lowestOpenReferred_, kNothingOpen);
        const std::size_t before = estimate_;
        openAt_[uid] = depth_;
        QJsonValue result = nested([&] { return object(uid); });
        openAt_[uid] = kNotOpen;
        if (!failed() && lowestOpenReferred_ >= depth_) {
            walked_[uid] = Walked{result, estimate_ - before, deepest_ - depth_};
        }
        deepest_ = std::max(deepest_, outerDeepest);
        lowestOpenReferred_ = std::min(lowestOpenReferred_, outerLowest);
        return result;
    }

    QJsonValue object(uint64_t uid) {
        const Object& stored = archive_.objects()[uid];
        if (!stored.dictionaryValue()) {
            if (stored.arrayValue() || stored.uidValue()) {
                return fail("object " + std::to_string(uid) + " is neither a value nor a record");
            }
            return value(stored);
        }
        if (const std::string* className = classNameOf(uid, stored)) {
            return record(uid, *className, stored);
        }
        return {};
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

    QJsonValue record(uint64_t uid, std::string_view className, const Object& record) {
        if (className == "NSArray" || className == "NSMutableArray") {
            std::vector<const Object*> references;
            std::string error;
            if (!KeyedArchiveContainer::arrayReferencesOf(record, references, error)) {
                return fail(error);
            }
            QJsonArray elements;
            for (const Object* element : references) {
                if (failed()) {
                    break;
                }
                elements.append(member(*element, "an array element"));
            }
            return elements;
        }
        if (className == "NSDictionary" || className == "NSMutableDictionary") {
            return dictionary(record);
        }
        if (className == "NSString" || className == "NSMutableString") {
            return inlineOrReference(record.objectForKey("NS.string"), Object::Type::String);
        }
        if (className == "NSData" || className == "NSMutableData") {
            return inlineOrReference(record.objectForKey("NS.data"), Object::Type::Data);
        }
        if (className == "NSURL") {
            const auto url = absoluteUrl(uid, 0);
            return url ? QJsonValue(tagged("$url", string(*url))) : QJsonValue();
        }
        if (className == "NSDate") {
            return tagged("$date", value(record.objectForKey("NS.time")));
        }
        QJsonObject members{{QStringLiteral("$class"), string(className)}};
        addMembers(members, *record.dictionaryValue(), "$class");
        return members;
    }

    QJsonValue member(const Object& reference, std::string_view what) {
        if (auto uid = KeyedArchiveContainer::uidOf(reference)) {
            return this->reference(*uid);
        }
        return fail(std::string(what) + " is not a reference");
    }

    QJsonValue dictionary(const Object& record) {
        const Object& keyList = record.objectForKey("NS.keys");
        const Object& valueList = record.objectForKey("NS.objects");
        const Object::Array empty;
        const auto* keys = keyList.isNil() ? &empty : keyList.arrayValue();
        const auto* values = valueList.isNil() ? &empty : valueList.arrayValue();
        if (!keys || !values || keys->size() != values->size()) {
            return fail("NS.keys and NS.objects are not arrays of one length");
        }
        QJsonObject members;
        for (std::size_t i = 0; i < keys->size() && !failed(); ++i) {
            const Object* name = target((*keys)[i]);
            if (!name) {
                return fail("a dictionary key is not a valid reference");
            }
            const QString memberKey = key(name->stringValue() ? *name : (*keys)[i]);
            members.insert(memberKey, member((*values)[i], "a dictionary value"));
        }
        return tagged("$dict", members);
    }

    QJsonValue inlineOrReference(const Object& contents, Object::Type expected) {
        if (contents.type() == expected) {
            return value(contents);
        }
        auto uid = KeyedArchiveContainer::uidOf(contents);
        if (!uid || !archive_.isValidUid(*uid) || archive_.objects()[*uid].type() != expected) {
            return fail("a string or data record without its contents");
        }
        return value(archive_.objects()[*uid]);
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
    struct Walked {
        QJsonValue json;
        std::size_t bytes;   // its share of the estimate
        std::size_t height;  // levels of nesting below the place it appears
    };
    static constexpr std::size_t kNothingOpen = SIZE_MAX;
    static constexpr std::size_t kNotOpen = SIZE_MAX;
    static constexpr std::size_t kMaxWalks = 250'000;

    // The depth each record in the walk's path was opened at; kNotOpen for the others.
    std::vector<std::size_t> openAt_;
    std::vector<std::optional<Walked>> walked_;
    std::vector<std::string> classNames_;  // By class record UID; empty until checked.
    std::map<uint64_t, std::string> urls_;
    std::size_t urlBytes_ = 0;
    std::size_t depth_ = 0;
    std::size_t walks_ = 0;
    std::size_t deepest_ = 0;  // the deepest level reached by the walk in progress
    // The lowest depth an open record that the walk in progress referred back to was opened at.
    std::size_t lowestOpenReferred_ = kNothingOpen;
    std::size_t estimate_ = 0;
    std::string error_;
};

}  // namespace

std::optional<std::string> archiveToJson(const std::vector<uint8_t>& archive, std::string* error) {
    auto container = KeyedArchiveContainer::read(archive, error);
    if (!container) {
        return std::nullopt;
    }
    return DumpWalker(*container).run(error);
}

}  // namespace plinka
