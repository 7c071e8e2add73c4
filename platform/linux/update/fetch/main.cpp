// plinka-appcast URL [KEY VALUE]...: fetches one appcast for Plinka, in a process of its own, so
// that the application never maps the network and TLS libraries it needs once a launch at most.
// Prints one line "item VERSION" (or "item" without one) per item of the feed, in the feed's
// order, and exits 0; or prints "failure REASON" and exits 1. Usage errors exit 2.
#include <QCoreApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/linux/update/QtAppcastLoader.h"

namespace {

// The text with its control characters written as \xHH: whatever a feed or a server says stays
// on its one line of the answer (and of the log the answer reaches).
std::string oneLine(const std::string& text) {
    std::string line;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            line += escaped;
        } else {
            line += c;
        }
    }
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc % 2 != 0) {
        std::fputs("usage: plinka-appcast URL [KEY VALUE]...\n", stderr);
        return 2;
    }
    QCoreApplication application(argc, argv);
    std::vector<plinka::AppcastLoader::QueryItem> query;
    for (int i = 2; i + 1 < argc; i += 2) {
        query.emplace_back(argv[i], argv[i + 1]);
    }
    plinka::QtAppcastLoader loader(plinka::AppcastFetchLimits{});
    int status = 0;
    loader.loadAppcast(argv[1], query, [&status](const plinka::AppcastLoader::Result& result) {
        if (result.failure) {
            std::printf("failure %s\n", oneLine(*result.failure).c_str());
            status = 1;
        }
        for (const auto& item : result.items) {
            std::printf("item%s%s\n", item.versionString ? " " : "",
                        oneLine(item.versionString.value_or("")).c_str());
        }
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    return status;
}
