#include "doubles/FakeUserDefaults.h"

#include <gtest/gtest.h>

#include "platform/linux/plist/PropertyList.h"

namespace plinka::testing {

void FakeUserDefaults::registerDefaults(const Object& dictionary) {
    if (const Object::Dictionary* entries = dictionary.dictionaryValue()) {
        domains_.changeAndNotify([&] { domains_.registerValues(*entries); });
    }
}

Object FakeUserDefaults::objectForKey(std::string_view key) const {
    return domains_.objectForKey(key);
}

void FakeUserDefaults::setObject(const Object& value, std::string_view key) {
    // The real defaults refuse what their file cannot hold; no test may store such a value.
    if (!value.isNil() && !writeXmlPropertyList(value)) {
        ADD_FAILURE() << "stored a " << value.className() << " under \"" << key
                      << "\", which is no property list";
        return;
    }
    domains_.changeAndNotify([&] { domains_.store(key, value); });
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
