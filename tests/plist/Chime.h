#pragma once

#include <memory>

#include "platform/KeyedArchive.h"

namespace plinka::testing {

// A small archivable class of the tests' own, with every kind of key a class can write.
class Chime final : public Codable {
  public:
    static const ClassInfo kClass;

    const ClassInfo& objectClass() const override { return kClass; }
    void encodeWithCoder(Encoder& coder) const override;
    static Object initWithCoder(Decoder& coder);
    // The class table with Chime in it.
    static ClassTable classes();

    Object name;
    int64_t volume = 0;
    bool loud = false;
    Object secret;  // Under the user key "$secret".
    Object next;
};

}  // namespace plinka::testing
