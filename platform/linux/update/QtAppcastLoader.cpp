#include "platform/linux/update/QtAppcastLoader.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include "platform/linux/update/AppcastParser.h"

namespace plinka {

namespace {

// One fetch: the body so far, and why it was cut short, if it was.
struct Fetch {
    std::string feed;
    AppcastLoader::Completion done;
    QByteArray body;
    std::optional<std::string> cutShort;
};

QByteArray encoded(const std::string& text) {
    return QUrl::toPercentEncoding(QString::fromStdString(text));
}

// The URL with the items added to its query, each key and value percent-encoded.
QUrl withQuery(QUrl url, const std::vector<AppcastLoader::QueryItem>& items) {
    QByteArray query = url.query(QUrl::FullyEncoded).toUtf8();
    for (const auto& [key, value] : items) {
        query += (query.isEmpty() ? "" : "&") + encoded(key) + "=" + encoded(value);
    }
    if (!query.isEmpty()) {
        url.setQuery(QString::fromUtf8(query), QUrl::StrictMode);
    }
    return url;
}

void cutShort(QNetworkReply* reply, Fetch& fetch, std::string why) {
    if (!fetch.cutShort) {
        fetch.cutShort = std::move(why);
        reply->abort();
    }
}

void takeBody(QNetworkReply* reply, Fetch& fetch, qint64 limit) {
    fetch.body += reply->read(limit + 1 - fetch.body.size());
    if (fetch.body.size() > limit) {
        cutShort(reply, fetch, "the answer is larger than " + std::to_string(limit) + " bytes");
    }
}

AppcastLoader::Result outcome(QNetworkReply* reply, Fetch& fetch) {
    if (fetch.cutShort) {
        return {{}, fetch.cutShort};
    }
    // 0 when no answer came; a redirect that is not followed stays a 3xx.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const std::string answered = "the server answered with status " + std::to_string(status);
    if (status >= 400) {
        return {{}, answered};
    }
    if (reply->error() != QNetworkReply::NoError) {
        return {{}, reply->errorString().toStdString()};
    }
    if (status < 200 || status > 299) {
        return {{}, answered};
    }
    return parseAppcast(fetch.body);
}

}  // namespace

QtAppcastLoader::QtAppcastLoader(const AppcastFetchLimits& limits)
    : limits_(limits), network_(std::make_unique<QNetworkAccessManager>()) {
    network_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

QtAppcastLoader::~QtAppcastLoader() {
    for (QNetworkReply* reply : network_->findChildren<QNetworkReply*>()) {
        reply->disconnect();
        reply->abort();
    }
}

void QtAppcastLoader::loadAppcast(const std::string& url, const std::vector<QueryItem>& query,
                                  Completion done) {
    const QUrl feed(QString::fromStdString(url), QUrl::StrictMode);
    if (!feed.isValid() || feed.host().isEmpty() ||
        (feed.scheme() != "http" && feed.scheme() != "https")) {
        QTimer::singleShot(0, network_.get(), [done = std::move(done), url] {
            done({{}, "the feed " + url + " is not an http or https URL"});
        });
        return;
    }
    QNetworkRequest request(withQuery(feed, query));
    request.setMaximumRedirectsAllowed(limits_.maximumRedirects);
    QNetworkReply* reply = network_->get(request);
    auto fetch = std::make_shared<Fetch>(Fetch{url, std::move(done), {}, {}});
    const qint64 limit = limits_.maximumBodyBytes;
    // Without a bound the network thread reads on into memory for as long as the server sends,
    // however fast the body is taken and cut here; bounded, it stops reading one byte past the
    // cap until this side takes it.
    reply->setReadBufferSize(limit + 1);

    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply, [reply, fetch, timeout = limits_.timeout] {
        cutShort(reply, *fetch, "no answer within " + std::to_string(timeout.count()) + " ms");
    });
    deadline->start(limits_.timeout);

    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, fetch, limit] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > limit) {
            cutShort(reply, *fetch,
                     "the answer is larger than " + std::to_string(limit) + " bytes");
        }
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply,
                     [reply, fetch, limit] { takeBody(reply, *fetch, limit); });
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, fetch, limit] {
        if (!fetch->cutShort && reply->error() == QNetworkReply::NoError) {
            takeBody(reply, *fetch, limit);
        }
        AppcastLoader::Result result = outcome(reply, *fetch);
        if (result.failure) {
            result.failure = "fetching " + fetch->feed + ": " + *result.failure;
        }
        reply->deleteLater();
        fetch->done(result);
    });
}

}  // namespace plinka
