#pragma once

#include <string>
#include <vector>

#include "platform/AppcastLoader.h"

namespace plinka::testing {

// Keeps each request; the test answers it with finish().
class FakeAppcastLoader final : public AppcastLoader {
  public:
    struct Request {
        std::string url;
        std::vector<QueryItem> query;
        Completion done;
    };

    void loadAppcast(const std::string& url, const std::vector<QueryItem>& query,
                     Completion done) override {
        requests.push_back({url, query, std::move(done)});
    }
    // Answers the latest request.
    void finish(const Result& result) { requests.back().done(result); }

    std::vector<Request> requests;
};

}  // namespace plinka::testing
