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
    const Object::Dictionary* entries = dictionary.dictionaryValue();
    if (entries == nullptr) {
        return;
    }
    changeAndNotify([&] {
        for (const auto& [key, value] : *entries) {
            if (key.stringValue() != nullptr && !value.isNil()) {
                registered_.insert_or_assign(*key.stringValue(), value);
            }
        }
    });
}

Object FakeUserDefaults::objectForKey(std::string_view key) const {
    if (auto stored = stored_.find(key); stored != stored_.end()) {
        return stored->second;
    }
    if (auto registered = registered_.find(key); registered != registered_.end()) {
        return registered->second;
    }
    return Object();
}

void FakeUserDefaults::setObject(const Object& value, std::string_view key) {
    if (!value.isNil() && !isPropertyList(value)) {
        ADD_FAILURE() << "stored a " << value.className() << " under \"" << key
                      << "\", which is no property list";
        return;
    }
    changeAndNotify([&] { store(key, value); });
}

bool FakeUserDefaults::synchronize() {
    ++synchronizeCount_;
    return true;
}

UserDefaults::ObserverToken FakeUserDefaults::addObserver(std::string key, Observer observer) {
    ObserverToken token = nextToken_++;
    observers_.push_back({token, std::move(key), std::make_shared<Observer>(std::move(observer))});
    return token;
}

void FakeUserDefaults::removeObserver(ObserverToken token) {
    std::erase_if(observers_, [&](const Registration& entry) { return entry.token == token; });
}

void FakeUserDefaults::simulateOutsideChange(std::string_view key, const Object& value) {
    changeAndNotify([&] { store(key, value); });
}

template <class Change>
void FakeUserDefaults::changeAndNotify(Change change) {
    std::vector<std::pair<std::string, Object>> before;
    for (const Registration& entry : observers_) {
        before.emplace_back(entry.key, objectForKey(entry.key));
    }
    change();
    // The keys that changed are settled before any observer runs and changes more.
    std::vector<std::string> changed;
    for (const auto& [key, value] : before) {
        if (!(objectForKey(key) == value)) {
            changed.push_back(key);
        }
    }
    std::vector<Registration> registrations = observers_;
    for (const Registration& entry : registrations) {
        bool stillRegistered =
            std::any_of(observers_.begin(), observers_.end(),
                        [&](const Registration& current) { return current.token == entry.token; });
        if (stillRegistered &&
            std::find(changed.begin(), changed.end(), entry.key) != changed.end()) {
            (*entry.observer)();
        }
    }
}

void FakeUserDefaults::store(std::string_view key, const Object& value) {
    if (value.isNil()) {
        if (auto stored = stored_.find(key); stored != stored_.end()) {
            stored_.erase(stored);
        }
    } else {
        stored_.insert_or_assign(std::string(key), value);
    }
}

}  // namespace plinka::testing
