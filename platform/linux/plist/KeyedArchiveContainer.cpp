#include "platform/linux/plist/KeyedArchiveContainer.h"

#include <charconv>

#include "base/FileUrl.h"
#include "platform/linux/plist/PropertyList.h"

namespace plinka {

namespace {

// A class chain longer than this is not something an archiver writes.
constexpr std::size_t kMaxClassChain = 64;

std::optional<KeyedArchiveContainer> failure(std::string* error, std::string text) {
    if (error) {
        *error = "not a keyed archive: " + std::move(text);
    }
    return std::nullopt;
}

// The index N of a key "NS.object.N" below `limit`.
std::optional<std::size_t> oldFormIndex(const Object& key, std::size_t limit) {
    constexpr std::string_view kPrefix = "NS.object.";
    const auto* name = key.stringValue();
    if (!name || !name->starts_with(kPrefix) || name->size() == kPrefix.size()) {
        return std::nullopt;
    }
    std::size_t index = 0;
    const char* end = name->data() + name->size();
    auto [last, status] = std::from_chars(name->data() + kPrefix.size(), end, index);
    if (status != std::errc() || last != end || index >= limit) {
        return std::nullopt;
    }
    return index;
}

}  // namespace

std::string archivedKey(std::string_view key) {
    return key.starts_with('$') ? "$" + std::string(key) : std::string(key);
}

std::optional<KeyedArchiveContainer> KeyedArchiveContainer::read(const std::vector<uint8_t>& data,
                                                                 std::string* error) {
    auto plist = readPropertyListData(data, error);
    if (!plist) {
        return std::nullopt;
    }
    return open(std::move(*plist), error);
}

std::optional<KeyedArchiveContainer> KeyedArchiveContainer::open(Object plist, std::string* error) {
    if (!plist.dictionaryValue()) {
        return failure(error, "the top level is not a dictionary");
    }
    if (!plist.objectForKey("$archiver").stringValue()) {
        return failure(error, "no \"$archiver\" name");
    }
    if (!plist.objectForKey("$version").integerValue()) {
        return failure(error, "no \"$version\" number");
    }
    const Object::Array* objects = plist.objectForKey("$objects").arrayValue();
    if (!objects || objects->empty()) {
        return failure(error, "no \"$objects\" table");
    }
    const Object& top = plist.objectForKey("$top");
    if (!top.dictionaryValue()) {
        return failure(error, "no \"$top\" dictionary");
    }
    std::optional<uint64_t> root = uidOf(top.objectForKey("root"));
    for (const auto& [key, value] : *top.dictionaryValue()) {
        if (root) {
            break;
        }
        root = uidOf(value);
    }
    if (!root || *root >= objects->size()) {
        return failure(error, "\"$top\" holds no valid reference");
    }
    return KeyedArchiveContainer(std::move(plist), objects, *root);
}

std::optional<uint64_t> KeyedArchiveContainer::uidOf(const Object& value) {
    if (auto uid = value.uidValue()) {
        return uid;
    }
    const auto* entries = value.dictionaryValue();
    if (entries && entries->size() == 1) {
        const auto& [key, number] = entries->front();
        const auto* name = key.stringValue();
        const auto integer = number.integerValue();
        if (name && *name == "CF$UID" && integer && *integer >= 0) {
            return static_cast<uint64_t>(*integer);
        }
    }
    return std::nullopt;
}

bool KeyedArchiveContainer::classChainOf(const Object& record, std::vector<std::string>& chain,
                                         std::string& error) const {
    const auto uid = uidOf(record.objectForKey("$class"));
    if (!uid || *uid == 0 || !isValidUid(*uid)) {
        error = "\"$class\" is not a valid reference";
        return false;
    }
    const Object& classRecord = (*objects_)[*uid];
    const auto* name = classRecord.objectForKey("$classname").stringValue();
    if (!name) {
        error = "class record " + std::to_string(*uid) + " has no \"$classname\"";
        return false;
    }
    chain.assign(1, *name);
    const Object& classes = classRecord.objectForKey("$classes");
    if (classes.isNil()) {
        return true;
    }
    const auto* names = classes.arrayValue();
    if (!names || names->size() > kMaxClassChain) {
        error = "class record " + std::to_string(*uid) + " has a malformed \"$classes\"";
        return false;
    }
    for (const auto& entry : *names) {
        const auto* className = entry.stringValue();
        if (!className) {
            error = "class record " + std::to_string(*uid) + " has a malformed \"$classes\"";
            return false;
        }
        if (*className != *name) {
            chain.push_back(*className);
        }
    }
    return true;
}

std::optional<std::string> KeyedArchiveContainer::absoluteUrl(const std::string* base,
                                                              const std::string& relative) {
    if (relative.size() > kMaxUrlLength || (base && base->size() > kMaxUrlLength)) {
        return std::nullopt;
    }
    std::string url = base ? FileUrl::resolveUrl(*base, relative) : relative;
    if (url.size() > kMaxUrlLength) {
        return std::nullopt;
    }
    return url;
}

bool KeyedArchiveContainer::arrayReferencesOf(const Object& record,
                                              std::vector<const Object*>& references,
                                              std::string& error) {
    references.clear();
    if (const Object& objects = record.objectForKey("NS.objects"); !objects.isNil()) {
        const auto* list = objects.arrayValue();
        if (!list) {
            error = "NS.objects is not an array";
            return false;
        }
        for (const auto& reference : *list) {
            references.push_back(&reference);
        }
        return true;
    }
    // The older form, in any key order.
    const auto& entries = *record.dictionaryValue();
    std::vector<const Object*> slots(entries.size(), nullptr);
    std::size_t count = 0;
    for (const auto& [key, value] : entries) {
        if (auto index = oldFormIndex(key, entries.size())) {
            if (slots[*index]) {
                error = "NS.object." + std::to_string(*index) + " appears twice";
                return false;
            }
            slots[*index] = &value;
            ++count;
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (!slots[i]) {
            error = "NS.object." + std::to_string(i) + " is missing";
            return false;
        }
        references.push_back(slots[i]);
    }
    return true;
}

}  // namespace plinka
