#include "sound/Sound.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "base/Assertion.h"
#include "base/FileUrl.h"
#include "base/Format.h"
#include "base/Log.h"
#include "platform/Bundle.h"
#include "platform/Platform.h"
#include "platform/TemporaryFiles.h"

namespace plinka {

const ClassInfo Sound::kClass{"Sound"};

namespace {

std::optional<std::string> stringOf(const Object& object) {
    if (const auto* text = object.stringValue()) {
        return *text;
    }
    return std::nullopt;
}

bool fileExists(const std::string& path) {
    std::ifstream file(path);
    return file.good();
}

std::optional<Object::Bytes> contentsOfFileUrl(const std::string& url) {
    const auto path = FileUrl::pathOfFileURL(url);
    if (!path) {
        return std::nullopt;
    }
    std::ifstream file(*path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    return Object::Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Writes a new file only: a name that already exists (planted by someone else) is never reused.
// Answers the path of the file it made.
std::optional<std::string> writeNewFile(const std::string& url, const Object::Bytes& bytes) {
    const auto path = FileUrl::pathOfFileURL(url);
    if (!path) {
        return std::nullopt;
    }
    std::FILE* file = std::fopen(path->c_str(), "wbx");
    if (file == nullptr) {
        return std::nullopt;
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

// The platform's text form of a string in a dictionary description.
std::string quotedIfNeeded(std::string_view text) {
    bool plain = !text.empty();
    for (char c : text) {
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '_' || c == '.';
        plain = plain && safe;
    }
    if (plain) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

Sound::Sound(Platform& platform) : platform_(platform) {}

Sound::~Sound() {
    _url.reset();
    _name.reset();
    if (_sound != 0) {
        platform_.systemSounds.disposeSystemSoundID(_sound);
    }
    removeTemporaryFile();
}

void Sound::removeTemporaryFile() {
    if (temporaryPath_) {
        std::remove(temporaryPath_->c_str());
        temporaryPath_.reset();
    }
}

const std::vector<std::string>& Sound::soundUnfilteredTypes() {
    static const std::vector<std::string> types{"aif", "aiff", "wav", "caf"};
    return types;
}

std::shared_ptr<Sound> Sound::initWithName(const std::string& name, Platform& platform) {
    for (const auto& type : soundUnfilteredTypes()) {
        const auto path = platform.mainBundle.pathForResource(name, type);
        if (path && fileExists(*path)) {
            return initWithContentsOfURL(FileUrl::fileURLWithPath(*path), platform);
        }
    }
    return nullptr;
}

std::shared_ptr<Sound> Sound::initWithContentsOfURL(const std::string& url, Platform& platform) {
    auto sound = std::make_shared<Sound>(platform);
    sound->_transient = false;
    sound->_url = url;
    const auto path = FileUrl::pathOfFileURL(url);
    sound->_name = FileUrl::lastPathComponent(path ? *path : url);
    if (!sound->_setupSoundFile()) {
        return nullptr;
    }
    return sound;
}

std::shared_ptr<Sound> Sound::initWithCoder(Decoder& coder, Platform& platform) {
    auto sound = std::make_shared<Sound>(platform);
    sound->_name = stringOf(coder.decodeObjectForKey("name"));
    sound->_transient = coder.decodeBoolForKey("transient");
    Object data;
    if (sound->_transient) {
        data = coder.decodeObjectForKey("data");
        sound->_url = sound->_urlForTemporaryFileWithPrefix("");
        if (const auto* bytes = data.dataValue()) {
            sound->temporaryPath_ = writeNewFile(*sound->_url, *bytes);
        }
    } else if (const auto* url = coder.decodeObjectForKey("url").urlValue()) {
        sound->_url = *url;
    }
    if (!sound->_setupSoundFile()) {
        return nullptr;
    }
    // A service that decoded the whole sound has no more use for the file.
    if (sound->temporaryPath_ && !platform.systemSounds.readsFileAfterCreation()) {
        sound->removeTemporaryFile();
        sound->data_ = std::move(data);
    }
    return sound;
}

void Sound::encodeWithCoder(Encoder& coder) const {
    coder.encodeInteger(1, "version");
    coder.encodeObject(_name ? Object::string(*_name) : Object(), "name");
    coder.encodeBool(_transient, "transient");
    if (_transient && data_.dataValue()) {
        coder.encodeObject(data_, "data");
    } else if (_transient) {
        const auto bytes = _url ? contentsOfFileUrl(*_url) : std::nullopt;
        coder.encodeObject(bytes ? Object::data(*bytes) : Object(), "data");
    } else {
        coder.encodeObject(_url ? Object::url(*_url) : Object(), "url");
    }
}

void Sound::play(SoundPlacement placement) const {
    platform_.systemSounds.playSystemSound(_sound, placement);
}

std::string Sound::description() const {
    char address[64];
    std::snprintf(address, sizeof address, "<Sound: %p>", static_cast<const void*>(this));
    std::string dictionary = "{\n";
    if (_name) {
        dictionary += "    name = " + quotedIfNeeded(*_name) + ";\n";
        if (_url) {
            dictionary += "    url = " + quotedIfNeeded(*_url) + ";\n";
            dictionary +=
                "    \"sound id\" = " + std::to_string(static_cast<int32_t>(_sound)) + ";\n";
            dictionary += std::string("    transient = ") + (_transient ? "YES" : "NO") + ";\n";
        }
    }
    dictionary += "}";
    return stringWithFormat("%@ %@", {std::string_view(address), dictionary});
}

bool Sound::_setupSoundFile() {
    const OSStatus created = platform_.systemSounds.createSystemSoundID(_url.value_or(""), &_sound);
    if (created != kNoErr) {
        _sound = 0;
        const auto path = _url ? FileUrl::pathOfFileURL(*_url) : std::nullopt;
        platform_.log.log(stringWithFormat("Error %d creating system sound for %@ (%@: %@)",
                                           {created, _name, path ? *path : _url.value_or("no file"),
                                            systemSoundStatusDescription(created)}));
        return false;
    }
    const OSStatus flagged =
        platform_.systemSounds.setProperty(kAudioServicesPropertyIsUISound, _sound, 0);
    if (flagged != kNoErr) {
        platform_.log.log(
            stringWithFormat("Error %d setting system sound flag for %@", {flagged, _name}));
    }
    return true;
}

std::string Sound::_pathForTemporaryFileWithPrefix(const std::string& prefix) {
    static constexpr std::string_view kMethod = "-[Sound _pathForTemporaryFileWithPrefix:]";
    const auto uuid = platform_.temporaryFiles.createUuidString();
    if (!uuid) {
        assertionFailure(platform_.log, kMethod, "Sound.cpp", __LINE__, "uuid != NULL");
    }
    if (uuid->empty()) {
        assertionFailure(platform_.log, kMethod, "Sound.cpp", __LINE__, "uuidStr != NULL");
    }
    const auto directory = platform_.temporaryFiles.temporaryDirectory();
    if (!directory || directory->empty()) {
        assertionFailure(platform_.log, kMethod, "Sound.cpp", __LINE__, "result != nil");
    }
    std::string result = *directory;
    if (result.back() != '/') {
        result += '/';
    }
    return result + stringWithFormat("%@%@", {prefix, *uuid});
}

std::string Sound::_urlForTemporaryFileWithPrefix(const std::string& prefix) {
    return FileUrl::fileURLWithPath(_pathForTemporaryFileWithPrefix(prefix));
}

}  // namespace plinka
