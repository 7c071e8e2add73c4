#include "plist/ObjectPrinter.h"

namespace plinka {

void PrintTo(const Object& object, std::ostream* out) {
    switch (object.type()) {
        case Object::Type::String:
            *out << '"' << *object.stringValue() << '"';
            return;
        case Object::Type::Integer:
            *out << *object.integerValue();
            return;
        case Object::Type::Real:
            *out << *object.realValue();
            return;
        case Object::Type::Boolean:
            *out << (*object.booleanValue() ? "true" : "false");
            return;
        case Object::Type::Data:
            *out << "<" << object.dataValue()->size() << " bytes>";
            return;
        case Object::Type::Date:
            *out << "date(" << *object.dateValue() << ")";
            return;
        case Object::Type::Uid:
            *out << "uid(" << *object.uidValue() << ")";
            return;
        case Object::Type::Url:
            *out << "url(" << *object.urlValue() << ")";
            return;
        case Object::Type::Array: {
            *out << "[";
            const char* separator = "";
            for (const auto& element : *object.arrayValue()) {
                *out << separator;
                PrintTo(element, out);
                separator = ", ";
            }
            *out << "]";
            return;
        }
        case Object::Type::Dictionary: {
            *out << "{";
            const char* separator = "";
            for (const auto& [key, value] : *object.dictionaryValue()) {
                *out << separator;
                PrintTo(key, out);
                *out << ": ";
                PrintTo(value, out);
                separator = ", ";
            }
            *out << "}";
            return;
        }
        default:
            *out << object.className();
            return;
    }
}

}  // namespace plinka
