#include "doubles/FakeUserDefaults.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace plinka::testing {

namespace {

bool isPropertyList(const Object& value) {
    switch (value.type()) {
        case Object::Type::String:
        case Object::Type::Integer:
        case Object::Type::Real:
        case Object::Type::Boolean:
        case Object::Type::Data:
        case Object::Type::Date:
            return true;
        case Object::Type::Array:
            return std::all_of(value.arrayValue()->begin(), value.arrayValue()->end(),
                               isPropertyList);
        case Object::Type::Dictionary:
            return std::all_of(value.dictionaryValue()->begin(), value.dictionaryValue()->end(),
                               [](const auto& entry) {
                                   return entry.first.stringValue() != nullptr &&
                                          isPropertyList(entry.second);
                               });
        default:
            return false;
    }
}

}  // namespace

void FakeUserDefaults::registerDefaults(const Object& dictionary) {
    if (const Object::Dictionary* entries = dictionary.dictionaryValue()) {
        domains_.changeAndNotify([&] { domains_.registerValues(*entries); });
    }
}

Object FakeUserDefaults::objectForKey(std::string_view key) const {
    return domains_.objectForKey(key);
}

void FakeUserDefaults::setObject(const Object& value, std::string_view key) {
    if (!value.isNil() && !isPropertyList(value)) {
        ADD_FAILURE() << "stored a " << value.className() << " under \"" << key
                      << "\", which is no property list";
        return;
    }
    domains_.changeAndNotify([&] { domains_.store(key, value); });
}

bool FakeUserDefaults::synchronize() {
    ++synchronizeCount_;
    return true;
}

UserDefaults::ObserverToken FakeUserDefaults::addObserver(std::string key, Observer observer) {
    return domains_.addObserver(std::move(key), std::move(observer));
}

void FakeUserDefaults::removeObserver(ObserverToken token) {
    domains_.removeObserver(token);
}

void FakeUserDefaults::simulateOutsideChange(std::string_view key, const Object& value) {
    domains_.changeAndNotify([&] { domains_.store(key, value); });
}

}  // namespace plinka::testing
