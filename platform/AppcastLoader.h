#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace plinka {

// One release that an appcast offers.
struct SUAppcastItem {
    // Its sparkle:version, compared with the application's CFBundleVersion; nullopt when the
    // item names none.
    std::optional<std::string> versionString;
};

// Fetches appcasts, the RSS feeds that list an application's releases.
class AppcastLoader {
  public:
    using QueryItem = std::pair<std::string, std::string>;
    struct Result {
        // The feed's items in the feed's order.
        std::vector<SUAppcastItem> items;
        // Why no appcast came (the network, the server or the body); nullopt when one came.
        std::optional<std::string> failure;
    };
    using Completion = std::function<void(const Result& result)>;

    virtual ~AppcastLoader() = default;
    // Starts fetching the http or https URL, with the query items (each key and value
    // percent-encoded) appended to its query, and returns at once. `done` runs once on the main
    // thread, within a bounded time, unless the loader goes first.
    virtual void loadAppcast(const std::string& url, const std::vector<QueryItem>& query,
                             Completion done) = 0;
};

}  // namespace plinka
