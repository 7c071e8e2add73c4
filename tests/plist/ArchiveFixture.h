#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/KeyedArchive.h"
#include "plist/BplistBuilder.h"

namespace plinka::testing {

// Builds binary keyed archives the way macOS's archiver lays them out, one "$objects" entry at a
// time. Archive UIDs (indexes into "$objects") are what the methods take and return.
class ArchiveFixture {
  public:
    ArchiveFixture() { objects_.push_back(plist.string("$null")); }

    // Appends a property-list object (made with `plist`) to "$objects".
    uint64_t add(uint64_t plistObject) {
        objects_.push_back(plistObject);
        return objects_.size() - 1;
    }
    uint64_t string(std::string_view text) { return add(plist.string(text)); }
    uint64_t integer(int64_t value) { return add(plist.integer(value)); }
    // A slot to fill later with `set`, for references that point forward or back at themselves.
    uint64_t reserve() { return add(0); }
    void set(uint64_t uid, uint64_t plistObject) { objects_[uid] = plistObject; }

    // A class record {"$classname", "$classes"}; no "$classes" when `chain` is empty.
    uint64_t classRecord(std::string_view name, const std::vector<std::string>& chain) {
        std::vector<std::pair<uint64_t, uint64_t>> entries{
            {plist.string("$classname"), plist.string(name)}};
        if (!chain.empty()) {
            std::vector<uint64_t> names;
            for (const auto& entry : chain) {
                names.push_back(plist.string(entry));
            }
            entries.emplace_back(plist.string("$classes"), plist.array(names));
        }
        return add(plist.dictionary(entries));
    }
    uint64_t classRecord(std::string_view name) {
        return classRecord(name, {std::string(name), "NSObject"});
    }

    // The property-list dictionary of a record: its keys (plist objects) and "$class".
    uint64_t recordObject(uint64_t classUid, std::vector<std::pair<std::string, uint64_t>> keys) {
        std::vector<std::pair<uint64_t, uint64_t>> entries;
        for (const auto& [key, value] : keys) {
            entries.emplace_back(plist.string(key), value);
        }
        entries.emplace_back(plist.string("$class"), plist.uid(classUid));
        return plist.dictionary(entries);
    }
    uint64_t record(uint64_t classUid, std::vector<std::pair<std::string, uint64_t>> keys) {
        return add(recordObject(classUid, std::move(keys)));
    }
    // A plist array of UIDs.
    uint64_t uids(const std::vector<uint64_t>& archiveUids) {
        std::vector<uint64_t> refs;
        for (uint64_t uid : archiveUids) {
            refs.push_back(plist.uid(uid));
        }
        return plist.array(refs);
    }
    uint64_t array(const std::vector<uint64_t>& elements) {
        return record(classRecord("NSArray"), {{"NS.objects", uids(elements)}});
    }

    std::vector<uint8_t> build(uint64_t rootUid, std::string_view topKey = "root") {
        const uint64_t top = plist.dictionary({{plist.string(topKey), plist.uid(rootUid)}});
        const uint64_t objects = plist.array(objects_);
        const uint64_t root = plist.dictionary({
            {plist.string("$version"), plist.integer(100000)},
            {plist.string("$archiver"), plist.string("NSKeyedArchiver")},
            {plist.string("$top"), top},
            {plist.string("$objects"), objects},
        });
        return plist.build(root);
    }

    BplistBuilder plist;

  private:
    std::vector<uint64_t> objects_;
};

}  // namespace plinka::testing
