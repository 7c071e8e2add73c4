#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/KeyedArchive.h"
#include "platform/linux/plist/KeyedArchiveContainer.h"

namespace plinka {

// Decodes the object graph of a keyed archive into Objects. Every object is decoded once and
// shared wherever its UID appears. The class table's decoders make the program's own classes;
// the Foundation classes become plain values; any other class becomes a record of its name.
//
// Objects are immutable, so a graph that reaches an object from inside itself (even an array
// that contains itself, which is legal) can't be built: such a cycle fails the whole archive.
// So do malformed references and collections and nesting beyond kMaxDepth.
class KeyedArchiveReader {
  public:
    static constexpr std::size_t kMaxDepth = 100;

    KeyedArchiveReader(const KeyedArchiveContainer& archive, const ClassTable& classes);

    // The root object; Nil with the reason in `error` when anything in the graph fails.
    Object decodeRoot(std::string* error);
    // The object a UID refers to; Nil for UID 0 and, after any failure, for everything.
    Object decodeUid(uint64_t uid);

  private:
    enum class State : uint8_t { Absent, InProgress, Done };

    Object fail(std::string reason);
    Object decodeObjectAt(uint64_t uid);
    Object decodeRecord(uint64_t uid, const Object& record);
    // Decodes a Foundation class's record; false when the class is not one of them.
    bool decodeFoundationRecord(std::string_view className, const Object& record, Object& result);
    Object decodeArray(const Object& record);
    Object decodeDictionary(const Object& record);
    Object decodeUrl(const Object& record);
    Object decodeReference(const Object& reference, std::string_view what);
    bool decodeReferences(const Object& list, std::string_view what, Object::Array& out);

    const KeyedArchiveContainer& archive_;
    const ClassTable& classes_;
    std::vector<State> states_;
    std::vector<Object> decoded_;
    std::size_t depth_ = 0;
    std::size_t urlBytes_ = 0;
    bool failed_ = false;
    std::string error_;
};

}  // namespace plinka
