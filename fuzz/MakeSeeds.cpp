// Writes the seed corpus for plinka_fuzz_theme: small theme archives with every kind of slot,
// in binary and XML form, made by our own archive writer.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/KeyedArchive.h"
#include "platform/linux/plist/KeyedArchiveWriter.h"
#include "platform/linux/plist/PropertyList.h"

namespace {

using plinka::Object;

// A record of any class, with its keys written in order, standing in for the theme classes.
class SeedRecord final : public plinka::Codable {
  public:
    struct Key {
        std::string name;
        Object object;  // Written with encodeObject when no number is given.
        std::optional<int64_t> integer;
        std::optional<bool> boolean;
    };

    SeedRecord(std::string className, std::vector<Key> keys)
        : className_(std::move(className)), info_{className_}, keys_(std::move(keys)) {}

    const plinka::ClassInfo& objectClass() const override { return info_; }
    void encodeWithCoder(plinka::Encoder& coder) const override {
        for (const auto& key : keys_) {
            if (key.integer) {
                coder.encodeInteger(*key.integer, key.name);
            } else if (key.boolean) {
                coder.encodeBool(*key.boolean, key.name);
            } else {
                coder.encodeObject(key.object, key.name);
            }
        }
    }

  private:
    std::string className_;
    plinka::ClassInfo info_;  // Names className_.
    std::vector<Key> keys_;
};

Object record(std::string className, std::vector<SeedRecord::Key> keys) {
    return Object::instance(std::make_shared<SeedRecord>(std::move(className), std::move(keys)));
}

Object transientSound(const char* name, std::vector<uint8_t> audio) {
    return record("Sound", {{"version", {}, 1, {}},
                            {"name", Object::string(name), {}, {}},
                            {"transient", {}, {}, true},
                            {"data", Object::data(std::move(audio)), {}, {}}});
}

Object fileSound(const char* name, const char* url) {
    return record("Sound", {{"version", {}, 1, {}},
                            {"name", Object::string(name), {}, {}},
                            {"transient", {}, {}, false},
                            {"url", Object::url(url), {}, {}}});
}

Object theme(const char* name, Object sounds) {
    return record("SoundTheme", {{"version", {}, 1, {}},
                                 {"sounds", std::move(sounds), {}, {}},
                                 {"name", Object::string(name), {}, {}}});
}

// Two rows of `width` slots, filled from `slots` in turn.
Object table(std::size_t width, const std::vector<Object>& slots) {
    Object::Array rows;
    for (int row = 0; row < 2; ++row) {
        Object::Array cells;
        for (std::size_t i = 0; i < width; ++i) {
            cells.push_back(slots[(i + row) % slots.size()]);
        }
        rows.push_back(Object::array(std::move(cells)));
    }
    return Object::array(std::move(rows));
}

void write(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    std::filesystem::create_directories(directory);

    const Object click = transientSound("click.wav", {'R', 'I', 'F', 'F', 0, 0, 0, 0});
    const Object clack = fileSound("clack.aif", "file:///usr/share/sounds/clack.aif");
    const std::vector<Object> slots{Object::null(),
                                    click,
                                    Object::string("hello"),
                                    Object::array({click, clack}),
                                    clack,
                                    Object::array({Object::string("odd")})};
    const std::vector<std::pair<std::string, Object>> seeds{
        {"off", theme("Off", table(2, {Object::null()}))},
        {"small", theme("Small", table(6, slots))},
        {"full", theme("Full", table(255, slots))},
        {"no-sounds", record("SoundTheme", {{"name", Object::string("Empty"), {}, {}}})},
        {"foundation", Object::dictionary({{Object::string("when"), Object::date(1)},
                                           {Object::string("list"), Object::array({clack})}})},
    };
    for (const auto& [name, root] : seeds) {
        auto plist = plinka::keyedArchivePropertyList(root);
        auto binary = plist ? plinka::writeBinaryPropertyList(*plist) : std::nullopt;
        auto xml = plist ? plinka::writeXmlPropertyList(*plist) : std::nullopt;
        if (!binary || !xml) {
            std::fprintf(stderr, "cannot archive seed %s\n", name.c_str());
            return 1;
        }
        write(directory / (name + ".plnk"), *binary);
        if (name != "full") {
            write(directory / (name + ".xml.plnk"), *xml);
        }
    }
    return 0;
}
