#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Object.h"

namespace plinka {

// The checked outer layer of a keyed archive: the "$objects" table and the root's UID, with the
// look-ups that reading and dumping archives share.
class KeyedArchiveContainer {
  public:
    // Reads the property list and checks "$archiver", "$version", "$top" and "$objects".
    static std::optional<KeyedArchiveContainer> read(const std::vector<uint8_t>& data,
                                                     std::string* error);
    static std::optional<KeyedArchiveContainer> open(Object plist, std::string* error);

    const Object::Array& objects() const { return *objects_; }
    // "$top"'s "root", or its first reference when the archiver used another key.
    uint64_t rootUid() const { return root_; }

    // The reference a value holds: a UID, or an XML archive's {"CF$UID": n}. It indexes
    // objects() when it is a valid reference; callers check with isValidUid.
    static std::optional<uint64_t> uidOf(const Object& value);
    bool isValidUid(uint64_t uid) const { return uid < objects_->size(); }

    // A record's class names, most derived first: "$classname", then the rest of "$classes".
    // False with the reason in `error` when "$class" isn't a proper class reference.
    bool classChainOf(const Object& record, std::vector<std::string>& chain,
                      std::string& error) const;

    // An NSURL's absolute string from its base (nullptr for none) and its relative string;
    // nullopt when longer than kMaxUrlLength. Walkers also keep the total of all URLs they make
    // within kMaxUrlBytes, as a chain of bases can repeat one long string many times over.
    static constexpr std::size_t kMaxUrlLength = 64 * 1024;
    static constexpr std::size_t kMaxUrlBytes = 64 * 1024 * 1024;
    static std::optional<std::string> absoluteUrl(const std::string* base,
                                                  const std::string& relative);

    // The element references of an NSArray record: its "NS.objects", or the older keys
    // "NS.object.0", "NS.object.1", ... False with the reason in `error` when malformed.
    static bool arrayReferencesOf(const Object& record, std::vector<const Object*>& references,
                                  std::string& error);

  private:
    KeyedArchiveContainer(Object plist, const Object::Array* objects, uint64_t root)
        : plist_(std::move(plist)), objects_(objects), root_(root) {}

    Object plist_;
    const Object::Array* objects_;
    uint64_t root_;
};

// The key a user key is archived under: one more "$" in front of keys that begin with "$".
std::string archivedKey(std::string_view key);

}  // namespace plinka
