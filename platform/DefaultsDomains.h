#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/UserDefaults.h"

namespace plinka {

// The bookkeeping every user-defaults store shares: the argument domain over the stored values
// over the registration domain, and the observers of keys, called when a change alters what
// their key reads as.
class DefaultsDomains {
  public:
    using Values = std::map<std::string, Object, std::less<>>;

    // The "-key value" pairs of a command line (the program's name left out), as strings; a
    // "-key" without a value after it and every other word are passed over.
    static Values argumentDomain(const std::vector<std::string>& arguments);
    // Values that override every other domain for this run; they are never stored.
    void setArguments(Values arguments) { arguments_ = std::move(arguments); }

    // Adds the string-keyed, non-Nil entries to the registration domain.
    void registerValues(const Object::Dictionary& entries);
    // The argument's value, else the stored one, else the registered one, else Nil.
    Object objectForKey(std::string_view key) const;
    // Stores the value (Nil removes it); whether the stored values changed.
    bool store(std::string_view key, const Object& value);
    Values& stored() { return stored_; }
    const Values& stored() const { return stored_; }

    UserDefaults::ObserverToken addObserver(std::string key, UserDefaults::Observer observer);
    void removeObserver(UserDefaults::ObserverToken token);
    // Runs the change, then calls the observers of every key whose value it changed. Observers
    // may add or remove observers, or change defaults, while they are called.
    void changeAndNotify(const std::function<void()>& change);

  private:
    struct Registration {
        UserDefaults::ObserverToken token;
        std::string key;
        std::shared_ptr<UserDefaults::Observer> observer;
    };

    Values arguments_;
    Values registered_;
    Values stored_;
    std::vector<Registration> observers_;
    UserDefaults::ObserverToken nextToken_ = 1;
};

}  // namespace plinka
