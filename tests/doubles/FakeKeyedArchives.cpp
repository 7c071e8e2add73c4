#include "doubles/FakeKeyedArchives.h"

#include "sound/SoundTheme.h"

namespace plinka::testing {

const Object& RecordingEncoder::operator[](std::string_view key) const {
    static const Object nil;
    for (const auto& [name, value] : entries) {
        if (name == key) {
            return value;
        }
    }
    return nil;
}

Object FakeKeyedArchives::unarchiveObjectWithFile(const std::string& path,
                                                  const ClassTable& classes, std::string* error) {
    reads.push_back(path);
    auto file = files.find(path);
    if (file == files.end()) {
        if (error) {
            *error = "no such file";
        }
        return {};
    }
    return file->second(classes);
}

void FakeKeyedArchives::addRecordFile(const std::string& path, const std::string& className,
                                      Object record) {
    files[path] = [className, record](const ClassTable& classes) {
        auto decoder = classes.find(className);
        if (decoder == classes.end()) {
            return Object::record(className);
        }
        DictionaryDecoder coder(record);
        return decoder->second(coder);
    };
}

void FakeKeyedArchives::addThemeFile(const std::string& path, const std::string& storedName) {
    Object::Array row(SoundTheme::kSlotCount, Object::null());
    row[254] = Object::string(storedName);
    addRecordFile(path, "SoundTheme",
                  Object::dictionary({{Object::string("sounds"),
                                       Object::array({Object::array(row), Object::array(row)})},
                                      {Object::string("name"), Object::string(storedName)}}));
}

}  // namespace plinka::testing
