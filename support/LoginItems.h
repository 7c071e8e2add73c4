#pragma once

#include <string>
#include <string_view>

namespace plinka {

class Bundle;
class LoginItemsService;

// Adds the application to, removes it from and finds it in the user's session login items. An
// entry counts as the application's when its resolved path ends with the bundle's file name, so
// every copy of the application, wherever it lies, is a reference to it.
class LoginItems {
  public:
    explicit LoginItems(LoginItemsService& service) : service_(service) {}

    // Whether some entry's resolved path ends with the name; resolves without asking the user
    // anything or mounting a volume.
    bool findAnyReferenceTo(std::string_view referenceName) const;
    // Removes every entry whose resolved path ends with the name.
    void removeAllReferencesTo(std::string_view referenceName) const;
    // Removes every reference to the bundle's file name, then appends the bundle when `add`.
    void changeBundleStatus(const Bundle& bundle, bool add) const;
    void addBundle(const Bundle& bundle) const { changeBundleStatus(bundle, true); }
    void removeBundle(const Bundle& bundle) const { changeBundleStatus(bundle, false); }
    // findAnyReferenceTo with the bundle's file name.
    bool isLoginItem(const Bundle& bundle) const;

  private:
    LoginItemsService& service_;
};

}  // namespace plinka
