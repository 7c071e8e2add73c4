#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace plinka {

class Application;

// What the application object's scripting support asks of the application's delegate: which
// keys it serves, and the values of the scriptable keys "theme", "themes", "volume" and "muted".
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
    // The volume of every sound and spoken word, 0.0 to 1.0; a value outside is clamped and NaN
    // refused, each with a log line.
    virtual double volume() const = 0;
    virtual void setVolume(double volume) = 0;
    // Whether every sound is muted.
    virtual bool muted() const = 0;
    virtual void setMuted(bool muted) = 0;
    // Calls the observer on the main thread with the key each time the value of a key that can
    // be written changes.
    virtual void addScriptingObserver(KeyObserver observer) = 0;
};

}  // namespace plinka
