#pragma once

#include <string>
#include <vector>

#include "platform/DefaultsDomains.h"
#include "platform/UserDefaults.h"

namespace plinka::testing {

// Defaults held in memory, with observers called at once. The test can change a value as another
// program would.
class FakeUserDefaults final : public UserDefaults {
  public:
    void registerDefaults(const Object& dictionary) override;
    Object objectForKey(std::string_view key) const override;
    // A value that is no property list fails the test.
    void setObject(const Object& value, std::string_view key) override;
    bool synchronize() override { return true; }
    ObserverToken addObserver(std::string key, Observer observer) override;
    void removeObserver(ObserverToken token) override;

    // The command line's "-key value" pairs, over every other value.
    void setArguments(const std::vector<std::string>& arguments) {
        domains_.setArguments(DefaultsDomains::argumentDomain(arguments));
    }
    // Stores (or with Nil removes) a value as a change from outside the program.
    void simulateOutsideChange(std::string_view key, const Object& value);
    // The stored values alone, without the registered ones.
    const DefaultsDomains::Values& storedValues() const { return domains_.stored(); }

  private:
    DefaultsDomains domains_;
};

}  // namespace plinka::testing
