#include "platform/DefaultsDomains.h"

#include <algorithm>

namespace plinka {

void DefaultsDomains::registerValues(const Object::Dictionary& entries) {
    for (const auto& [key, value] : entries) {
        if (const std::string* name = key.stringValue(); name != nullptr && !value.isNil()) {
            registered_.insert_or_assign(*name, value);
        }
    }
}

DefaultsDomains::Values DefaultsDomains::argumentDomain(const std::vector<std::string>& arguments) {
    Values values;
    for (size_t i = 0; i + 1 < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        // "--option" is an option of the program's own, "-" alone no key.
        if (word.size() > 1 && word[0] == '-' && word[1] != '-') {
            values.insert_or_assign(word.substr(1), Object::string(arguments[i + 1]));
            ++i;
        }
    }
    return values;
}

Object DefaultsDomains::objectForKey(std::string_view key) const {
    if (auto argument = arguments_.find(key); argument != arguments_.end()) {
        return argument->second;
    }
    if (auto stored = stored_.find(key); stored != stored_.end()) {
        return stored->second;
    }
    if (auto registered = registered_.find(key); registered != registered_.end()) {
        return registered->second;
    }
    return Object();
}

bool DefaultsDomains::store(std::string_view key, const Object& value) {
    auto stored = stored_.find(key);
    if (value.isNil()) {
        if (stored == stored_.end()) {
            return false;
        }
        stored_.erase(stored);
        return true;
    }
    if (stored == stored_.end()) {
        stored_.emplace(std::string(key), value);
        return true;
    }
    if (stored->second == value) {
        return false;
    }
    stored->second = value;
    return true;
}

UserDefaults::ObserverToken DefaultsDomains::addObserver(std::string key,
                                                         UserDefaults::Observer observer) {
    const UserDefaults::ObserverToken token = nextToken_++;
    observers_.push_back(
        {token, std::move(key), std::make_shared<UserDefaults::Observer>(std::move(observer))});
    return token;
}

void DefaultsDomains::removeObserver(UserDefaults::ObserverToken token) {
    std::erase_if(observers_, [&](const Registration& entry) { return entry.token == token; });
}

void DefaultsDomains::changeAndNotify(const std::function<void()>& change) {
    std::map<std::string, Object, std::less<>> before;
    for (const Registration& entry : observers_) {
        if (!before.contains(entry.key)) {
            before.emplace(entry.key, objectForKey(entry.key));
        }
    }
    change();
    // The keys that changed are settled before any observer runs and changes more.
    std::vector<std::string_view> changed;
    for (const auto& [key, value] : before) {
        if (!(objectForKey(key) == value)) {
            changed.push_back(key);
        }
    }
    if (changed.empty()) {
        return;
    }
    const std::vector<Registration> registrations = observers_;
    for (const Registration& entry : registrations) {
        const bool stillRegistered =
            std::any_of(observers_.begin(), observers_.end(),
                        [&](const Registration& current) { return current.token == entry.token; });
        if (stillRegistered &&
            std::find(changed.begin(), changed.end(), entry.key) != changed.end()) {
            (*entry.observer)();
        }
    }
}

}  // namespace plinka
