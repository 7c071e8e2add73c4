#include "platform/linux/plist/PlistKeyedArchives.h"

#include "platform/linux/plist/KeyedArchiveContainer.h"
#include "platform/linux/plist/KeyedArchiveReader.h"
#include "platform/linux/plist/KeyedArchiveWriter.h"
#include "platform/linux/plist/PropertyList.h"

namespace plinka {

namespace {

Object decode(std::optional<Object> plist, const ClassTable& classes, std::string* error) {
    if (!plist) {
        return {};
    }
    auto archive = KeyedArchiveContainer::open(std::move(*plist), error);
    if (!archive) {
        return {};
    }
    return KeyedArchiveReader(*archive, classes).decodeRoot(error);
}

}  // namespace

Object PlistKeyedArchives::unarchiveObjectWithFile(const std::string& path,
                                                   const ClassTable& classes, std::string* error) {
    return decode(readPropertyListFile(path, error), classes, error);
}

Object PlistKeyedArchives::unarchiveObjectWithData(const std::vector<uint8_t>& data,
                                                   const ClassTable& classes, std::string* error) {
    return decode(readPropertyListData(data, error), classes, error);
}

std::optional<std::vector<uint8_t>> PlistKeyedArchives::archivedDataWithRootObject(
    const Object& root) {
    auto plist = keyedArchivePropertyList(root);
    if (!plist) {
        return std::nullopt;
    }
    return writeBinaryPropertyList(*plist);
}

}  // namespace plinka
