#include "platform/linux/plist/PropertyList.h"

#include <cstring>
#include <fstream>
#include <span>

#include "platform/linux/plist/BinaryPlistValidator.h"
#include "platform/linux/plist/PlistConversion.h"
#include "platform/linux/plist/PlistLimits.h"
#include "platform/linux/plist/XmlPlistValidator.h"

namespace plinka {

namespace {

void setError(std::string* error, std::string text) {
    if (error) {
        *error = std::move(text);
    }
}

bool isBinary(const std::vector<uint8_t>& data) {
    return data.size() >= 6 && std::memcmp(data.data(), "bplist", 6) == 0;
}

PlistNode parse(const std::vector<uint8_t>& data, std::string* error) {
    plist_t root = nullptr;
    if (isBinary(data)) {
        if (!validateBinaryPropertyList(data, error)) {
            return nullptr;
        }
        plist_from_bin(reinterpret_cast<const char*>(data.data()),
                       static_cast<uint32_t>(data.size()), &root);
    } else {
        // A copy that ends in a NUL, whatever the parser expects.
        const std::string text(data.begin(), data.end());
        if (!validateXmlPropertyList(text, error)) {
            return nullptr;
        }
        plist_from_xml(text.c_str(), static_cast<uint32_t>(text.size()), &root);
    }
    if (!root) {
        setError(error, "not a property list");
    }
    return PlistNode(root);
}

using Serializer = void (*)(plist_t, char**, uint32_t*);
using SerializerFree = void (*)(char*);

std::optional<std::vector<uint8_t>> serialize(const Object& object, Serializer write,
                                              SerializerFree release) {
    PlistNode root = plistNodeFromObject(object);
    if (!root) {
        return std::nullopt;
    }
    char* buffer = nullptr;
    uint32_t length = 0;
    write(root.get(), &buffer, &length);
    if (!buffer) {
        return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(buffer);
    std::vector<uint8_t> result(bytes, bytes + length);
    release(buffer);
    return result;
}

}  // namespace

std::optional<Object> readPropertyListData(const std::vector<uint8_t>& data, std::string* error) {
    if (data.size() > PlistLimits::kMaxBytes) {
        setError(error, "property list too large");
        return std::nullopt;
    }
    PlistNode root = parse(data, error);
    if (!root) {
        return std::nullopt;
    }
    return objectFromPlistNode(root.get(), error);
}

std::optional<Object> readPropertyListFile(const std::string& path, std::string* error) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        setError(error, "cannot open " + path);
        return std::nullopt;
    }
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > PlistLimits::kMaxBytes) {
        setError(error, "property list too large: " + path);
        return std::nullopt;
    }
    std::vector<uint8_t> data(static_cast<std::size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(data.data()), size)) {
        setError(error, "cannot read " + path);
        return std::nullopt;
    }
    return readPropertyListData(data, error);
}

std::optional<std::vector<uint8_t>> writeBinaryPropertyList(const Object& object) {
    return serialize(object, plist_to_bin, plist_to_bin_free);
}

std::optional<std::vector<uint8_t>> writeXmlPropertyList(const Object& object) {
    return serialize(object, plist_to_xml, plist_to_xml_free);
}

}  // namespace plinka
