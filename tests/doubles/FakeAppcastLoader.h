#pragma once

#include <string>
#include <vector>

#include "platform/AppcastLoader.h"

namespace plinka::testing {

// Keeps the query of each request; the test answers it with finish().
class FakeAppcastLoader final : public AppcastLoader {
  public:
    struct Request {
        std::vector<QueryItem> query;
        Completion done;
    };

    void loadAppcast(const std::string&, const std::vector<QueryItem>& query,
                     Completion done) override {
        requests.push_back({query, std::move(done)});
    }
    // Answers the latest request.
    void finish(const Result& result) { requests.back().done(result); }

    std::vector<Request> requests;
};

}  // namespace plinka::testing
