#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace plinka {

class Application;

// What the application object's scripting support asks of the application's delegate: which
// keys it serves, and the values of the scriptable keys "theme" and "themes".
class ScriptingDelegate {
  public:
    using KeyObserver = std::function<void(const std::string& key)>;

    virtual ~ScriptingDelegate() = default;
    // Whether the delegate, not the application object, serves the key.
    virtual bool applicationDelegateHandlesKey(Application& application,
                                               const std::string& key) = 0;
    // The name of the theme in force.
    virtual std::optional<std::string> theme() const = 0;
    // Switches to the named theme, as choosing it from the menu does.
    virtual void setTheme(const std::string& name) = 0;
    // The names of every theme, in menu order.
    virtual std::vector<std::string> themes() const = 0;
    // Calls the observer on the main thread with the key each time the value of a key that can
    // be written changes.
    virtual void addScriptingObserver(KeyObserver observer) = 0;
};

}  // namespace plinka
