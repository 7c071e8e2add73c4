#pragma once

#include <QtGlobal>
#include <chrono>
#include <memory>

#include "platform/AppcastLoader.h"

class QNetworkAccessManager;

namespace plinka {

// How far one fetch may go before it is given up.
struct AppcastFetchLimits {
    // From the request to the last byte of the answer.
    std::chrono::milliseconds timeout = std::chrono::seconds(30);
    qint64 maximumBodyBytes = 1024 * 1024;
    int maximumRedirects = 10;
};

// Fetches appcasts with QtNetwork on the main thread's event loop, never waiting on it: a
// fault (no network, a refused connection, a silent server, a redirect loop, an oversized or
// malformed body, a certificate that does not verify) ends the fetch with a failure within the
// limits. Needs a Qt event loop.
class QtAppcastLoader final : public AppcastLoader {
  public:
    explicit QtAppcastLoader(const AppcastFetchLimits& limits);
    // Fetches under way end without calling back.
    ~QtAppcastLoader() override;
    QtAppcastLoader(const QtAppcastLoader&) = delete;
    QtAppcastLoader& operator=(const QtAppcastLoader&) = delete;

    void loadAppcast(const std::string& url, const std::vector<QueryItem>& query,
                     Completion done) override;

  private:
    AppcastFetchLimits limits_;
    std::unique_ptr<QNetworkAccessManager> network_;
};

}  // namespace plinka
