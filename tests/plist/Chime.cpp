#include "plist/Chime.h"

namespace plinka::testing {

const ClassInfo Chime::kClass{"Chime"};

void Chime::encodeWithCoder(Encoder& coder) const {
    coder.encodeObject(name, "name");
    coder.encodeInteger(volume, "volume");
    coder.encodeBool(loud, "loud");
    coder.encodeObject(secret, "$secret");
    coder.encodeObject(next, "next");
}

Object Chime::initWithCoder(Decoder& coder) {
    auto chime = std::make_shared<Chime>();
    chime->name = coder.decodeObjectForKey("name");
    chime->volume = coder.decodeIntegerForKey("volume");
    chime->loud = coder.decodeBoolForKey("loud");
    chime->secret = coder.decodeObjectForKey("$secret");
    chime->next = coder.decodeObjectForKey("next");
    return Object::instance(chime);
}

ClassTable Chime::classes() {
    return {{"Chime", &Chime::initWithCoder}};
}

}  // namespace plinka::testing
